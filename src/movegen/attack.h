// Attack and check detection: look outward from a square along the eight rays
// and at the eight knight squares for a piece of the opponent of a ply's side.
#pragma once

#include "search/ply.h"

namespace brevola {
namespace attack_detail {

// Each mask holds bit 31 (an empty square reads negative), both colour bits
// (any piece or the border reads positive) and, in its low byte, the kind bits
// of the opponent's pieces that attack along that line from that distance. No
// code shares more than one low-byte bit with a mask, so a non-zero low byte
// means an attacker.
template <int D, uint32_t First, uint32_t Rest> inline bool attackedAlong(const Square *target) {
    int32_t r = target[D].code & fromBits(First);
    if (r & 0xFF) return true;
    if (r >= 0) return false;
#pragma GCC unroll 6
    for (int k = 2; k <= 7; ++k) {
        r = target[k * D].code & fromBits(Rest);
        if (r & 0xFF) return true;
        if (r >= 0) return false;
    }
    return false;
}

template <int32_t KnightBit> inline bool attackedByKnight(const Square *t) {
    return ((t[-19].code | t[-21].code | t[-8].code | t[-12].code | t[21].code | t[19].code |
             t[12].code | t[8].code) &
            KnightBit) != 0;
}

inline bool whiteKingSquareAttacked(const Square *t) {
    // Black pieces attack; black pawns from the two diagonals towards rank 8.
    return attackedAlong<-9, 0x8000038Au, 0x80000308u>(t) ||
           attackedAlong<-11, 0x8000038Au, 0x80000308u>(t) ||
           attackedAlong<+11, 0x80000388u, 0x80000308u>(t) ||
           attackedAlong<+9, 0x80000388u, 0x80000308u>(t) ||
           attackedAlong<-10, 0x800003A0u, 0x80000320u>(t) ||
           attackedAlong<+10, 0x800003A0u, 0x80000320u>(t) ||
           attackedAlong<+1, 0x800003A0u, 0x80000320u>(t) ||
           attackedAlong<-1, 0x800003A0u, 0x80000320u>(t) || attackedByKnight<0x800>(t);
}

inline bool blackKingSquareAttacked(const Square *t) {
    // White pieces attack; white pawns from the two diagonals towards rank 1.
    return attackedAlong<+11, 0x80000345u, 0x80000304u>(t) ||
           attackedAlong<+9, 0x80000345u, 0x80000304u>(t) ||
           attackedAlong<-9, 0x80000344u, 0x80000304u>(t) ||
           attackedAlong<-11, 0x80000344u, 0x80000304u>(t) ||
           attackedAlong<-10, 0x80000350u, 0x80000310u>(t) ||
           attackedAlong<+10, 0x80000350u, 0x80000310u>(t) ||
           attackedAlong<+1, 0x80000350u, 0x80000310u>(t) ||
           attackedAlong<-1, 0x80000350u, 0x80000310u>(t) || attackedByKnight<0x400>(t);
}

// The line from the king to another square, indexed by the difference of
// their board indexes (+77): the step along it and the kind bits of both
// colours' sliders that attack along such a line. A difference names at most
// one line between two playing squares (a rank line of 3 steps and a 7-square
// jump to the next row share a difference, but only one of them is a line);
// where it names none the step is 0.
struct LineEntry {
    int8_t step;
    uint8_t sliderBits;
};
constexpr int MaxLineDelta = 77; // h1 - a8

struct LineTable {
    LineEntry byDelta[2 * MaxLineDelta + 1];
};

constexpr LineTable makeLineTable() {
    LineTable t{};
    const int steps[8] = {1, -1, 10, -10, 9, -9, 11, -11};
    for (int step : steps) {
        bool straight = step == 1 || step == -1 || step == 10 || step == -10;
        for (int k = 1; k <= 7; ++k) {
            t.byDelta[MaxLineDelta + k * step] =
                LineEntry{static_cast<int8_t>(step),
                          static_cast<uint8_t>(straight ? StraightBits : DiagonalBits)};
        }
    }
    return t;
}

inline constexpr LineTable lineTable = makeLineTable();
static_assert(lineTable.byDelta[MaxLineDelta + 3].step == 1 &&
                  lineTable.byDelta[MaxLineDelta - 70].step == -10 &&
                  lineTable.byDelta[MaxLineDelta - 77].step == -11 &&
                  lineTable.byDelta[MaxLineDelta + 63].step == 9 &&
                  lineTable.byDelta[MaxLineDelta - 73].step == 0 &&
                  lineTable.byDelta[MaxLineDelta + 8].step == 0,
              "steps for a few differences: along a rank, e1 to e8, h1 to a8, a8 to h1, none");
static_assert(squareIndex(7, 1) - squareIndex(0, 8) == MaxLineDelta, "the largest difference");

} // namespace attack_detail

// True when a piece of the colour opposite to the ply's side attacks the
// square. The square's own content is not examined.
inline bool isSquareAttacked(const Ply *ply, const Square *square) {
    if (ply->side & WhiteColourBit) return attack_detail::whiteKingSquareAttacked(square);
    return attack_detail::blackKingSquareAttacked(square);
}

// Whether the king of the ply's side is attacked where it stands now. Right
// after a move made at that ply: whether the move left its own king attacked.
inline bool isInCheck(const Ply *ply) { return isSquareAttacked(ply, ply->king->square); }

// Whether the move just made at the ply left its own king attacked: the same
// answer as isInCheck, found more cheaply when it can be. When the king was not
// attacked before the move and the move neither moves the king nor empties a
// second square (en passant), the only attack the move can have created runs
// along the line from the king through the square the piece left: every other
// line, knight square and pawn square around the king is unchanged or lost an
// enemy piece. So one scan outward along that line decides, looking for an
// enemy slider of the line's kind; nothing next to the king can be an attacker
// there, since the king was not attacked.
inline bool leftKingAttacked(const Ply *ply) {
    const Square *king = ply->king->square;
    // The king stands on the move's target square exactly when it moved
    // (castling included); a captured king's square can be a target too, and
    // then the full scan answers, as it always may.
    if (ply->kingAttacked || king == ply->toSquare || ply->currentMove->kind == EnPassant)
        return isSquareAttacked(ply, king);
    attack_detail::LineEntry line =
        attack_detail::lineTable.byDelta[attack_detail::MaxLineDelta + (ply->fromSquare - king)];
    if (line.step == 0) return false;
    // A difference that names no real line scans the king's own row, column or
    // diagonal instead, and finds no attacker there: the king was not attacked
    // and the move only put an own piece on it, if anything.
    const Square *s = king + line.step;
    while (s->code < 0) s += line.step;
    // The enemy's bit of each colour pair is the own one shifted left (black)
    // or right (white) by one: keep the enemy's half of the slider bits.
    int32_t enemy = line.sliderBits & ((ply->side & WhiteColourBit) ? 0xAA : 0x55);
    return (s->code & enemy) != 0;
}

} // namespace brevola

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

// The step from one playing square towards another on the same rank, file or
// diagonal, 0 when they share no line. Indexed by board index.
struct LineSteps {
    int8_t step[BoardSquares][BoardSquares];
};

constexpr int sign(int v) { return (v > 0) - (v < 0); }

constexpr LineSteps makeLineSteps() {
    LineSteps t{};
    for (int a = 0; a < BoardSquares; ++a) {
        for (int b = 0; b < BoardSquares; ++b) {
            if (a == b || !isPlayingIndex(a) || !isPlayingIndex(b)) continue;
            int df = fileOf(b) - fileOf(a), dr = rankOf(b) - rankOf(a);
            if (df != 0 && dr != 0 && df != dr && df != -dr) continue;
            t.step[a][b] = static_cast<int8_t>(sign(df) - 10 * sign(dr));
        }
    }
    return t;
}

inline constexpr LineSteps lineSteps = makeLineSteps();
static_assert(lineSteps.step[114][40 + 4] == -10 && lineSteps.step[114][117] == 1 &&
                  lineSteps.step[117][40] == -11 && lineSteps.step[110][47] == -9 &&
                  lineSteps.step[114][41] == 0 && lineSteps.step[47][110] == 9,
              "steps between e1, h1, a8, h8, a1 and b8");

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
    const Move *move = ply->currentMove;
    if (ply->kingAttacked || move->mover == ply->king || move->kind == EnPassant)
        return isInCheck(ply);
    const Square *king = ply->king->square;
    int step = attack_detail::lineSteps.step[squareIndexOf(king)][squareIndexOf(ply->fromSquare)];
    if (step == 0) return false;
    const Square *s = king + step;
    while (s->code < 0) s += step;
    // Enemy rook or queen bits on a straight line, bishop or queen bits on a
    // diagonal; the enemy's bit of each pair is the own one shifted by one.
    bool straight = step == 1 || step == -1 || step == 10 || step == -10;
    int32_t enemy = straight ? StraightBits : DiagonalBits;
    enemy &= (ply->side & WhiteColourBit) ? 0xAA : 0x55;
    return (s->code & enemy) != 0;
}

} // namespace brevola

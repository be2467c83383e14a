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

} // namespace brevola

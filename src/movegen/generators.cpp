#include "movegen/generators.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace brevola {
namespace {

// Every record is stored first and kept by advancing the write position only
// when the target qualifies; the spare records after the move stack absorb the
// store that is not kept. Key and kind are adjacent and go in as one 8-byte
// store.
inline Move *put(Move *out, PieceCode key, MoveKind kind, PieceEntry *mover, int32_t delta) {
    uint64_t head = static_cast<uint32_t>(key) | uint64_t{static_cast<uint32_t>(kind)} << 32;
    std::memcpy(static_cast<void *>(&out->sortKey), &head, sizeof head);
    out->mover = mover;
    out->delta = delta;
    return out;
}
static_assert(offsetof(Move, kind) == offsetof(Move, sortKey) + 4 &&
                  std::endian::native == std::endian::little,
              "the key is the low half of the 8 bytes, the kind the high half");

// One king or knight step: empty or enemy target (code & side <= 0).
template <int D> inline Move *step(SideMask side, PieceEntry *entry, Square *from, Move *out) {
    PieceCode code = from[D].code;
    put(out, code, Normal, entry, D);
    return out + ((code & side) <= 0);
}

// One sliding ray of at most seven steps; stops at an own piece or the border
// (positive) and after a capture (zero).
template <int D> inline Move *ray(SideMask side, PieceEntry *entry, Square *from, Move *out) {
#pragma GCC unroll 7
    for (int k = 1; k <= 7; ++k) {
        PieceCode code = from[k * D].code;
        int32_t test = code & side;
        if (test > 0) break;
        put(out, code, Normal, entry, k * D);
        ++out;
        if (test == 0) break;
    }
    return out;
}

// The record just appended for a pawn reaching rank 8 or rank 1 becomes the
// queen promotion and three more follow: rook, bishop, knight. Rank 8 is the
// row of a8 (index 40), rank 1 the row of a1 (index 110).
inline Move *promote(Move *last, const Square *target) {
    const PieceCode *codes;
    if (target < board + 50)
        codes = WhitePromotions;
    else if (target >= board + 110)
        codes = BlackPromotions;
    else
        return last + 1;
    last->kind = codes[0];
    for (int i = 1; i < 4; ++i) put(last + i, last->sortKey, codes[i], last->mover, last->delta);
    return last + 4;
}

// A pawn capture towards D: only onto an enemy piece (code & side == 0).
template <int D>
inline Move *pawnCapture(SideMask side, PieceEntry *entry, Square *from, Move *out) {
    PieceCode code = from[D].code;
    if ((code & side) != 0) return out;
    put(out, code, Normal, entry, D);
    return promote(out, from + D);
}

// Advances: from the starting rank a single step and, only then, a double step;
// elsewhere a single step that may promote.
template <int Step>
inline Move *pawnAdvance(SideMask side, PieceEntry *entry, Square *from, Move *out,
                         bool onStartRank) {
    PieceCode one = from[Step].code;
    if ((one & side) >= 0) return out;
    put(out, one, Normal, entry, Step);
    if (!onStartRank) return promote(out, from + Step);
    ++out;
    PieceCode two = from[2 * Step].code;
    if ((two & side) >= 0) return out;
    put(out, two, DoublePush, entry, 2 * Step);
    return out + 1;
}

} // namespace

Move *generateKingMoves(SideMask side, PieceEntry *entry, Square *from, Move *out) {
    out = step<-10>(side, entry, from, out);
    out = step<+10>(side, entry, from, out);
    out = step<-1>(side, entry, from, out);
    out = step<+1>(side, entry, from, out);
    out = step<-9>(side, entry, from, out);
    out = step<+11>(side, entry, from, out);
    out = step<-11>(side, entry, from, out);
    return step<+9>(side, entry, from, out);
}

Move *generateKnightMoves(SideMask side, PieceEntry *entry, Square *from, Move *out) {
    out = step<-19>(side, entry, from, out);
    out = step<-21>(side, entry, from, out);
    out = step<-8>(side, entry, from, out);
    out = step<-12>(side, entry, from, out);
    out = step<+21>(side, entry, from, out);
    out = step<+19>(side, entry, from, out);
    out = step<+12>(side, entry, from, out);
    return step<+8>(side, entry, from, out);
}

Move *generateRookMoves(SideMask side, PieceEntry *entry, Square *from, Move *out) {
    out = ray<-10>(side, entry, from, out);
    out = ray<+10>(side, entry, from, out);
    out = ray<+1>(side, entry, from, out);
    return ray<-1>(side, entry, from, out);
}

Move *generateBishopMoves(SideMask side, PieceEntry *entry, Square *from, Move *out) {
    out = ray<-9>(side, entry, from, out);
    out = ray<+11>(side, entry, from, out);
    out = ray<-11>(side, entry, from, out);
    return ray<+9>(side, entry, from, out);
}

Move *generateQueenMoves(SideMask side, PieceEntry *entry, Square *from, Move *out) {
    out = generateRookMoves(side, entry, from, out);
    return generateBishopMoves(side, entry, from, out);
}

Move *generateWhitePawnMoves(SideMask side, PieceEntry *entry, Square *from, Move *out) {
    out = pawnCapture<-9>(side, entry, from, out);
    out = pawnCapture<-11>(side, entry, from, out);
    return pawnAdvance<-10>(side, entry, from, out, from >= board + 100); // rank 2
}

Move *generateBlackPawnMoves(SideMask side, PieceEntry *entry, Square *from, Move *out) {
    out = pawnCapture<+11>(side, entry, from, out);
    out = pawnCapture<+9>(side, entry, from, out);
    return pawnAdvance<+10>(side, entry, from, out, from < board + 60); // rank 7
}

} // namespace brevola

#include "movegen/generate.h"

#include "movegen/attack.h"

namespace brevola {

namespace {

// A neighbour of the pawn that has just advanced two squares may take it when
// it holds an own piece (AND with the enemy's mask is zero) with a pawn bit.
inline Move *enPassantFrom(Square *pushed, int offset, SideMask enemy, Move *out) {
    Square *neighbour = pushed + offset;
    PieceCode code = neighbour->code;
    if ((code & enemy) != 0 || (code & PawnBits) == 0) return out;
    out->sortKey = pushed->code;
    out->kind = EnPassant;
    out->mover = neighbour->piece;
    out->delta = -offset;
    return out + 1;
}

} // namespace

Move *generateEnPassant(Ply *ply, Move *out) {
    Square *pushed = (ply - 1)->doublePushSquare;
    SideMask enemy = otherSide(ply->side);
    out = enPassantFrom(pushed, +1, enemy, out);
    return enPassantFrom(pushed, -1, enemy, out);
}

Move *generateCastling(Ply *ply, Move *out) {
    PieceEntry *king = ply->king;
    // A king that has been taken (a FEN can leave the side not to move in
    // check) is off the board: it must not castle with whatever took it.
    if (king->moveCount != 0 || king->square->piece != king) return out;
    if (ply->kingAttacked) return out;
    Square *s = king->square;
    if (s[1].code < 0 && s[2].code < 0 && s[3].piece && s[3].piece->moveCount == 0 &&
        !isSquareAttacked(ply, s + 1)) {
        out->sortKey = s[2].code;
        out->kind = CastleKingSide;
        out->mover = king;
        out->delta = 2;
        ++out;
    }
    if (s[-1].code < 0 && s[-2].code < 0 && s[-3].code < 0 && s[-4].piece &&
        s[-4].piece->moveCount == 0 && !isSquareAttacked(ply, s - 1)) {
        out->sortKey = s[-2].code;
        out->kind = CastleQueenSide;
        out->mover = king;
        out->delta = -2;
        ++out;
    }
    return out;
}

void generateMoves(Ply *ply) {
    ply->legalCount = 0;
    ply->kingAttacked = isInCheck(ply);
    SideMask side = ply->side;
    Move *out = ply->listStart;
    if ((ply - 1)->doublePushSquare) out = generateEnPassant(ply, out);
    for (PieceEntry *entry = ply->pieces; entry->square; ++entry) {
        Square *from = entry->square;
        if (from->piece == entry) out = entry->generator(side, entry, from, out);
    }
    out = generateCastling(ply, out);
    (ply + 1)->listStart = out;
    ply->generatedCount += static_cast<uint64_t>(out - ply->listStart);
}

} // namespace brevola

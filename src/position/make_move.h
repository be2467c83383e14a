// Make and unmake: play one generated move at a ply and take it back, keeping
// the running score incrementally. Both run in constant time; a captured piece
// is simply overwritten on its square and comes back when the square's
// occupant is restored.
#pragma once

#include "movegen/generators.h"
#include "search/ply.h"

namespace brevola {

// The generator a promoted pawn takes: queen, else rook, else bishop, else knight.
inline MoveGenerator promotedGenerator(PieceCode kind) {
    if (kind & QueenBits) return generateQueenMoves;
    if (kind & StraightBits) return generateRookMoves;
    if (kind & DiagonalBits) return generateBishopMoves;
    return generateKnightMoves;
}

inline bool isPromotion(MoveKind kind) { return kind > DoublePush; }

// Makes `move` at `ply` and returns the running score updated from `score`.
// A null move changes nothing.
inline int32_t makeMove(Move *move, Ply *ply, int32_t score) {
    if (!move) return score;
    PieceEntry *mover = move->mover;
    ply->currentMove = move;
    Square *from = mover->square;
    move->sortKey = MinusInfinity;
    Square *to = from + move->delta;
    ply->doublePushSquare = nullptr;
    ply->fromSquare = from;
    ply->toSquare = to;
    mover->moveCount += 1;
    Occupant moving = from->occupant();
    Occupant captured = to->occupant();
    from->setOccupant(Occupant{EmptyCode, nullptr});
    to->setOccupant(moving);
    ply->capturedOccupant = captured;
    score = wrapAdd(
        score, wrapAdd(wrapSub(to->placeValue, from->placeValue), captured.code & MaterialMask));
    mover->square = to;
    MoveKind kind = move->kind;
    if (kind == Normal) return score; // most moves: nothing more to do
    switch (kind) {
    case DoublePush:
        ply->doublePushSquare = to;
        break;
    case CastleKingSide:
        to[-1].setOccupant(to[1].occupant());
        to[1].setOccupant(Occupant{EmptyCode, nullptr});
        to[-1].piece->square = to - 1;
        score = wrapAdd(score, CastlingBonus);
        break;
    case CastleQueenSide:
        to[1].setOccupant(to[-2].occupant());
        to[-2].setOccupant(Occupant{EmptyCode, nullptr});
        to[1].piece->square = to + 1;
        score = wrapAdd(score, CastlingBonus);
        break;
    case EnPassant: {
        Square *beyond = to + ply->pawnStep;
        beyond->setOccupant(to->occupant());
        to->setOccupant(Occupant{EmptyCode, nullptr});
        mover->square = beyond;
        ply->toSquare = beyond;
        break;
    }
    default: // promotion: the kind is the new piece's code
        to->code = kind;
        score = wrapAdd(score, kind);
        mover->generator = promotedGenerator(kind);
        break;
    }
    return score;
}

// Takes back the ply's current move `move`; returns the ply's entryScore.
inline int32_t unmakeMove(Ply *ply, Move *move) {
    PieceEntry *mover = move->mover;
    Square *to = ply->toSquare;
    Square *from = ply->fromSquare;
    from->setOccupant(to->occupant());
    to->setOccupant(ply->capturedOccupant);
    mover->square = from;
    mover->moveCount -= 1;
    MoveKind kind = move->kind;
    if (kind == Normal) return ply->entryScore;
    switch (kind) {
    case DoublePush:
        break;
    case CastleKingSide:
        to[1].setOccupant(to[-1].occupant());
        to[-1].setOccupant(Occupant{EmptyCode, nullptr});
        to[1].piece->square = to + 1;
        break;
    case CastleQueenSide:
        to[-2].setOccupant(to[1].occupant());
        to[1].setOccupant(Occupant{EmptyCode, nullptr});
        to[-2].piece->square = to - 2;
        break;
    case EnPassant: {
        Square *own = to - ply->pawnStep;
        own->setOccupant(to->occupant());
        to->setOccupant(Occupant{EmptyCode, nullptr});
        break;
    }
    default:
        mover->generator = ply->pawnGenerator;
        from->code = ply->pawnCode;
        break;
    }
    return ply->entryScore;
}

} // namespace brevola

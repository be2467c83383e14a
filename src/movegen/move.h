// The move record and the move stack in which every ply's list lives.
#pragma once

#include "position/board.h"

namespace brevola {

// What make and unmake do besides moving the piece. Any value other than the
// five below is a promotion: the kind is then the new piece's full PieceCode.
using MoveKind = int32_t;
constexpr MoveKind Normal = 0;
constexpr MoveKind CastleKingSide = 2;
constexpr MoveKind CastleQueenSide = 3;
constexpr MoveKind EnPassant = 4;
constexpr MoveKind DoublePush = 5;

struct Move {
    int32_t sortKey;     // code found on the target when generated; MinusInfinity once made
    MoveKind kind;       // see above
    PieceEntry *mover;   // the moving piece (the king for castling, the pawn for promotion)
    int32_t delta;       // target square = mover's square + delta
    int32_t searchValue; // value the search found; MinusInfinity for an illegal move
};

// 64 plies of 256 moves: no depth and no position can overrun it. A few spare
// records follow, because generators store a record before deciding to keep it.
constexpr int MaxPlies = 64;
constexpr int MaxMovesPerPly = 256;
constexpr int MoveStackSize = MaxPlies * MaxMovesPerPly;
constexpr int MoveStackSlack = 16;

// Written by generateMoves and the search; zeroed by every ply-stack rebuild.
inline Move moveStack[MoveStackSize + MoveStackSlack];

} // namespace brevola

// Per-piece move generators. All share one contract: given the side to move,
// the piece's entry, its square and the write position, append the piece's
// pseudo-legal moves in a fixed order and return the new write position.
#pragma once

#include "movegen/move.h"

namespace brevola {

Move *generateKingMoves(SideMask side, PieceEntry *entry, Square *from, Move *out);
Move *generateQueenMoves(SideMask side, PieceEntry *entry, Square *from, Move *out);
Move *generateRookMoves(SideMask side, PieceEntry *entry, Square *from, Move *out);
Move *generateBishopMoves(SideMask side, PieceEntry *entry, Square *from, Move *out);
Move *generateKnightMoves(SideMask side, PieceEntry *entry, Square *from, Move *out);
Move *generateWhitePawnMoves(SideMask side, PieceEntry *entry, Square *from, Move *out);
Move *generateBlackPawnMoves(SideMask side, PieceEntry *entry, Square *from, Move *out);

// Promotion codes in the order they are generated: queen, rook, bishop, knight.
constexpr PieceCode WhitePromotions[4] = {WhiteQueen, WhiteRook, WhiteBishop, WhiteKnight};
constexpr PieceCode BlackPromotions[4] = {BlackQueen, BlackRook, BlackBishop, BlackKnight};

} // namespace brevola

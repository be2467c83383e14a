// Generation of all pseudo-legal moves of one ply: en passant captures first,
// then every live piece in list order through its own generator, then castling.
#pragma once

#include "search/ply.h"

namespace brevola {

// En passant captures of the pawn that the previous ply advanced two squares
// (the caller has found that square non-null): the capturer towards h first.
Move *generateEnPassant(Ply *ply, Move *out);

// King side then queen side castling, for a king and rook that have not moved,
// over empty squares, not out of check (the ply's kingAttacked, which
// generateMoves sets first) and not across an attacked square.
Move *generateCastling(Ply *ply, Move *out);

// Note whether the side to move's king is attacked (kingAttacked), fill the
// ply's list from its listStart, store its end in the next ply's listStart,
// add its length to generatedCount and zero legalCount.
void generateMoves(Ply *ply);

} // namespace brevola

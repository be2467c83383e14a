// The FEN writer: placement and side to move of the position on the board.
#pragma once

#include "position/board.h"

namespace brevola {

// Write the placement and the side letter for `sideToMove` into `text`
// (at least 74 bytes); the letter is "w" for WhiteSide, "b" otherwise.
void writeFenText(char *text, SideMask sideToMove);

// Called right after a move was made at the root: the side to move next is
// the other side of the root's, and the text goes into fenOutputText.
void writeFen();

} // namespace brevola

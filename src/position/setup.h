// Position set-up: the FEN reader and the routines that make the engine ready
// for a game, a search or a perft run.
#pragma once

namespace brevola {

// iterationDepth = 2, setUpPosition, show the board, print a newline.
void newGame();

// Read fenInputText when it is not empty (otherwise keep the board as the
// played moves left it), zero the counters, write the positional values and
// rebuild the ply stack. A text that gives either side no king is refused and
// the board stays as it was.
void setUpPosition();

// Parse a FEN text into the board (already cleared), the piece lists, the
// king links and the history plies. Reads placement, side, castling rights and
// en passant square; never reads past the end of the text.
void readFen(const char *text);

} // namespace brevola

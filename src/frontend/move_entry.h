// Move entry from the console and the routine that plays a move on the game.
#pragma once

#include "search/ply.h"

namespace brevola {

// Handle typedLine as a move: a one-ply perft lists the root's moves, the
// first whose four-character coordinate text equals the line's start is
// played if it is legal.
void enterTypedMove();

// The first move of the root's list whose from/to text equals the first four
// characters of `text`; prints each candidate and the match once more.
Move *findTypedMove(Ply *root, const char *text);

// Make the move at the root, print it, show the board, write and print the
// FEN and commit it to the history plies. With no move (the side to move is
// mated or stalemated) the position and the side to move stay as they are.
void playMove(Ply *root, Move *move);

} // namespace brevola

// The engine's think: iterative deepening, two plies per iteration up to
// depthLimit, of a negamax alpha-beta search run on the ply stack without
// recursion. Prints its trace and plays the chosen move through playMove.
#pragma once

namespace brevola {

void search();

} // namespace brevola

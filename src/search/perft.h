// Perft: walk the tree of legal moves to depthLimit plies without recursion
// and count it. Leaves the counts in the engine counters and ply records and
// the root's list (every generated move) in the move stack.
#pragma once

namespace brevola {

void perft();

} // namespace brevola

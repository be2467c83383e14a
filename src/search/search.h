// The engine's think: iterative deepening, two plies per iteration up to
// depthLimit, of a negamax alpha-beta search run on the ply stack without
// recursion. Prints its trace and plays the chosen move through playMove.
#pragma once

#include <atomic>
#include <cstdint>

#include "search/ply.h"

namespace brevola {

void search();

// Hooks for a front end other than the console (the UCI front end). At their
// defaults (no stop request, the move played, no report) the search is the
// console's Think: the same output and the same node counts.

// Set by another thread to end the search: it is read every 65,536 nodes and
// then acts exactly as a time-out (the iteration in progress is abandoned and
// the last complete iteration's best move is chosen). The clock itself is
// still read only every 1,048,576 nodes. The search never clears it.
inline std::atomic<bool> stopRequested{false};

// When false the search does not call playMove: it leaves its choice (null
// when the side to move has no legal move) in rootPly->bestMove, and the
// position as it found it.
inline bool playChosenMove = true;

// What a completed iteration found: its depth in plies, the root's best move,
// that move's value (MinusInfinity when there is no legal move) and the nodes
// counted since the search began.
struct IterationReport {
    int32_t depth;
    int32_t value;
    const Move *bestMove;
    uint64_t nodes;
};

// Called after each completed iteration (not after an abandoned one), on the
// search's thread. Returning false ends the search as if depthLimit had been
// reached. Null: no call.
using IterationHook = bool (*)(const IterationReport &);
inline IterationHook iterationHook = nullptr;

} // namespace brevola

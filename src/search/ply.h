// The ply stack, the engine counters and the running score shared by search,
// perft, move entry and the displays.
#pragma once

#include <cstdint>

#include "movegen/move.h"
#include "position/board.h"

namespace brevola {

constexpr int32_t MinusInfinity = fromBits(0x80000000u); // no value yet; tried/illegal mark
constexpr int32_t MateValue = 0x40000000;                // mate given by the side that moved
static_assert(EmptyCode > MinusInfinity, "an untried quiet move ranks above a tried one");

struct Ply {
    SideMask side;               // side to move at this ply
    Move *bestMove;              // best move of the current visit
    int32_t bestValue;           // best value of the current visit, MinusInfinity if none
    PieceEntry *pieces;          // piece list of the side to move
    Move *listStart;             // first move of this ply's list; the next ply's ends it
    int32_t plyIndex;            // distance from the root (-4..63)
    int32_t entryScore;          // running score on entry, from this side's view
    PieceEntry *king;            // king of the side to move
    Square *doublePushSquare;    // pawn this ply's move advanced two squares, or null
    int32_t pawnStep;            // -10 white, +10 black
    uint64_t generatedCount;     // moves generated here since set-up (perft: less illegal ones)
    uint64_t legalCount;         // legal moves made here in the current visit
    Move *currentMove;           // move made (being tried) here; perft's cursor
    Square *toSquare;            // where the current move's piece ended
    Square *fromSquare;          // where it came from
    PieceCode pawnCode;          // pawn code of the side to move
    MoveGenerator pawnGenerator; // pawn generator of the side to move
    Occupant capturedOccupant;   // what stood on toSquare before the move
    Move *lastIterationBest;     // root only: best move of the last complete iteration
    int32_t selectedKey;         // search only: sortKey of currentMove when it was selected
    int32_t sameKeyLeft;         // search only: untried moves that still carry selectedKey
    bool kingAttacked;           // the side to move's king was attacked when the list was made
};

// Plies -4 and -3 are templates, -2 and -1 carry the game's history, 0 is the
// root and 1..63 lie above it.
constexpr int PlyStackSize = 68;
constexpr int PlyBelowRoot = 4;
inline Ply plyStack[PlyStackSize];
inline Ply *const rootPly = plyStack + PlyBelowRoot;
inline Ply *const historyToMove = rootPly - 2; // ply -2: side to move at the root
inline Ply *const historyMoved = rootPly - 1;  // ply -1: side that made the last move
inline Ply *const lastPly = plyStack + PlyStackSize - 1;

inline Move *listEnd(const Ply *p) { return (p + 1)->listStart; }

// Engine counters; every setUpPosition zeroes the three counts.
inline uint64_t nodeCount = 0;      // nodes visited (search) or expanded (perft)
inline uint64_t legalMoveCount = 0; // legal moves made, all plies
inline uint64_t ttHitCount = 0;     // never advanced: the table is not consulted
inline int32_t iterationDepth = 0;  // plies of the current iteration; perft's depth
inline Ply *horizonPly = nullptr;   // ply at iterationDepth - 1: its moves are scored
inline int32_t timedOut = 0;        // 1 once the search's clock check ran out of time

// The running score: the incremental evaluation kept by makeMove/unmakeMove,
// seen from the side to move at the current ply. 0 at start-up; the search and
// perft set it to 0 at the root, make/unmake change it, the board shows it.
inline int32_t runningScore = 0;

// Zero plies 0..63 and the move stack, fill the template plies and derive
// every ply from the history plies; set horizonPly from iterationDepth.
void rebuildPlyStack();

} // namespace brevola

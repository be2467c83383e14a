// The think/perft driver: the clock, the time budget, the statistics line and
// the position log.
#pragma once

#include <chrono>
#include <cstdint>

namespace brevola {

constexpr const char *PositionLogName = "brevola_fen.txt";

// Taken at the start of each Think or Perft run; read by elapsedMs.
inline std::chrono::steady_clock::time_point clockStart{};
// Lines this run of the program has tried to append to the position log.
inline int32_t fenLogCounter = 0;

// Depth 0 thinks and plays a move; any other depth runs perft to that depth.
void runThinkOrPerft(int32_t depth);

// Milliseconds since clockStart, never less than 1.
int32_t elapsedMs();

// "giocate", "ms disponibili" and "ms mossa" block printed before a Think.
void printTimeControl();

// The move's budget from the game clock: (movesPlayed x 1500 + gameTimeMs) /
// max(20 - movesPlayed, 4), in unsigned 32-bit arithmetic.
uint32_t moveBudgetMs(int32_t moves, uint32_t gameMs);

// What is left on the game clock after a run of `elapsed` ms: never below 1000.
uint32_t chargeGameClock(uint32_t gameMs, int32_t elapsed);

// Append "<counter>\t<fenOutputText>\n" to the position log; a log that cannot
// be opened drops the line silently (the counter still advances).
void appendPositionLog();

} // namespace brevola

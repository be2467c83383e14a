// The UCI front end: the Universal Chess Interface on an input and an output
// stream, for chess GUIs and match runners. It drives the same engine as the
// console (set-up, move generation, make/unmake, search, perft); the engine's
// console trace goes to a discarding stream, or to standard error after
// "debug on".
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "search/ply.h"

namespace brevola {

// Reads UCI commands from `in` until "quit" or the end of input and answers
// on `out`, one flushed line at a time. A search runs on its own thread, so
// "isready" and "stop" are answered while it runs. Returns 0.
int runUci(std::FILE *in, std::FILE *out);

// The parameters of one "go" command. Times are in milliseconds; NotGiven
// marks a time the command does not name (a negative time is a real value:
// some GUIs send one when the clock has run out).
constexpr int64_t NotGiven = INT64_MIN;
struct GoParameters {
    int64_t wtime = NotGiven;
    int64_t btime = NotGiven;
    int64_t winc = 0;
    int64_t binc = 0;
    int64_t movestogo = 0;
    int64_t movetime = NotGiven;
    int64_t depth = 0;
    int64_t perft = 0;
    bool perftAsked = false; // the word "perft" came: a perft, never a search
    bool infinite = false;
};

// Reads the words after "go"; unknown words and malformed numbers are skipped.
GoParameters parseGo(const std::string &line);

// The time rule's result for one move, in milliseconds since "go":
// `hardMs` is when the search is stopped, `softMs` is the elapsed time after
// which no new iteration is started. NoLimit (INT32_MAX) means none.
constexpr int32_t NoLimit = INT32_MAX;
struct TimePlan {
    int32_t hardMs;
    int32_t softMs;
};

// The time rule (see README, "Use in a chess GUI"):
// - movetime M: hard = soft = max(1, M - MovetimeMarginMs);
// - a clock of T ms left with increment I and movestogo N (0 = none):
//   reserve = ClockReserveMs + T / 20, usable = max(0, T - reserve),
//   budget = min(usable, usable / min(N or 30, 30) + I),
//   hard = max(1, budget), soft = hard / SoftDivisor;
// - no time given for the side to move (depth, infinite, bare go): no limit.
// The reserve covers what the GUI counts beyond the search's hard limit: the
// stop request's lag (65,536 nodes, some 30 ms), the answer's way back and the
// GUI's own delays.
constexpr int32_t ClockReserveMs = 100;
constexpr int32_t MovetimeMarginMs = 50;
constexpr int32_t SoftDivisor = 32;
TimePlan planTime(const GoParameters &go, bool whiteToMove);

// The even search depth in plies for "go depth D": D rounded up to even,
// within 2 and 30 (the console's depth); 30 when D is 0 (not given).
int32_t searchDepthFor(int64_t depth);

// The "score ..." words for a root value: "cp X" with X = value x 100 / (256
// x 65536), or a mate. `mateDepth` is the depth of the first iteration of this
// search whose value was a mate: a mate given in k moves is first seen by the
// iteration of 2k plies ("mate k"), a mate suffered in k moves by the
// iteration of 2k + 2 plies ("mate -k").
std::string scoreText(int32_t value, int32_t mateDepth);
bool isMateValue(int32_t value);

// The UCI text of a move of the root's list, before it is made: from- and
// to-square, en passant to the square the capturing pawn lands on, castling as
// the king's move (e1g1), a promotion with its lower-case letter (e7e8n).
std::string uciMoveText(const Ply *root, const Move *move);

// The legal moves of the position on the board, as UCI texts in the order of
// the engine's list. Sets up the position (a one-ply perft).
std::vector<std::string> legalMoveTexts();

} // namespace brevola

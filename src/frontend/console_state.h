// Front-end globals shared by the command loop, the think/perft driver, move
// entry and set-up. All are written by the console front end only.
#pragma once

#include <cstdint>
#include <cstdio>

namespace brevola {

constexpr int FenBufferSize = 512;
constexpr int PromptLineSize = 10;  // a read takes at most 9 characters
constexpr int AnswerReadSize = 510; // answers: at most 509 characters

inline int32_t depthLimit = 0;        // plies for the next search (30) or perft (typed depth)
inline uint32_t moveTimeMs = 0;       // milliseconds allowed for the engine's next move
inline uint32_t gameTimeMs = 0;       // milliseconds left on the game clock; 0 = no game clock
inline int32_t movesPlayed = 0;       // time-control move counter; reset by F, never advanced
inline char *fenInputText = nullptr;  // FEN for the next set-up; empty keeps the board
inline char *fenOutputText = nullptr; // FEN of the position after the last played move
inline char *typedLine = nullptr;     // the line last read at the prompt

// The one console input stream (standard input by default).
inline std::FILE *consoleIn = stdin;

} // namespace brevola

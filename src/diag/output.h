// The one console output stream. Every message, trace and display of the
// engine goes here; a front end or a test may point it elsewhere.
#pragma once

#include <cstdio>

namespace brevola {

// Standard output by default; set by the front end (or a test) before use.
inline std::FILE *consoleOut = stdout;

inline void outChar(char c) { std::putc(c, consoleOut); }
inline void outText(const char *text) { std::fputs(text, consoleOut); }

} // namespace brevola

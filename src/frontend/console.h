// The console front end: start-up and the prompt loop.
#pragma once

#include <cstdint>

namespace brevola {

// Start-up and the prompt loop on consoleIn/consoleOut. Returns the exit
// status: 0 after a confirmed exit or at the end of input, 1 when the table
// block cannot be reserved.
int runConsole();

// Print "<question> (Y/N)" and read one key (one line when the input is not a
// terminal); true only for y or Y. End of input counts as yes.
bool askYesNo(const char *question);

// A number as typed at the P, M and G prompts: leading blanks, a sign and
// digits, saturated to the 32-bit range; `fallback` when no number starts it.
int32_t parseNumber(const char *text, int32_t fallback);

} // namespace brevola

// Board consistency check for tests and debug builds: the border ring is
// intact, every occupied square and its piece entry point at each other,
// every list is terminated and the king links name live kings.
#pragma once

namespace brevola {

// Null when the position is consistent, otherwise what is wrong.
const char *checkBoard();

} // namespace brevola

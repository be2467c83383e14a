// Runs a typed console session in-process: feeds `input` as the console's
// input stream, captures everything the program writes, and works in a fresh
// temporary directory so the position log starts empty.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace brevola::testing {

// The program's first line, and the start position's placement.
inline const std::string Banner = "Brevola chess engine - type ? for help\n";
inline const std::string StartPlacement = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR";

struct SessionResult {
    std::string output;
    int status;
};

// Start-up, the prompt loop on `input`, and the end at the end of input (or
// at a confirmed X). The working directory is the one set by ScopedTempDir.
SessionResult runSession(const std::string &input);

// Replaces the clock-dependent figures (ms=, n/s=, m/s=, "inizio N ms") by "#"
// so that the rest of an output can be compared byte for byte.
std::string maskTimes(const std::string &output);

// Changes into a new empty temporary directory for its lifetime.
class ScopedTempDir {
  public:
    ScopedTempDir();
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir &) = delete;
    ScopedTempDir &operator=(const ScopedTempDir &) = delete;
    const std::string &path() const { return path_; }
    // Contents of a file in the directory ("" when it does not exist).
    std::string read(const std::string &name) const;

  private:
    std::string previous_;
    std::string path_;
};

// The board display as showBoard prints it for a FEN placement, built
// independently from the placement text: the leading newline, the grid and
// the trailer line "M=<m> H=0 bp=<bp>\n".
std::string expectedBoard(const std::string &placement, const std::string &m,
                          const std::string &bp);

// Everything before the first prompt: the banner, the start position's board
// and the newline after it.
std::string startUp();

// What F prints after the prompt for a FEN text that loads: the question and
// the new position's board with its newline.
std::string loaded(const std::string &placement);

// The start position as a FEN text.
inline const std::string StartFenText = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// One line of the position log: "<number>\t<fen>\n".
std::string logLine(int number, const std::string &fen);

// The statistics line after a perft run, with the clock figures masked.
std::string perftStats(int depth, long perft, long nodes, long moves, long time = 0);

// n dots, as perft and move entry print one per generated root move.
std::string dots(std::size_t n);

// A candidate as move entry prints it after the one-ply perft: every move has
// been made once (sort key 8000) and carries no search value yet (0).
std::string candidate(const std::string &move);

// The first `count` candidates of `moves`.
std::string candidates(const std::vector<std::string> &moves, std::size_t count);

// White's 20 moves from the start position in generation order: the pawns
// a2 to h2 (single then double advance), then the knights b1 and g1.
std::vector<std::string> whiteStartMoves();

// A typed line that matches nothing from the start position: a dot per
// generated move, then the whole candidate list.
std::string unmatchedWhiteLine();

} // namespace brevola::testing

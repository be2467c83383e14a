// Helpers for the tests that drive the engine's globals directly: catching
// what the engine prints, loading a position from a FEN text, naming squares,
// reading the board back, taking a snapshot of a position and finding a
// generated move.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "movegen/move.h"
#include "position/board.h"
#include "search/ply.h"

namespace brevola::testing {

// The start position as a FEN text.
inline constexpr const char *StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// Sends everything the engine prints to memory until text() or its own end.
class ConsoleCapture {
  public:
    ConsoleCapture();
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture &) = delete;
    ConsoleCapture &operator=(const ConsoleCapture &) = delete;
    // Ends the capture (the previous stream is back) and returns what it caught.
    std::string text();

  private:
    void finish();
    std::FILE *previous_;
    std::FILE *stream_ = nullptr;
    char *buffer_ = nullptr;
    std::size_t size_ = 0;
};

// What `print` writes to the console while it runs.
std::string printed(const std::function<void()> &print);

// Loads `fen` the way the console does (text in, set-up, text emptied) and
// returns what the set-up printed; the input text is left empty, so a later
// set-up keeps the board as moves leave it.
std::string loadFen(const std::string &fen);

// loadFen for a text that must load without a word: a fatal failure otherwise.
void loadFenSilently(const std::string &fen);

// Loads `fen` as a new game does (iteration depth 2 first) and fails fatally
// when the board is then inconsistent.
void newGameFrom(const std::string &fen);

// The square of a name such as "e4".
Square *at(const char *name);

// The name of a square: "-" for none, "??" for one off the playing area.
std::string nameOf(const Square *square);

// The FEN letter of a piece code ('?' for anything else).
char fenLetter(PieceCode code);

// The board's playing squares written back as a FEN placement, from the codes.
std::string placementOnBoard();

// Everything a position is made of: each square's code, entry, key and
// positional value; each list entry's square, generator, move count and
// letter; the king links; and the two history plies.
struct PositionState {
    std::vector<std::tuple<PieceCode, const PieceEntry *, HashKey, int32_t>> squares;
    std::vector<std::tuple<const Square *, MoveGenerator, int32_t, uint32_t>> entries;
    const PieceEntry *whiteKingLink;
    const PieceEntry *blackKingLink;
    std::vector<std::tuple<SideMask, const PieceEntry *, const PieceEntry *, const Square *>>
        history;
    bool operator==(const PositionState &) const = default;
};

// A snapshot of the current position.
PositionState positionState();

// A kind no move has: findMove then takes a move of any kind.
inline constexpr MoveKind AnyKind = -1;

// The first move of `ply`'s list from `from` to `to` (for en passant: to the
// captured pawn's square) of the given kind, or null.
Move *findMove(const Ply *ply, const char *from, const char *to, MoveKind kind = AnyKind);

// The same for the squares written together, "e2e4".
Move *findMove(const Ply *ply, const std::string &fromTo, MoveKind kind = AnyKind);

} // namespace brevola::testing

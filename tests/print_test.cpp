// The character printers (hexadecimal numbers, piece initials, square names,
// move texts) and the board display with its trailer.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "diag/board_display.h"
#include "diag/print.h"
#include "engine_fixture.h"
#include "movegen/generate.h"
#include "position/board.h"
#include "position/make_move.h"
#include "search/ply.h"
#include "session.h"

using namespace brevola;
using namespace brevola::testing;

namespace {

// Keeps the running score and the move counter as a test found them.
class DisplayGlobals {
  public:
    ~DisplayGlobals() {
        runningScore = score_;
        legalMoveCount = moves_;
    }

  private:
    int32_t score_ = runningScore;
    uint64_t moves_ = legalMoveCount;
};

} // namespace

TEST(Printer, HexPrintsWholeBytesWithoutLeadingZeroBytes) {
    const std::pair<uint32_t, const char *> cases[] = {
        {0, "0"},         {1, "01"},           {5, "05"},
        {0x14, "14"},     {0xA05, "0a05"},     {0x100, "0100"},
        {0x10000, "010000"}, {0x80000000u, "80000000"}, {0xFFFFFFFFu, "ffffffff"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(printed([v = value] { printHex(v); }), text) << std::hex << value;
}

TEST(Printer, HexHigh16PrintsTheUpperHalfUnsigned) {
    const std::pair<int32_t, const char *> cases[] = {
        {-65536, "ffff"},
        {0x00800000, "80"},
        {EmptyCode, "8001"},
        {MinusInfinity, "8000"},
        {-1, "ffff"},
        {0x0000FFFF, "0"},
        {85 * 65536, "55"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(printed([v = value] { printHexHigh16(static_cast<uint32_t>(v)); }), text)
            << value;
}

TEST(Printer, PieceInitialsForEveryKindAndColour) {
    loadFenSilently(StartFen);
    auto initials = [](const PieceEntry *list) {
        return printed([list] {
            for (const PieceEntry *e = list; e->square; ++e) printPieceLetter(e);
        });
    };
    // White in lower case, black in upper case; the queen is d, not t or a.
    EXPECT_EQ(initials(whitePieces), "ooooooootcadract");
    EXPECT_EQ(initials(blackPieces), "TCADRACTOOOOOOOO");
    // The list's terminator has no square and prints nothing.
    EXPECT_EQ(printed([] { printPieceLetter(&whitePieces[16]); }), "");
}

TEST(Printer, SquareNames) {
    loadFenSilently(StartFen);
    for (const char *name : {"a8", "h1", "e2", "h8", "a1", "d5"}) {
        SquareName n = squareName(at(name));
        EXPECT_EQ(std::string({n.file, n.rank}), name);
        EXPECT_EQ(printed([name] { printSquare(at(name)); }), name);
    }
}

// A move prints its piece, from- and to-square, sort key and value; once made
// it takes its from-square from the ply and shows the tried mark.
TEST(Printer, MoveTextBeforeAndAfterMake) {
    struct Case {
        const char *label;
        const char *fen;
        const char *from;
        const char *to;
        MoveKind kind;
        const char *before;
        const char *after;
    };
    const Case cases[] = {
        {"quiet pawn move", StartFen, "e2", "e4", DoublePush, "oe2e4:8001:0 ", "oe2e4:8000:0 "},
        {"black knight", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", "g8", "f6",
         Normal, "Cg8f6:8001:0 ", "Cg8f6:8000:0 "},
        {"castling as the king's move", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1", "g1",
         CastleKingSide, "re1g1:8001:0 ", "re1g1:8000:0 "},
        {"capture shows the victim's units", "4k3/8/8/3q4/4P3/8/8/4K3 w - - 0 1", "e4", "d5", Normal,
         "oe4d5:0a00:0 ", "oe4d5:8000:0 "},
        {"en passant to the captured pawn", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5", "d5",
         EnPassant, "oe5d5:0100:0 ", "oe5d5:8000:0 "},
        {"promotion", "r3k3/1P6/8/8/8/8/8/4K3 w - - 0 1", "b7", "a8", WhiteQueen, "ob7a8:0500:0 ",
         "db7a8:8000:0 "},
        {"under-promotion", "4k3/8/8/8/8/8/6p1/4K3 b - - 0 1", "g2", "g1", BlackKnight,
         "Og2g1:8001:0 ", "Cg2g1:8000:0 "},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        loadFenSilently(c.fen);
        generateMoves(rootPly);
        Move *move = findMove(rootPly, c.from, c.to, c.kind);
        ASSERT_NE(move, nullptr);
        EXPECT_EQ(printed([move] { printMove(rootPly, move); }), c.before);
        makeMove(move, rootPly, 0);
        EXPECT_EQ(printed([move] { printMove(rootPly, move); }), c.after);
        unmakeMove(rootPly, move);
    }
}

TEST(Printer, MoveTextShowsTheSearchValueAndNothingForNoMove) {
    loadFenSilently(StartFen);
    generateMoves(rootPly);
    Move *move = findMove(rootPly, "g1", "f3", Normal);
    ASSERT_NE(move, nullptr);
    move->searchValue = -3 * 65536;
    EXPECT_EQ(printed([move] { printMove(rootPly, move); }), "cg1f3:8001:fffd ");
    move->searchValue = 0x00550000;
    EXPECT_EQ(printed([move] { printMove(rootPly, move); }), "cg1f3:8001:55 ");
    EXPECT_EQ(printed([] { printMove(rootPly, nullptr); }), "");
}

// The trailer: M= the low then the high 32 bits of legalMoveCount, H= the
// hash (always 0), bp= the upper 16 bits of the running score.
TEST(BoardDisplay, TrailerShowsMoveCountHashAndScore) {
    struct Case {
        uint64_t legalMoves;
        int32_t score;
        const char *m;
        const char *bp;
    };
    const Case cases[] = {
        {0, 0, "00", "0"},
        {20, 85 * 65536, "140", "55"},
        {256, -65536, "01000", "ffff"},
        {0x100000005ull, 3832 * 65536 + 0x1114, "0501", "0ef8"},
        {0xFFFFFFFFull, MinusInfinity, "ffffffff0", "8000"},
    };
    DisplayGlobals keep;
    loadFenSilently(StartFen);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.m);
        legalMoveCount = c.legalMoves;
        runningScore = c.score;
        EXPECT_EQ(printed(showBoard),
                  expectedBoard("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR", c.m, c.bp));
    }
}

TEST(BoardDisplay, ShowsThePositionAsMakeLeftIt) {
    DisplayGlobals keep;
    loadFenSilently("r3k3/1P6/8/8/8/8/8/4K3 w - - 0 1");
    runningScore = 0;
    EXPECT_EQ(printed(showBoard), expectedBoard("r3k3/1P6/8/8/8/8/8/4K3", "00", "0"));
    generateMoves(rootPly);
    Move *move = findMove(rootPly, "b7", "a8", WhiteQueen);
    ASSERT_NE(move, nullptr);
    runningScore = makeMove(move, rootPly, 0);
    // The promoted pawn shows as the queen it became; 3832 units = 0x0ef8.
    EXPECT_EQ(printed(showBoard), expectedBoard("Q3k3/8/8/8/8/8/8/4K3", "00", "0ef8"));
    runningScore = unmakeMove(rootPly, move);
    EXPECT_EQ(printed(showBoard), expectedBoard("r3k3/1P6/8/8/8/8/8/4K3", "00", "0"));
}

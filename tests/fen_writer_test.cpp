// The FEN writer: placement and side letter of the position after a move made
// at the root, letters taken from the piece codes (so a promoted pawn is
// written as what it became), and a text that the FEN reader reads back as the
// same position with no castling rights and no en passant square.
#include <gtest/gtest.h>

#include <string>

#include "diag/board_display.h"
#include "engine_fixture.h"
#include "frontend/console_state.h"
#include "movegen/generate.h"
#include "position/board.h"
#include "position/fen_writer.h"
#include "position/make_move.h"
#include "search/ply.h"
#include "session.h"

using namespace brevola;
using namespace brevola::testing;

namespace {

// While a test lives, what the engine prints is caught and the written FEN
// text goes to a buffer of the test's own; the previous console stream and
// the two FEN texts are put back afterwards.
class FenWriter : public ::testing::Test {
  protected:
    void SetUp() override {
        savedInput_ = fenInputText;
        savedOutput_ = fenOutputText;
        fenOutputText = output_;
    }
    void TearDown() override {
        fenInputText = savedInput_;
        fenOutputText = savedOutput_;
    }

    void load(const std::string &fen) {
        loadFen(fen);
        runningScore = 0;
    }

    // Generates the root's moves, makes the one from `from` to `to` (of
    // `kind` when given) and writes the FEN text.
    std::string playAndWrite(const char *from, const char *to, MoveKind kind = AnyKind) {
        generateMoves(rootPly);
        Move *m = findMove(rootPly, from, to, kind);
        if (!m) {
            ADD_FAILURE() << "no move " << from << to;
            return "";
        }
        runningScore = makeMove(m, rootPly, runningScore);
        writeFen();
        return fenOutputText;
    }

    char output_[FenBufferSize]{};

  private:
    ConsoleCapture console_;
    char *savedInput_ = nullptr;
    char *savedOutput_ = nullptr;
};

struct WrittenCase {
    const char *fen;
    const char *from;
    const char *to;
    MoveKind kind;
    const char *written;
};

// The side letter names the side to move next: "b" after White's move.
const WrittenCase WrittenCases[] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "e2", "e4", AnyKind,
     "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b"},
    {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", "e7", "e5", AnyKind,
     "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w"},
    // Empty squares at the end of rank 1 are written like any other's.
    {"4k3/8/8/8/8/8/8/R2QK2R w K - 0 1", "e1", "g1", CastleKingSide, "4k3/8/8/8/8/8/8/R2Q1RK1 b"},
    {"4k3/P7/8/8/8/8/8/4K3 w - - 0 1", "a7", "a8", WhiteQueen, "Q3k3/8/8/8/8/8/8/4K3 b"},
    {"4k3/P7/8/8/8/8/8/4K3 w - - 0 1", "a7", "a8", WhiteKnight, "N3k3/8/8/8/8/8/8/4K3 b"},
    {"4k3/8/8/8/8/8/7p/4K3 b - - 0 1", "h2", "h1", BlackKnight, "4k3/8/8/8/8/8/8/4K2n w"},
    // En passant: the captured pawn's square is empty, the pawn stands on d6.
    {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5", "d5", EnPassant, "4k3/8/3P4/8/8/8/8/4K3 b"},
};

} // namespace

TEST_F(FenWriter, WritesPlacementAndSideAfterAMove) {
    for (const WrittenCase &c : WrittenCases) {
        SCOPED_TRACE(c.written);
        load(c.fen);
        EXPECT_EQ(playAndWrite(c.from, c.to, c.kind), c.written);
    }
}

TEST_F(FenWriter, WritesTheLoneKingsForEitherSide) {
    load("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    writeFenText(output_, WhiteSide);
    EXPECT_STREQ(output_, "4k3/8/8/8/8/8/8/4K3 w");
    writeFenText(output_, BlackSide);
    EXPECT_STREQ(output_, "4k3/8/8/8/8/8/8/4K3 b");
}

// Read back, each written text gives the same board (shown independently of
// the writer), the side it names, no castling right (every king and rook keeps
// a move count of 1) and no en passant square: the reader stops at the
// missing separator after the side letter.
TEST_F(FenWriter, TextReadsBackAsTheSamePosition) {
    for (const WrittenCase &c : WrittenCases) {
        SCOPED_TRACE(c.written);
        const std::string written = c.written;
        load(written);
        const std::string placement = written.substr(0, written.find(' '));
        EXPECT_EQ(printed(showBoard), expectedBoard(placement, "00", "0"));
        EXPECT_EQ(historyToMove->side, written.back() == 'w' ? WhiteSide : BlackSide);
        EXPECT_EQ(historyMoved->doublePushSquare, nullptr);
        for (PieceEntry *list : {whitePieces, blackPieces})
            for (PieceEntry *e = list; e->square; ++e) {
                PieceCode code = e->square->code;
                if (e->square->piece == e && (code & (KingBits | StraightBits))) {
                    EXPECT_EQ(e->moveCount, 1) << "piece on index " << squareIndexOf(e->square);
                }
            }
    }
}

// The played move's text goes to the screen and the log, and F takes it back:
// after e2e4 the logged text loads as the same board with Black to move, so
// e7e5 is then played and written with "w".
TEST(FenWriterConsole, LoggedTextLoadsBackThroughTheConsole) {
    ScopedTempDir dir;
    const std::string afterE4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR";
    SessionResult result = runSession("e2e4\nF\n" + afterE4 + " b\ne7e5\n");
    // The running score still holds e2e4's 85 units (0x55) when F shows the board.
    EXPECT_NE(result.output.find("\nInsert FEN string: " + expectedBoard(afterE4, "00", "55") +
                                 "\n>"),
              std::string::npos);
    EXPECT_NE(result.output.find("\n> FEN: rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w\n"),
              std::string::npos);
    EXPECT_EQ(dir.read("brevola_fen.txt"),
              "1\t" + afterE4 + " b\n2\t" + afterE4 + " b\n3\t" +
                  "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w\n");
}

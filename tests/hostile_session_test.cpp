// Hostile typed sessions: Windows line endings, NUL and non-ASCII bytes, a
// megabyte-long line, input that ends inside a line, malformed FEN texts,
// absurd numbers and a log that cannot be written. Each row gives the whole
// output after start-up (clock figures masked) and the position log; every
// session must end cleanly, with status 0, at the end of its input.
// End of input at each question, FENs without kings and a directory named
// like the log are in console_test.cpp.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "frontend/console_state.h"
#include "frontend/driver.h"
#include "session.h"

using namespace brevola::testing;
using namespace std::string_literals;

namespace {

const std::string End = "\n\n";
const std::string Prompt = ">";
const std::string LogName = "brevola_fen.txt";
const std::string FenPrompt = "\nInsert FEN string: ";
const std::string DepthPrompt = " Insert depth: ";
const std::string Refused = "\n> FEN refused: each side needs a king\n";

const std::string CastleFen = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
const std::string CastlePlacement = "r3k2r/8/8/8/8/8/8/R3K2R";
const std::string AfterE4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b";

std::string startBoard() { return expectedBoard(StartPlacement, "00", "0"); }

// F answered with a text that loads: the question, the board, its newline.
std::string fenLoads(const std::string &placement) {
    return FenPrompt + expectedBoard(placement, "00", "0") + "\n";
}

// F answered with a text that is refused: the start position stays.
std::string fenRefused() { return FenPrompt + Refused + startBoard() + "\n"; }

// Move entry playing e2e4 from the start position.
std::string playsE4() {
    return dots(20) + candidates(whiteStartMoves(), 10) + candidate("oe2e4") + "\n" +
           "\n> MOSSA: " + candidate("oe2e4") +
           expectedBoard("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR", "140", "55") +
           "\n> FEN: " + AfterE4 + "\n";
}

// A perft to depth 1 from a loaded position with n legal moves, all of them
// legal: the dots, then the statistics line.
std::string perftOne(long n) {
    return DepthPrompt + dots(static_cast<std::size_t>(n)) + perftStats(1, n, 1, n);
}

enum class LogPlace {
    Writable,
    Unwritable, // a read-only directory; for root, a log link into nowhere
};

struct Row {
    const char *name;
    std::string input;
    std::string output; // after start-up, up to the closing "\n\n"
    std::string log;
    uint32_t moveMs = 0; // the time control the session leaves
    uint32_t gameMs = 0;
    LogPlace logPlace = LogPlace::Writable;
};

// Makes the log impossible to open in the current directory. A read-only
// directory does not stop root, so then the log name becomes a link to a
// directory that does not exist, which stops everyone.
void makeLogUnwritable(const std::string &dir) {
    ASSERT_EQ(chmod(dir.c_str(), 0555), 0);
    std::FILE *probe = std::fopen("probe", "w");
    if (!probe) return;
    std::fclose(probe);
    ASSERT_EQ(std::remove("probe"), 0);
    ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
    ASSERT_EQ(symlink("no-such-directory/log", LogName.c_str()), 0);
}

// EXPECT_EQ, except that texts of the megabyte row (tens of MB) are only
// reported by their sizes.
void expectSame(const std::string &actual, const std::string &expected, const char *what) {
    if (expected.size() < 100000 && actual.size() < 100000) {
        EXPECT_EQ(actual, expected) << what;
        return;
    }
    EXPECT_TRUE(actual == expected)
        << what << " of " << actual.size() << " bytes, expected " << expected.size() << " bytes";
}

} // namespace

TEST(HostileSession, EachInputGetsItsDocumentedReaction) {
    const std::string startLog = logLine(1, StartFenText);
    const std::string startLogs2 = startLog + logLine(2, StartFenText);
    const std::string megabyte(1 << 20, 'x');
    // After the 509 bytes F reads, the rest of the line and its newline.
    const std::size_t restBytes = megabyte.size() - (brevola::AnswerReadSize - 1) + 1;
    const std::size_t pieces =
        (restBytes + brevola::PromptLineSize - 2) / (brevola::PromptLineSize - 1);
    std::string megabyteRest = ">", megabyteLog = startLog;
    for (std::size_t i = 0; i < pieces; ++i) {
        megabyteRest += unmatchedWhiteLine() + ">";
        megabyteLog += logLine(static_cast<int>(i + 2), StartFenText);
    }

    const Row rows[] = {
        // Windows line endings. A command is a lone character before the
        // newline, so "S\r\n" is a typed line that matches no move; a lone
        // "\r\n" is the unknown command CR. Answers and moves read their
        // text up to the CR.
        {"CR LF after a command", "S\r\n", Prompt + unmatchedWhiteLine() + ">", startLog},
        {"CR LF alone", "\r\n", ">>", ""},
        {"CR LF after a depth", "P\n2\r\n",
         Prompt + DepthPrompt + dots(20) + perftStats(2, 400, 21, 420) + ">", startLog},
        {"CR LF after a FEN", "F\n" + CastleFen + "\r\n", Prompt + fenLoads(CastlePlacement) + ">",
         startLog},
        {"CR LF after seconds", "M\n5\r\n", "> Insert seconds/move: >", "", 5000},
        {"CR LF after a move", "e2e4\r\n", Prompt + playsE4() + ">", logLine(1, AfterE4)},
        {"CR LF after the exit answer", "X\ny\r\nS\n", ">Do you want to exit? (Y/N)", ""},

        // NUL and non-ASCII bytes.
        {"NUL as a command", "\0\n"s, ">>", ""},
        {"NUL after a letter", "S\0\n"s, Prompt + unmatchedWhiteLine() + ">", startLog},
        // The move is matched on the four characters before the NUL.
        {"NUL inside a move", "e2e4\0ju\n"s, Prompt + playsE4() + ">", logLine(1, AfterE4)},
        {"NUL ends a FEN text", "F\n4k3/8/8/8/8/8/8/8\0/4K3 w - - 0 1\n"s,
         Prompt + fenRefused() + ">", startLog},
        {"NUL opens a FEN answer", "F\n\0"s + CastleFen + "\n",
         Prompt + FenPrompt + startBoard() + "\n>", startLog},
        {"byte 0xFF as a command", "\xff\n", ">>", ""},
        {"UTF-8 letter as a move", "\xc3\xa9\n", Prompt + unmatchedWhiteLine() + ">", startLog},
        {"UTF-8 inside a FEN placement",
         "F\nr3k2r/8/8/8/\xe2\x99\x94"
         "8/8/8/R3K2R w KQkq - 0 1\n",
         Prompt + fenLoads(CastlePlacement) + ">", startLog},

        // A megabyte-long answer to F: the reader takes its first 509
        // bytes (no king: refused), and the rest arrives at the prompt in
        // pieces of nine, each a typed line that matches nothing.
        {"megabyte line", "F\n" + megabyte + "\n", Prompt + fenRefused() + megabyteRest,
         megabyteLog},

        // Input that ends inside a line: the text read so far counts.
        {"end inside a depth", "P\n1",
         Prompt + DepthPrompt + dots(20) + perftStats(1, 20, 1, 20) + ">", startLog},
        {"end inside a FEN", "F\n" + CastleFen, Prompt + fenLoads(CastlePlacement) + ">", startLog},
        {"end inside a move", "e2e4", Prompt + playsE4() + ">", logLine(1, AfterE4)},
        {"end after a lone letter", "S", Prompt + unmatchedWhiteLine() + ">", startLog},
        {"end inside the exit answer", "X\ny", ">Do you want to exit? (Y/N)", ""},

        // Malformed FEN texts, loaded as far as they go; a perft to depth 1
        // counts the moves of what was loaded.
        // Seventeen white pieces with the king last: the king is the one
        // skipped, so the text has no white king and is refused.
        {"17 white pieces, king last", "F\nk7/8/8/8/PPPPPPPP/PPPPPPPP/8/K7 w - - 0 1\n",
         Prompt + fenRefused() + ">", startLog},
        // King first: the seventeenth piece, the pawn on h4, is skipped. The
        // king on a8 has three moves, the pawns on rank 5 one each, and
        // those on rank 4 are blocked.
        {"17 white pieces, king first", "F\nK7/8/8/PPPPPPPP/PPPPPPPP/8/8/7k w - - 0 1\nP\n1\n",
         Prompt + fenLoads("K7/8/8/PPPPPPPP/PPPPPPP1/8/8/7k") + Prompt + perftOne(11) + ">",
         startLogs2},
        {"rank of nine squares", "F\nr3k2rr/8/8/8/8/8/8/R3K2R w KQkq - 0 1\nP\n1\n",
         Prompt + fenLoads(CastlePlacement) + Prompt + perftOne(26) + ">", startLogs2},
        {"digit 9", "F\nr3k2r/9/8/8/8/8/8/R3K2R w KQkq - 0 1\nP\n1\n",
         Prompt + fenLoads(CastlePlacement) + Prompt + perftOne(26) + ">", startLogs2},
        // Without a castling field neither side may castle: 24 moves.
        {"fields after the side missing", "F\nr3k2r/8/8/8/8/8/8/R3K2R b\nP\n1\n",
         Prompt + fenLoads(CastlePlacement) + Prompt + perftOne(24) + ">", startLogs2},
        // Without a side field White moves.
        {"only the placement", "F\nr3k2r/8/8/8/8/8/8/R3K2R\nP\n1\n",
         Prompt + fenLoads(CastlePlacement) + Prompt + perftOne(24) + ">", startLogs2},
        // Two white kings: both move (three squares each); the later one
        // in the text is the king whose safety counts.
        {"two white kings", "F\n7k/8/8/8/8/8/8/K6K w - - 0 1\nP\n1\n",
         Prompt + fenLoads("7k/8/8/8/8/8/8/K6K") + Prompt + perftOne(6) + ">", startLogs2},
        // A white pawn on rank 8 has no move; one on rank 1 goes one or two
        // squares; the king has five.
        {"pawns on the first and last rank", "F\nP3k3/8/8/8/8/8/8/P3K3 w - - 0 1\nP\n1\n",
         Prompt + fenLoads("P3k3/8/8/8/8/8/8/P3K3") + Prompt + perftOne(7) + ">", startLogs2},
        // Black in check with White to move: the rook may take the king
        // (e2e8 is one of its 13 moves), and the text loads as written.
        {"side not to move in check", "F\n4k3/8/8/8/8/8/4R3/4K3 w - - 0 1\nP\n1\n",
         Prompt + fenLoads("4k3/8/8/8/8/8/4R3/4K3") + Prompt + perftOne(17) + ">", startLogs2},

        // Absurd numbers: read with strtoll, saturated to 32 bits. Depths
        // below 1 run as 1, above 63 are refused; seconds x 1000 wrap in 32
        // bits (INT32_MAX x 1000 leaves 4294966296 ms).
        {"depth -5", "P\n-5\n", Prompt + DepthPrompt + dots(20) + perftStats(1, 20, 1, 20) + ">",
         startLog},
        {"depth 64", "P\n64\n", Prompt + DepthPrompt + "\n> depth must be 1 to 63\n>", ""},
        {"depth of twenty digits", "P\n99999999999999999999\n",
         Prompt + DepthPrompt + "\n> depth must be 1 to 63\n>", ""},
        {"depth of minus twenty digits", "P\n-99999999999999999999\n",
         Prompt + DepthPrompt + dots(20) + perftStats(1, 20, 1, 20) + ">", startLog},
        {"depth in letters", "P\nfour\n",
         Prompt + DepthPrompt + dots(20) + perftStats(4, 197281, 9323, 206603) + ">", startLog},
        {"negative seconds per move", "M\n-1\n", "> Insert seconds/move: >", "", 4294966296u},
        {"huge seconds per move", "M\n99999999999999999999\n", "> Insert seconds/move: >", "",
         4294966296u},
        {"negative seconds per game", "G\n-60\n", "> Insert seconds/game: >", "", 0, 4294907296u},
        {"huge seconds per game", "G\n99999999999\n", "> Insert seconds/game: >", "", 0,
         4294966296u},
        // INT32_MIN x 1000 wraps to 0: no game clock at all.
        {"hugely negative seconds per game", "G\n-99999999999\n", "> Insert seconds/game: >", ""},

        // The log cannot be opened: the runs go on silently, nothing is
        // written.
        {"log in a read-only directory", "P\n1\ne2e4\n",
         Prompt + DepthPrompt + dots(20) + perftStats(1, 20, 1, 20) + Prompt + playsE4() + ">", "",
         0, 0, LogPlace::Unwritable},
    };

    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ScopedTempDir dir;
        if (row.logPlace == LogPlace::Unwritable) {
            ASSERT_NO_FATAL_FAILURE(makeLogUnwritable(dir.path()));
        }
        SessionResult result = runSession(row.input);
        EXPECT_EQ(result.status, 0);
        expectSame(maskTimes(result.output), startUp() + row.output + End, "output");
        expectSame(dir.read(LogName), row.log, "log");
        EXPECT_EQ(brevola::moveTimeMs, row.moveMs);
        EXPECT_EQ(brevola::gameTimeMs, row.gameMs);
    }
}

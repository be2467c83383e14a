// End-to-end sessions of the console front end: typed input in, the exact
// console output and the position log out. Expected texts are assembled from
// the documented messages, formats and move orders, not copied from a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <regex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "diag/output.h"
#include "frontend/console.h"
#include "frontend/console_state.h"
#include "frontend/driver.h"
#include "session.h"

using namespace brevola::testing;

namespace {

const std::string End = "\n\n";
const std::string Prompt = ">";
const std::string LogName = "brevola_fen.txt";

const std::string StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// Kings and rooks only, all four castlings open: 26 moves for White, every
// one of them legal (king 5, rook a1 10, rook h1 9, two castlings).
const std::string CastleFen = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
const std::string CastlePlacement = "r3k2r/8/8/8/8/8/8/R3K2R";

// Black to move is checkmated: the king on h8 generates h7, g8 and xg7, and
// none of them is legal. A Think here ends at once.
const std::string MatedFen = "7k/6Q1/6K1/8/8/8/8/8 b - - 0 1";
const std::string MatedPlacement = "7k/6Q1/6K1/8/8/8/8/8";

const std::string HelpText = "\n ?: help\n S: Show chessboard\n T: Think\n P: Perfect level\n"
                             " X: Exit\n F: set from FEN\n M: time in seconds/Move\n"
                             " G: time in seconds/Game\n e2e4: move\n e1g1: castling\n"
                             " e7e8Q: promotion\n";

const std::string TimeRule = "\n_________________________\n";

std::string startBoard(const std::string &m = "00") {
    return expectedBoard(StartPlacement, m, "0");
}

std::string timeControl(long game, long move) {
    return TimeRule + "giocate = 0\n\nms disponibili = " + std::to_string(game) +
           "\nms mossa = " + std::to_string(move) + "\n";
}

// Black's 20 replies: the rank-8 pieces come first in Black's piece list.
std::vector<std::string> blackStartMoves() {
    std::vector<std::string> moves = {"Cb8c6", "Cb8a6", "Cg8h6", "Cg8f6"};
    for (char f = 'a'; f <= 'h'; ++f) {
        moves.push_back(std::string("O") + f + "7" + f + "6");
        moves.push_back(std::string("O") + f + "7" + f + "5");
    }
    return moves;
}

// The number after " time=" in the n-th statistics line (0-based), or -1.
long timeField(const std::string &output, int n = 0) {
    static const std::regex time(R"( time=(-?[0-9]+)\n)");
    auto it = std::sregex_iterator(output.begin(), output.end(), time);
    for (int i = 0; i < n && it != std::sregex_iterator(); ++i) ++it;
    if (it == std::sregex_iterator()) return -1;
    return std::stol((*it)[1].str());
}

// Input whose pieces are handed out one at a time, with an action run just
// before a piece is first read. Lets a test change the working directory
// between two commands of one run.
struct SteppedInput {
    struct Step {
        std::function<void()> before;
        std::string text;
    };
    std::vector<Step> steps;
    std::size_t index = 0;
    std::size_t offset = 0;
    bool started = false;
};

ssize_t readStep(void *cookie, char *buffer, std::size_t size) {
    auto *in = static_cast<SteppedInput *>(cookie);
    while (in->index < in->steps.size()) {
        SteppedInput::Step &step = in->steps[in->index];
        if (!in->started) {
            in->started = true;
            if (step.before) step.before();
        }
        std::size_t left = step.text.size() - in->offset;
        if (left == 0) {
            ++in->index;
            in->offset = 0;
            in->started = false;
            continue;
        }
        std::size_t n = std::min(size, left);
        std::memcpy(buffer, step.text.data() + in->offset, n);
        in->offset += n;
        return static_cast<ssize_t>(n);
    }
    return 0;
}

SessionResult runSteppedSession(SteppedInput &input) {
    cookie_io_functions_t io{};
    io.read = readStep;
    std::FILE *in = fopencookie(&input, "r", io);
    char *buffer = nullptr;
    std::size_t size = 0;
    std::FILE *out = open_memstream(&buffer, &size);
    brevola::consoleIn = in;
    brevola::consoleOut = out;
    int status = brevola::runConsole();
    std::fclose(out);
    std::fclose(in);
    brevola::consoleIn = stdin;
    brevola::consoleOut = stdout;
    std::string text(buffer, size);
    std::free(buffer);
    return SessionResult{text, status};
}

} // namespace

// ---------------------------------------------------------------------------
// Start-up and the one-letter commands

TEST(ConsoleCommands, StartUpShowsUtf8BoardThenPrompt) {
    // The start board written out byte for byte, to pin the separator bytes
    // (U+253C and U+2500 in UTF-8) independently of the board helper.
    const std::string cross = "\xE2\x94\xBC", bar = "\xE2\x94\x80";
    std::string separator = "\n";
    for (int i = 0; i < 8; ++i) separator += cross + bar;
    separator += cross + "\n";
    const char *rows[] = {"|T|C|A|D|R|A|C|T|", "|O|O|O|O|O|O|O|O|", "| | | | | | | | |",
                          "| | | | | | | | |", "| | | | | | | | |", "| | | | | | | | |",
                          "|o|o|o|o|o|o|o|o|", "|t|c|a|d|r|a|c|t|"};
    std::string board = "\n";
    for (const char *row : rows) board += separator + row;
    board += separator + "\nM=00 H=0 bp=0\n";

    ScopedTempDir dir;
    SessionResult result = runSession("");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, Banner + board + "\n>" + End);
    EXPECT_EQ(dir.read(LogName), "");
}

TEST(ConsoleCommands, HelpAndShowPrintWithoutLogLine) {
    struct Case {
        const char *input;
        std::string printed;
    };
    const Case cases[] = {
        {"?\n", HelpText},
        {"S\n", startBoard()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.input);
        ScopedTempDir dir;
        SessionResult result = runSession(c.input);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.output, startUp() + ">" + c.printed + ">" + End);
        EXPECT_EQ(dir.read(LogName), "");
    }
}

TEST(ConsoleCommands, LowerCaseLettersWorkLikeUpperCase) {
    struct Case {
        std::string lower, upper, shows;
    };
    const Case cases[] = {
        {"s\n", "S\n", Prompt + startBoard() + ">"},
        {"p\n2\n", "P\n2\n", perftStats(2, 400, 21, 420)},
        {"f\n" + CastleFen + "\n", "F\n" + CastleFen + "\n",
         "\nInsert FEN string: " + expectedBoard(CastlePlacement, "00", "0")},
        {"F\n" + MatedFen + "\nm\n5\nt\n", "F\n" + MatedFen + "\nM\n5\nT\n",
         " Insert seconds/move: >" + timeControl(0, 5000)},
        {"F\n" + MatedFen + "\ng\n60\nt\n", "F\n" + MatedFen + "\nG\n60\nT\n",
         " Insert seconds/game: >" + timeControl(60000, 3000)},
        {"x\nn\nx\ny\n", "X\nn\nX\ny\n",
         ">Do you want to exit? (Y/N)>Do you want to exit? (Y/N)" + End},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.lower);
        std::string lower, upper;
        {
            ScopedTempDir dir;
            lower = maskTimes(runSession(c.lower).output);
        }
        {
            ScopedTempDir dir;
            upper = maskTimes(runSession(c.upper).output);
        }
        // The game clock's remainder depends on the elapsed time; only the
        // figures after "time=" may differ between the two runs.
        static const std::regex time(R"( time=[0-9]+)");
        EXPECT_EQ(std::regex_replace(lower, time, " time=#"),
                  std::regex_replace(upper, time, " time=#"));
        EXPECT_NE(upper.find(c.shows), std::string::npos) << upper;
    }
}

TEST(ConsoleCommands, UnknownLetterPrintsNothing) {
    for (const char *input : {"a\n", "z\n", "1\n", " \n", "#\n"}) {
        SCOPED_TRACE(input);
        ScopedTempDir dir;
        SessionResult result = runSession(input);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.output, startUp() + ">>" + End);
        EXPECT_EQ(dir.read(LogName), "");
    }
}

TEST(ConsoleCommands, EmptyLineGoesToMoveEntryAndLogs) {
    ScopedTempDir dir;
    SessionResult result = runSession("\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, startUp() + ">" + unmatchedWhiteLine() + ">" + End);
    EXPECT_EQ(dir.read(LogName), logLine(1, StartFen));
}

// ---------------------------------------------------------------------------
// A line longer than a prompt read is taken in pieces of nine characters

TEST(ConsoleLineSplit, LongLineIsHandledInPiecesOfNine) {
    const std::string afterE4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b";
    const std::string playedE4 =
        dots(20) + candidates(whiteStartMoves(), 10) + candidate("oe2e4") + "\n" +
        "\n> MOSSA: " + candidate("oe2e4") +
        expectedBoard("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR", "140", "55") +
        "\n> FEN: " + afterE4 + "\n";
    const std::string unmatchedBlack = dots(20) + candidates(blackStartMoves(), 20);

    struct Case {
        const char *input;
        std::string output; // after start-up
        std::string log;
    };
    const Case cases[] = {
        // "e2e4 e7e5" plays e2e4; the newline left over is an empty line.
        {"e2e4 e7e5\n", Prompt + playedE4 + ">" + unmatchedBlack + ">",
         logLine(1, afterE4) + logLine(2, afterE4)},
        // The second piece "S\n" is a command of its own; the board's trailer
        // still holds the 20 legal moves counted by the first piece.
        {"abcdefghiS\n", Prompt + unmatchedWhiteLine() + ">" + startBoard("140") + ">",
         logLine(1, StartFen)},
        // Nine, nine and the lone newline: three typed lines.
        {"abcdefghijklmnopqr\n",
         Prompt + unmatchedWhiteLine() + ">" + unmatchedWhiteLine() + ">" + unmatchedWhiteLine() + ">",
         logLine(1, StartFen) + logLine(2, StartFen) + logLine(3, StartFen)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.input);
        ScopedTempDir dir;
        SessionResult result = runSession(c.input);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.output, startUp() + c.output + End);
        EXPECT_EQ(dir.read(LogName), c.log);
    }
}

// ---------------------------------------------------------------------------
// F: loading a position

TEST(ConsoleFen, ValidFenIsShownAndLogsThePreviousOutputText) {
    ScopedTempDir dir;
    SessionResult result = runSession("F\n" + CastleFen + "\nS\nP\n1\n");
    const std::string board = expectedBoard(CastlePlacement, "00", "0");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(maskTimes(result.output), startUp() + ">\nInsert FEN string: " + board + "\n>" +
                                            board + "> Insert depth: " + dots(26) +
                                            perftStats(1, 26, 1, 26) + ">" + End);
    // No move has been played, so both lines carry the start position's text.
    EXPECT_EQ(dir.read(LogName), logLine(1, StartFen) + logLine(2, StartFen));
}

TEST(ConsoleFen, EmptyAnswerKeepsThePositionAndStillLogs) {
    const std::string board = expectedBoard(CastlePlacement, "00", "0");
    for (const char *answer : {"\n", "\r\n"}) {
        SCOPED_TRACE(answer[0] == '\r' ? "CR LF" : "LF");
        ScopedTempDir dir;
        SessionResult result = runSession("F\n" + CastleFen + "\nF\n" + answer + "S\n");
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.output, startUp() + ">\nInsert FEN string: " + board + "\n>" +
                                     "\nInsert FEN string: >" + board + ">" + End);
        EXPECT_EQ(dir.read(LogName), logLine(1, StartFen) + logLine(2, StartFen));
    }
}

TEST(ConsoleFen, FenWithoutBothKingsIsRefusedAndPositionKept) {
    const std::string board = expectedBoard(CastlePlacement, "00", "0");
    for (const char *bad : {"8/8/8/8/8/8/8/4K3 w - - 0 1", "4k3/8/8/8/8/8/8/8 w - - 0 1",
                            "8/8/8/8/8/8/8/8 w - - 0 1", "hello", " "}) {
        SCOPED_TRACE(bad);
        ScopedTempDir dir;
        SessionResult result =
            runSession("F\n" + CastleFen + "\nF\n" + bad + "\nP\n1\n");
        EXPECT_EQ(result.status, 0);
        // The perft afterwards counts the kept position, castlings included.
        EXPECT_EQ(maskTimes(result.output),
                  startUp() + ">\nInsert FEN string: " + board + "\n>" +
                      "\nInsert FEN string: \n> FEN refused: each side needs a king\n" + board +
                      "\n>" + " Insert depth: " + dots(26) + perftStats(1, 26, 1, 26) + ">" +
                      End);
        EXPECT_EQ(dir.read(LogName),
                  logLine(1, StartFen) + logLine(2, StartFen) + logLine(3, StartFen));
    }
}

// ---------------------------------------------------------------------------
// P: perft and its statistics line

TEST(ConsolePerft, DepthAnswerRunsPerftAndPrintsStatistics) {
    struct Case {
        const char *answer;
        int depth;
        long perft, nodes, moves;
    };
    const Case cases[] = {
        {"1", 1, 20, 1, 20},
        {"2", 2, 400, 21, 420},
        {"3", 3, 8902, 421, 9322},
        {"  2x", 2, 400, 21, 420},      // leading blanks and trailing text
        {"abc", 4, 197281, 9323, 206603}, // no number: depth 4
        {"", 4, 197281, 9323, 206603},    // empty answer: depth 4
        {"-5", 1, 20, 1, 20},             // below 1 runs as depth 1
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.answer);
        ScopedTempDir dir;
        SessionResult result = runSession(std::string("P\n") + c.answer + "\n");
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(maskTimes(result.output),
                  startUp() + "> Insert depth: " + dots(20) +
                      perftStats(c.depth, c.perft, c.nodes, c.moves) + ">" + End);
        EXPECT_EQ(dir.read(LogName), logLine(1, StartFen));
    }
}

TEST(ConsolePerft, DepthAboveSixtyThreeIsRefused) {
    for (const char *answer : {"64", "1000", "99999999999999999999"}) {
        SCOPED_TRACE(answer);
        ScopedTempDir dir;
        SessionResult result = runSession(std::string("P\n") + answer + "\nS\n");
        EXPECT_EQ(result.status, 0);
        // Nothing runs: the board's move counter is still the start-up 0.
        EXPECT_EQ(result.output, startUp() + "> Insert depth: \n> depth must be 1 to 63\n>" +
                                     startBoard() + ">" + End);
        EXPECT_EQ(dir.read(LogName), "");
    }
}

TEST(ConsolePerft, NoLegalMoveGivesZeroRates) {
    ScopedTempDir dir;
    SessionResult result = runSession("F\n" + MatedFen + "\nP\n1\n");
    const std::string board = expectedBoard(MatedPlacement, "00", "0");
    EXPECT_EQ(maskTimes(result.output), startUp() + ">\nInsert FEN string: " + board + "\n>" +
                                            " Insert depth: " + dots(3) +
                                            perftStats(1, 0, 1, 0) + ">" + End);
    // With no legal move made, m/s and tt are 0 rather than a division.
    EXPECT_NE(result.output.find(" mosse=0 m/s=0 tt=0%\n time=0\n"), std::string::npos);
}

TEST(ConsolePerft, DepthZeroRunsThink) {
    ScopedTempDir dir;
    SessionResult result = runSession("F\n" + MatedFen + "\nP\n0\n");
    const std::string board = expectedBoard(MatedPlacement, "00", "0");
    const std::string &out = result.output;
    EXPECT_EQ(result.status, 0);
    // Think: the time-control block, then the search's own set-up board.
    EXPECT_EQ(out.find(startUp() + ">\nInsert FEN string: " + board + "\n> Insert depth: " +
                       timeControl(0, 0) + board + "\n"),
              0u)
        << out;
    EXPECT_NE(out.find("\n\n30: ms="), std::string::npos);
    EXPECT_EQ(out.find("perft="), std::string::npos);
}

// ---------------------------------------------------------------------------
// M and G: the time control

TEST(ConsoleTimeControl, ThinkShowsTheTimeSetByMAndG) {
    struct Case {
        const char *setting;
        long game, move;
    };
    const Case cases[] = {
        {"M\n5\n", 0, 5000},
        {"M\nabc\n", 0, 0},
        {"M\n-1\n", 0, -1000},                // printed as a signed 32-bit value
        {"M\n3000000\n", 0, -1294967296},     // 3e9 ms does not fit a signed 32-bit
        {"G\n60\n", 60000, 3000},             // a twentieth of the game clock
        {"G\n1\n", 1000, 50},
        {"G\nabc\n", 0, 0},
        {"G\n60\nM\n5\n", 0, 5000},           // M clears the game clock
        {"M\n5\nG\n60\n", 60000, 3000},       // G: the budget comes from the clock
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.setting);
        ScopedTempDir dir;
        SessionResult result = runSession("F\n" + MatedFen + "\n" + c.setting + "T\n");
        EXPECT_EQ(result.status, 0);
        std::string block = timeControl(c.game, c.move);
        block.insert(0, 1, '>');
        block += expectedBoard(MatedPlacement, "00", "0") + "\n";
        EXPECT_NE(result.output.find(block), std::string::npos)
            << result.output;
        // The run's elapsed time comes off the game clock, which never drops
        // below 1000 ms; without a game clock the line says time=0.
        long time = timeField(result.output);
        long low = c.game == 0 ? 0 : std::max(1000L, c.game - 1000);
        long high = c.game == 0 ? 0 : std::max(1000L, c.game - 1);
        EXPECT_GE(time, low);
        EXPECT_LE(time, high);
    }
}

TEST(ConsoleTimeControl, EachSettingClearsTheOther) {
    {
        ScopedTempDir dir;
        runSession("M\n5\nG\n60\n");
        EXPECT_EQ(brevola::gameTimeMs, 60000u);
        EXPECT_EQ(brevola::moveTimeMs, 0u);
    }
    {
        ScopedTempDir dir;
        runSession("G\n60\nM\n5\n");
        EXPECT_EQ(brevola::gameTimeMs, 0u);
        EXPECT_EQ(brevola::moveTimeMs, 5000u);
    }
}

TEST(ConsoleTimeControl, GameClockIsChargedAndCarriedToTheNextThink) {
    ScopedTempDir dir;
    SessionResult result = runSession("F\n" + MatedFen + "\nG\n60\nT\nT\n");
    const std::string &out = result.output;
    long first = timeField(out, 0), second = timeField(out, 1);
    EXPECT_GE(first, 59000);
    EXPECT_LT(first, 60000);
    EXPECT_NE(out.find(timeControl(60000, 3000)), std::string::npos);
    // The second Think gets a twentieth of what the first one left.
    EXPECT_NE(out.find(timeControl(first, first / 20)), std::string::npos) << out;
    EXPECT_LT(second, first);
    EXPECT_GE(second, 58000);
}

TEST(ConsoleTimeControl, PerftAlsoChargesTheGameClock) {
    struct Case {
        const char *seconds;
        long low, high;
    };
    const Case cases[] = {
        {"60", 59000, 59999},
        {"1", 1000, 1000}, // whatever the run took, at least 1000 ms stay on the clock
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.seconds);
        ScopedTempDir dir;
        SessionResult result = runSession(std::string("G\n") + c.seconds + "\nP\n1\n");
        EXPECT_NE(maskTimes(result.output).find("\n\n1: perft=20 ms=# nodi=1"),
                  std::string::npos);
        long time = timeField(result.output);
        EXPECT_GE(time, c.low);
        EXPECT_LE(time, c.high);
    }
}

// ---------------------------------------------------------------------------
// X and the end of input

TEST(ConsoleExit, OnlyYesEndsTheLoop) {
    struct Case {
        const char *answer;
        bool ends;
    };
    const Case cases[] = {{"n", false}, {"N", false}, {"", false}, {"q", false},
                          {"y", true},  {"Y", true},  {"yes", true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.answer);
        ScopedTempDir dir;
        SessionResult result = runSession(std::string("X\n") + c.answer + "\nS\n");
        EXPECT_EQ(result.status, 0);
        // After a refusal the next prompt stands on the question's line.
        std::string expected = startUp() + ">Do you want to exit? (Y/N)";
        if (!c.ends) expected += Prompt + startBoard() + ">";
        expected += End;
        EXPECT_EQ(result.output, expected);
        EXPECT_EQ(dir.read(LogName), "");
    }
}

TEST(ConsoleExit, EndOfInputEndsTheProgramAtEveryQuestion) {
    struct Case {
        const char *input;
        const char *question;
    };
    const Case cases[] = {
        {"", ""},
        {"P\n", " Insert depth: "},
        {"F\n", "\nInsert FEN string: "},
        {"M\n", " Insert seconds/move: "},
        {"G\n", " Insert seconds/game: "},
        {"X\n", "Do you want to exit? (Y/N)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.input);
        ScopedTempDir dir;
        SessionResult result = runSession(c.input);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.output, startUp() + ">" + c.question + End);
        EXPECT_EQ(dir.read(LogName), "");
    }
}

// ---------------------------------------------------------------------------
// The position log

TEST(ConsolePositionLog, LinesAfterFenPerftAndTypedLinesOnly) {
    ScopedTempDir dir;
    const std::string afterRook = "r3k2r/8/8/8/8/8/R7/4K2R b";
    SessionResult result = runSession("F\n" + CastleFen + "\n"   // 1: previous text
                                      "S\n?\nM\n0\nG\n0\n"        // none
                                      "P\n64\n"                   // refused: none
                                      "P\n1\n"                    // 2
                                      "X\nn\n"                    // none
                                      "a1a2\n"                    // 3: the new position
                                      "F\n\n"                     // 4
                                      "F\nhello\n"                // 5: refused FEN
                                      "\n"                        // 6: empty line
                                      "zz\n");                    // 7: no match
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.output.find("\n> FEN: " + afterRook + "\n"), std::string::npos);
    EXPECT_EQ(dir.read(LogName), logLine(1, StartFen) + logLine(2, StartFen) +
                                     logLine(3, afterRook) + logLine(4, afterRook) +
                                     logLine(5, afterRook) + logLine(6, afterRook) +
                                     logLine(7, afterRook));
}

TEST(ConsolePositionLog, EarlierLinesStayAndEachRunCountsFromOne) {
    ScopedTempDir dir;
    runSession("P\n1\n");
    runSession("e2e4\n");
    EXPECT_EQ(dir.read(LogName),
              logLine(1, StartFen) +
                  logLine(1, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b"));
}

TEST(ConsolePositionLog, LogThatCannotBeOpenedIsSkippedSilently) {
    const std::string input = "P\n1\nF\n\n\n";
    std::string writable;
    {
        ScopedTempDir dir;
        writable = maskTimes(runSession(input).output);
    }
    ScopedTempDir dir;
    ASSERT_EQ(mkdir(LogName.c_str(), 0755), 0);
    SessionResult result = runSession(input);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(maskTimes(result.output), writable);
    EXPECT_EQ(brevola::fenLogCounter, 3); // three lines were attempted
}

TEST(ConsolePositionLog, CounterAdvancesWhileLogCannotBeOpened) {
    ScopedTempDir dir;
    ASSERT_EQ(mkdir(LogName.c_str(), 0755), 0);
    SteppedInput input;
    input.steps.push_back({nullptr, "P\n1\n"});     // line 1 is dropped
    input.steps.push_back({[] { rmdir(LogName.c_str()); }, "P\n1\n"}); // line 2 lands
    SessionResult result = runSteppedSession(input);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(dir.read(LogName), logLine(2, StartFen));
}

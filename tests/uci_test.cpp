// The UCI front end end to end, in-process: the handshake, positions with
// moves (castling, en passant, under-promotion), go depth against the
// console's search, go movetime, go infinite and stop, isready while
// searching, perft against the console's perft, bestmove 0000, mate scores,
// garbage lines; and on their own the time rule, the go parser and the score.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "engine_fixture.h"
#include "frontend/console_state.h"
#include "frontend/driver.h"
#include "frontend/uci.h"
#include "position/fen_writer.h"
#include "search/perft.h"
#include "search/ply.h"
#include "search/search.h"
#include "uci_session.h"

using namespace brevola;
using namespace brevola::testing;
using namespace std::chrono_literals;

namespace {

const std::string Kiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

// The placement and side letter of the position on the board, as the FEN
// writer gives them ("... w" or "... b").
std::string boardFen() {
    char text[FenBufferSize];
    writeFenText(text, historyToMove->side);
    return text;
}

// The word after `key` in an info line, or "" when there is none.
std::string field(const std::string &line, const std::string &key) {
    std::smatch match;
    if (!std::regex_search(line, match, std::regex(" " + key + " ([^ ]+)"))) return "";
    return match[1].str();
}

// The position a session leaves on the board after `commands` and quit.
std::string positionAfter(const std::vector<std::string> &commands) {
    UciSession session;
    for (const std::string &command : commands) session.send(command);
    session.send("quit");
    EXPECT_EQ(session.finish(), 0);
    return boardFen();
}

// The console's search to `depth` plies from `fen` with ample time: the FEN
// after the move it plays, and the nodes it counted.
struct ConsoleChoice {
    std::string fenAfter;
    uint64_t nodes;
};

ConsoleChoice consoleSearch(const std::string &fen, int32_t depth) {
    static char output[FenBufferSize];
    char *savedOutput = fenOutputText;
    fenOutputText = output;
    loadFen(fen);
    depthLimit = depth;
    moveTimeMs = 600000;
    timedOut = 0;
    clockStart = std::chrono::steady_clock::now();
    runningScore = 0;
    printed(search);
    ConsoleChoice choice{output, nodeCount};
    fenOutputText = savedOutput;
    moveTimeMs = 0;
    return choice;
}

// The console's perft count of `fen` to `depth`.
uint64_t consolePerft(const std::string &fen, int32_t depth) {
    loadFen(fen);
    depthLimit = depth;
    printed(perft);
    return (rootPly + depth - 1)->generatedCount;
}

std::vector<std::string> legalMovesOf(const std::string &fen) {
    loadFen(fen);
    std::vector<std::string> moves;
    printed([&] { moves = legalMoveTexts(); });
    return moves;
}

} // namespace

TEST(Uci, HandshakeAndReady) {
    UciSession session;
    session.send("uci");
    ASSERT_TRUE(session.waitFor("uciok", 10s));
    EXPECT_EQ(session.lines().front(), "id name Brevola");
    EXPECT_EQ(session.linesStartingWith("id author").size(), 1u);
    session.send("isready");
    EXPECT_TRUE(session.waitFor("readyok", 10s));
    session.send("ucinewgame");
    session.send("isready");
    EXPECT_TRUE(session.waitFor("readyok", 10s));
    session.send("quit");
    EXPECT_EQ(session.finish(), 0);
    // Nothing of the console's trace reaches the UCI output.
    for (const std::string &line : session.lines())
        EXPECT_TRUE(line.rfind("id ", 0) == 0 || line == "uciok" || line == "readyok") << line;
}

// Castling is the king's move, en passant names the square the pawn lands
// on, a promotion carries its letter (and e7e8 without one makes a queen).
TEST(Uci, PositionWithMoves) {
    EXPECT_EQ(positionAfter({"position startpos moves e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 e1g1"}),
              "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQ1RK1 b");
    EXPECT_EQ(positionAfter({"position startpos moves d2d4 d7d5 c1f4 b8c6 b1c3 c8f5 d1d2 d8d7 "
                             "e1c1 e8c8"}),
              "2kr1bnr/pppqpppp/2n5/3p1b2/3P1B2/2N5/PPPQPPPP/2KR1BNR w");
    // White takes en passant, then Black does.
    EXPECT_EQ(positionAfter({"position startpos moves e2e4 a7a6 e4e5 d7d5 e5d6"}),
              "rnbqkbnr/1pp1pppp/p2P4/8/8/8/PPPP1PPP/RNBQKBNR b");
    EXPECT_EQ(positionAfter({"position startpos moves a2a3 d7d5 a3a4 d5d4 e2e4 d4e3"}),
              "rnbqkbnr/ppp1pppp/8/8/P7/4p3/1PPP1PPP/RNBQKBNR w");
    // Promotions: each letter, by advance and by capture, for both sides.
    const std::string promoting = "position fen 3r4/4P3/8/8/8/8/k6p/4K3 w - - 0 1 moves ";
    EXPECT_EQ(positionAfter({promoting + "e7e8n"}), "3rN3/8/8/8/8/8/k6p/4K3 b");
    EXPECT_EQ(positionAfter({promoting + "e7d8r"}), "3R4/8/8/8/8/8/k6p/4K3 b");
    EXPECT_EQ(positionAfter({promoting + "e7e8b"}), "3rB3/8/8/8/8/8/k6p/4K3 b");
    EXPECT_EQ(positionAfter({promoting + "e7e8q"}), "3rQ3/8/8/8/8/8/k6p/4K3 b");
    EXPECT_EQ(positionAfter({promoting + "e7e8"}), "3rQ3/8/8/8/8/8/k6p/4K3 b");
    EXPECT_EQ(positionAfter({promoting + "e7e8N h2h1r"}), "3rN3/8/8/8/8/8/k7/4K2r w");
    // GUIs repeat the game's moves with each new one: only the new ones are
    // played, also after a search or a perft; a shorter list (a take-back)
    // starts again.
    EXPECT_EQ(positionAfter({"position startpos moves e2e4", "go depth 4",
                             "position startpos moves e2e4 e7e5 g1f3", "go perft 2",
                             "position startpos moves E2E4 e7e5 g1f3 b8c6", "go movetime 50",
                             "position startpos moves e2e4 e7e5 g1f3 b8c6 f1b5"}),
              "r1bqkbnr/pppp1ppp/2n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R b");
    EXPECT_EQ(positionAfter({"position startpos moves e2e4 e7e5 g1f3",
                             "position startpos moves e2e4 e7e5"}),
              "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w");
    EXPECT_EQ(positionAfter({"position startpos moves e2e4 e7e5",
                             "position startpos moves e2e4 e7e5 x9 g1f3"}),
              "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w");
    // A later position command starts again from its own FEN.
    EXPECT_EQ(positionAfter({promoting + "e7e8n", "position startpos"}),
              "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w");
    // En passant and castling texts in the legal move list.
    std::vector<std::string> moves =
        legalMovesOf("rnbqk2r/ppp2ppp/8/3pP3/8/8/PPPP1PPP/R3K2R w KQkq d6 0 1");
    for (const char *move : {"e5d6", "e1g1", "e1c1", "e5e6"})
        EXPECT_NE(std::find(moves.begin(), moves.end(), move), moves.end()) << move;
}

// An illegal or malformed move ends the line: the moves before it stand.
// Malformed FEN texts leave the position as it was.
TEST(Uci, IllegalMovesAndBadFenAreIgnoredSafely) {
    const std::string afterE4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b";
    for (const char *rest : {"e7e6x", "e2e4", "e7e5e", "zz", "e1g1", "a7a8q", "e7", ""}) {
        SCOPED_TRACE(rest);
        EXPECT_EQ(positionAfter({"position startpos moves e2e4 " + std::string(rest) + " d7d5"}),
                  std::string(rest).empty() ? "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w"
                                            : afterE4);
    }
    const std::string kiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w";
    for (const char *fen : {"8/8/8/8/8/8/8/8 w - - 0 1",                         // no king
                            "4k3/8/8/8/8/8/8/4K2K w - - 0 1",                    // two kings
                            "4k3/8/8/8/8/8/8 w - - 0 1",                         // seven ranks
                            "4k3/8/8/8/8/8/8/4K4 w - - 0 1",                     // nine files
                            "4k3/8/8/8/8/8/8/4K3 x - - 0 1",                     // side
                            "4k2P/8/8/8/8/8/8/4K3 w - - 0 1",                    // pawn on rank 8
                            "4k3/8/8/8/8/8/8/4KX2 w - - 0 1",                    // letter
                            "4k3/8/8/8/8/8/8/R3K3 b - - 0 1 moves e8e7",         // not bad
                            "4k3/4R3/8/8/8/8/8/4K3 w - - 0 1",                   // king en prise
                            "QQQQQQQQ/QQQQQQQQ/QQk5/8/8/8/8/4K3 w - - 0 1",      // 17 pieces
                            ""}) {
        SCOPED_TRACE(fen);
        std::string after = positionAfter({"position fen " + Kiwipete, "position fen " + std::string(fen)});
        if (std::string(fen).find("moves e8e7") != std::string::npos)
            EXPECT_EQ(after, "8/4k3/8/8/8/8/8/R3K3 w");
        else
            EXPECT_EQ(after, kiwipete);
    }
    // Castling rights without the king and rook at home, and an en passant
    // square on the wrong rank, are dropped: no castling, no capture.
    UciSession session;
    session.send("position fen 4k3/8/8/8/8/8/8/4K2R w KQkq - 0 1");
    session.send("go perft 1");
    session.send("position fen 4k3/8/8/3pP3/8/8/8/4K3 b - e4 0 1");
    session.send("go perft 1");
    ASSERT_TRUE(session.waitFor("Nodes searched", 10s));
    ASSERT_TRUE(session.waitFor("Nodes searched", 10s));
    session.send("quit");
    session.finish();
    EXPECT_EQ(session.linesStartingWith("e1g1").size(), 1u);
    EXPECT_EQ(session.linesStartingWith("e1c1").size(), 0u);
    EXPECT_EQ(session.linesStartingWith("d5e4").size(), 0u);
    EXPECT_EQ(session.linesStartingWith("d5d4").size(), 1u);
}

// Garbage does not stop the session: every line below is ignored (or, with
// an unknown word in front of a command, the command is read).
TEST(Uci, GarbageLinesAreIgnored) {
    UciSession session;
    for (const char *line :
         {"", "   ", "\t", "hello world", "position", "position fen", "position sideways",
          "position fen x moves", "position startpos moves", "go perft", "go perft x",
          "go perft 0", "go perft 99", "setoption name Hash value 64",
          "register later", "ponderhit", "debug", "stop", "\x01\x02\xff", "position startpos\r",
          "moves e2e4", "GO", "Uci"})
        session.send(line);
    session.send(std::string(100000, 'x'));
    session.send("position startpos moves " + std::string(5000, 'e'));
    session.send("junk isready");
    EXPECT_TRUE(session.waitFor("readyok", 20s));
    session.send("go perft 1");
    EXPECT_EQ(session.waitFor("Nodes searched", 20s), "Nodes searched: 20");
    session.send("quit");
    EXPECT_EQ(session.finish(), 0);
    EXPECT_TRUE(session.linesStartingWith("bestmove").empty());
    EXPECT_TRUE(session.linesStartingWith("id ").empty());
}

// "go perft N" prints each legal root move with its count and the total,
// which equals the console's perft; the position is the same afterwards.
TEST(Uci, PerftEqualsTheConsolesPerft) {
    struct Case {
        std::string position, fen;
        int depth;
    };
    const Case cases[] = {
        {"startpos", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 4},
        {"fen " + Kiwipete, Kiwipete, 3},
        {"fen 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 4},
        {"fen 2K2r2/4P3/8/8/8/8/8/3k4 w - - 0 1", "2K2r2/4P3/8/8/8/8/8/3k4 w - - 0 1", 4},
        {"fen 8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1", "8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1", 4},
        {"startpos moves e2e4 d7d5 e4e5 f7f5", "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 1", 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.position);
        UciSession session;
        session.send("position " + c.position);
        session.send("go perft " + std::to_string(c.depth));
        session.send("go perft 1");
        std::optional<std::string> total = session.waitFor("Nodes searched: ", 120s);
        ASSERT_TRUE(total);
        std::optional<std::string> again = session.waitFor("Nodes searched: ", 60s);
        session.send("quit");
        session.finish();
        // Per-move lines "e2e4: 13160" add up to the total.
        uint64_t sum = 0;
        std::size_t perMove = 0;
        std::regex moveLine(R"(([a-h][1-8][a-h][1-8][qrbn]?): ([0-9]+))");
        std::smatch match;
        for (const std::string &line : session.lines()) {
            if (line.rfind("Nodes", 0) == 0) break;
            if (line.empty()) continue;
            ASSERT_TRUE(std::regex_match(line, match, moveLine)) << line;
            sum += std::stoull(match[2].str());
            ++perMove;
        }
        EXPECT_EQ(*total, "Nodes searched: " + std::to_string(sum));
        uint64_t console = consolePerft(c.fen, c.depth);
        EXPECT_EQ(sum, console);
        EXPECT_EQ(perMove, legalMovesOf(c.fen).size());
        // The second perft ran on the same position.
        EXPECT_EQ(again, "Nodes searched: " + std::to_string(legalMovesOf(c.fen).size()));
    }
    UciSession session;
    session.send("position startpos");
    session.send("go perft 4");
    ASSERT_TRUE(session.waitFor("Nodes searched", 60s));
    std::vector<std::string> e2e4 = session.linesStartingWith("e2e4: ");
    ASSERT_EQ(e2e4.size(), 1u);
    EXPECT_EQ(e2e4[0], "e2e4: 13160");
    session.send("quit");
    session.finish();
}

// "go depth 2k" answers with the move that the console's search plays after
// its k-th iteration, having counted the same nodes; an odd depth is rounded
// up. One info line per iteration, depths 2, 4, ..., 2k.
TEST(Uci, GoDepthPlaysTheConsolesMove) {
    const std::vector<std::string> fens = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
        Kiwipete,
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
        "4r1k1/8/8/8/8/8/4R3/4K3 w - - 0 1",
        "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R b KQ - 0 8",
        "2K2r2/4P3/8/8/8/8/8/3k4 w - - 0 1",
        "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 1",
    };
    for (const std::string &fen : fens) {
        for (int depth : {1, 2, 3, 4, 6}) {
            SCOPED_TRACE(fen + " depth " + std::to_string(depth));
            int even = depth + (depth & 1);
            ConsoleChoice console = consoleSearch(fen, even);
            std::vector<std::string> legal = legalMovesOf(fen);
            UciSession session;
            session.send("position fen " + fen);
            session.send("go depth " + std::to_string(depth));
            std::optional<std::string> best = session.waitFor("bestmove ", 120s);
            ASSERT_TRUE(best);
            std::string move = best->substr(9);
            EXPECT_NE(std::find(legal.begin(), legal.end(), move), legal.end()) << move;
            std::vector<std::string> infos = session.linesStartingWith("info depth ");
            ASSERT_EQ(infos.size(), static_cast<std::size_t>(even / 2));
            for (std::size_t i = 0; i < infos.size(); ++i) {
                EXPECT_EQ(field(infos[i], "depth"), std::to_string(2 * i + 2));
                EXPECT_FALSE(field(infos[i], "score").empty());
                EXPECT_FALSE(field(infos[i], "nps").empty());
                EXPECT_FALSE(field(infos[i], "time").empty());
            }
            EXPECT_EQ(field(infos.back(), "pv"), move);
            EXPECT_EQ(field(infos.back(), "nodes"), std::to_string(console.nodes));
            session.send("position fen " + fen + " moves " + move);
            session.send("quit");
            session.finish();
            EXPECT_EQ(boardFen(), console.fenAfter);
        }
    }
}

// Mates: the side to move mates in one ("mate 1" from the first iteration
// on), is mated in one ("mate -1", first seen at 4 plies), has no legal move
// (bestmove 0000, "mate 0" when mated, "cp 0" when stalemated).
TEST(Uci, MateScoresAndNoLegalMove) {
    {
        UciSession session;
        session.send("position fen 7k/8/6K1/8/8/8/8/R7 w - - 0 1");
        session.send("go depth 4");
        EXPECT_EQ(session.waitFor("bestmove", 60s), "bestmove a1a8");
        std::vector<std::string> infos = session.linesStartingWith("info depth");
        ASSERT_EQ(infos.size(), 2u);
        EXPECT_NE(infos[0].find(" score mate 1 "), std::string::npos) << infos[0];
        EXPECT_NE(infos[1].find(" score mate 1 "), std::string::npos) << infos[1];
    }
    {
        UciSession session;
        session.send("position fen 7k/8/6K1/8/8/8/8/R7 b - - 0 1");
        session.send("go depth 6");
        EXPECT_EQ(session.waitFor("bestmove", 60s), "bestmove h8g8");
        std::vector<std::string> infos = session.linesStartingWith("info depth");
        ASSERT_EQ(infos.size(), 3u);
        EXPECT_NE(infos[0].find(" score cp "), std::string::npos) << infos[0];
        EXPECT_NE(infos[1].find(" score mate -1 "), std::string::npos) << infos[1];
        EXPECT_NE(infos[2].find(" score mate -1 "), std::string::npos) << infos[2];
    }
    for (const char *command : {"go depth 4", "go wtime 1000 btime 1000", "go movetime 100"}) {
        SCOPED_TRACE(command);
        UciSession session;
        session.send("position fen R6k/8/6K1/8/8/8/8/8 b - - 0 1");
        session.send(command);
        EXPECT_EQ(session.waitFor("bestmove", 30s), "bestmove 0000");
        EXPECT_EQ(session.linesStartingWith("info"),
                  std::vector<std::string>{"info depth 0 score mate 0"});
        session.send("position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
        session.send(command);
        EXPECT_EQ(session.waitFor("bestmove", 30s), "bestmove 0000");
        EXPECT_EQ(session.linesStartingWith("info").back(), "info depth 0 score cp 0");
        session.send("quit");
        session.finish();
        EXPECT_EQ(session.linesStartingWith("bestmove").size(), 2u);
    }
}

// "go movetime": a legal best move after the time, one info line per
// completed iteration, exactly one bestmove.
TEST(Uci, GoMovetime) {
    UciSession session;
    session.send("position startpos moves e2e4 e7e5");
    auto start = std::chrono::steady_clock::now();
    session.send("go movetime 300");
    std::optional<std::string> best = session.waitFor("bestmove ", 30s);
    auto took = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(best);
    EXPECT_GE(took, 200ms); // it does use its time (the stop comes at movetime - 50 ms)
    std::vector<std::string> legal = legalMovesOf(
        "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 1");
    EXPECT_NE(std::find(legal.begin(), legal.end(), best->substr(9)), legal.end()) << *best;
    EXPECT_GE(session.linesStartingWith("info depth").size(), 2u);
    session.send("isready");
    EXPECT_TRUE(session.waitFor("readyok", 10s));
    session.send("quit");
    session.finish();
    EXPECT_EQ(session.linesStartingWith("bestmove").size(), 1u);
}

// "go infinite" searches until "stop", answering "isready" meanwhile; the
// best move follows the stop at once. Stopped right away, it still answers
// once. In a position it finishes quickly (a mate in one), the best move
// still waits for the stop. "quit" during a search ends the session.
TEST(Uci, GoInfiniteThenStop) {
    {
        UciSession session;
        session.send("position fen " + Kiwipete);
        session.send("go infinite");
        ASSERT_TRUE(session.waitFor("info depth 4", 30s));
        session.send("isready");
        ASSERT_TRUE(session.waitFor("readyok", 5s));
        EXPECT_TRUE(session.linesStartingWith("bestmove").empty());
        std::this_thread::sleep_for(300ms);
        auto stopAt = std::chrono::steady_clock::now();
        session.send("stop");
        std::optional<std::string> best = session.waitFor("bestmove ", 30s);
        ASSERT_TRUE(best);
        // Generous: the stop request is read every 65,536 nodes (some 30 ms
        // here, longer in a sanitizer build).
        EXPECT_LT(std::chrono::steady_clock::now() - stopAt, 5s);
        std::vector<std::string> legal = legalMovesOf(Kiwipete);
        EXPECT_NE(std::find(legal.begin(), legal.end(), best->substr(9)), legal.end()) << *best;
        EXPECT_EQ(field(session.linesStartingWith("info depth").back(), "pv"), best->substr(9));
        session.send("stop");
        session.send("isready");
        ASSERT_TRUE(session.waitFor("readyok", 5s));
        session.send("quit");
        session.finish();
        EXPECT_EQ(session.linesStartingWith("bestmove").size(), 1u);
    }
    {
        UciSession session;
        session.send("position startpos");
        session.send("go infinite");
        session.send("stop");
        std::optional<std::string> best = session.waitFor("bestmove ", 30s);
        ASSERT_TRUE(best);
        std::vector<std::string> legal = legalMovesOf(StartFen);
        EXPECT_NE(std::find(legal.begin(), legal.end(), best->substr(9)), legal.end()) << *best;
        session.send("go infinite");
        session.send("quit");
        EXPECT_EQ(session.finish(), 0);
        EXPECT_EQ(session.linesStartingWith("bestmove").size(), 2u);
    }
    {
        UciSession session;
        session.send("position fen 7k/8/6K1/8/8/8/8/R7 w - - 0 1");
        session.send("go infinite");
        ASSERT_TRUE(session.waitFor("info depth 30", 30s));
        std::this_thread::sleep_for(200ms);
        session.send("isready");
        ASSERT_TRUE(session.waitFor("readyok", 5s));
        EXPECT_TRUE(session.linesStartingWith("bestmove").empty());
        session.send("stop");
        EXPECT_EQ(session.waitFor("bestmove", 10s), "bestmove a1a8");
        session.send("quit");
        session.finish();
    }
    {
        // The end of input during a search ends it too, with its answer.
        UciSession session;
        session.send("go infinite");
        EXPECT_EQ(session.finish(), 0);
        EXPECT_EQ(session.linesStartingWith("bestmove").size(), 1u);
    }
}

// A clock game: a few moves at 10 s + 0.1 s, each answered well inside the
// time the rule allows.
TEST(Uci, GoWithClockAnswersInTime) {
    UciSession session;
    std::string moves;
    for (int ply = 0; ply < 6; ++ply) {
        session.send("position startpos" + (moves.empty() ? "" : " moves" + moves));
        session.send("go wtime 9000 btime 9000 winc 100 binc 100");
        std::optional<std::string> best = session.waitFor("bestmove ", 30s);
        ASSERT_TRUE(best);
        ASSERT_NE(*best, "bestmove 0000");
        moves.push_back(' ');
        moves.append(best->substr(9));
    }
    session.send("quit");
    session.finish();
    EXPECT_EQ(session.linesStartingWith("bestmove").size(), 6u);
}

// The time rule's arithmetic (see planTime): a table.
TEST(UciTimeRule, Table) {
    struct Row {
        const char *go;
        bool white;
        int32_t hard;
        int32_t soft;
    };
    const Row rows[] = {
        // 10 s + 0.1 s: reserve 100 + 500, usable 9400, 9400 / 30 + 100 = 413.
        {"wtime 10000 btime 10000 winc 100 binc 100", true, 413, 12},
        {"wtime 10000 btime 2000 winc 100 binc 100", false, 160, 5},
        // 2000 ms: reserve 200, usable 1800, 60 + 100.
        {"wtime 2000 btime 2000 winc 100 binc 100", true, 160, 5},
        // Little left: the budget never exceeds what is usable.
        {"wtime 200 btime 200 winc 100 binc 100", true, 90, 2},
        {"wtime 150 btime 150 winc 1000 binc 1000", true, 43, 1},
        {"wtime 100 btime 100 winc 1000 binc 1000", true, 1, 1},
        {"wtime 40 btime 40", true, 1, 1},
        {"wtime 0 btime 0", true, 1, 1},
        {"wtime -500 btime -500 winc 100", true, 1, 1},
        // No increment, sudden death: a thirtieth of the usable time.
        {"wtime 60000 btime 60000", true, 1896, 59},
        // Moves to go: the usable time over them (at most 30).
        {"wtime 60000 btime 60000 movestogo 10", true, 5690, 177},
        {"wtime 60000 btime 60000 movestogo 1", true, 56900, 1778},
        {"wtime 60000 btime 60000 movestogo 100", true, 1896, 59},
        // Fixed time per move.
        {"movetime 1000", true, 950, 950},
        {"movetime 10", false, 1, 1},
        {"movetime 1000 wtime 5 btime 5", true, 950, 950},
        // No clock for the side to move: no limit.
        {"depth 6", true, NoLimit, NoLimit},
        {"infinite", true, NoLimit, NoLimit},
        {"wtime 1000", false, NoLimit, NoLimit},
        {"", true, NoLimit, NoLimit},
        {"wtime 1000 btime 1000 infinite", true, NoLimit, NoLimit},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.go);
        TimePlan plan = planTime(parseGo(row.go), row.white);
        EXPECT_EQ(plan.hardMs, row.hard);
        EXPECT_EQ(plan.softMs, row.soft);
    }
    // Whatever the clock, the stop comes before the clock runs out, with at
    // least ClockReserveMs (the lag of the stop request and the GUI's own)
    // to spare.
    for (int64_t time : {60, 100, 500, 1000, 3000, 10000, 60000, 600000})
        for (int64_t increment : {0, 100, 1000, 5000})
            for (int64_t togo : {0, 1, 2, 40}) {
                GoParameters go;
                go.wtime = time;
                go.winc = increment;
                go.movestogo = togo;
                TimePlan plan = planTime(go, true);
                EXPECT_LE(plan.hardMs + ClockReserveMs, std::max<int64_t>(time, ClockReserveMs + 1))
                    << time << " " << increment << " " << togo;
                EXPECT_LE(plan.softMs, plan.hardMs);
                EXPECT_GE(plan.softMs, 1);
            }
}

TEST(UciGo, ParsesItsWords) {
    GoParameters go = parseGo("wtime 1 btime 2 winc 3 binc 4 movestogo 5 movetime 6 depth 7 infinite");
    EXPECT_EQ(go.wtime, 1);
    EXPECT_EQ(go.btime, 2);
    EXPECT_EQ(go.winc, 3);
    EXPECT_EQ(go.binc, 4);
    EXPECT_EQ(go.movestogo, 5);
    EXPECT_EQ(go.movetime, 6);
    EXPECT_EQ(go.depth, 7);
    EXPECT_TRUE(go.infinite);
    EXPECT_EQ(go.perft, 0);
    GoParameters bad = parseGo("wtime x btime 5y depth perft 3 ponder");
    EXPECT_EQ(bad.wtime, NotGiven);
    EXPECT_EQ(bad.btime, NotGiven);
    EXPECT_EQ(bad.depth, 0);
    EXPECT_EQ(bad.perft, 3);
    EXPECT_TRUE(bad.perftAsked);
    EXPECT_TRUE(parseGo("perft x").perftAsked);
    EXPECT_FALSE(go.perftAsked);
    EXPECT_FALSE(bad.infinite);
    EXPECT_EQ(parseGo("wtime -20").wtime, -20);
}

TEST(UciGo, DepthRoundsUpToEvenWithinTheConsolesLimit) {
    const std::pair<int64_t, int32_t> cases[] = {{0, 30}, {-3, 30}, {1, 2},   {2, 2},  {3, 4},
                                                 {4, 4},  {29, 30}, {30, 30}, {31, 30}, {1000, 30}};
    for (auto [depth, plies] : cases) EXPECT_EQ(searchDepthFor(depth), plies) << depth;
}

// 256 units of 65536 are a pawn, 100 centipawns; mates by the iteration that
// first saw them.
TEST(UciScore, CentipawnsAndMates) {
    EXPECT_EQ(scoreText(0, 0), "cp 0");
    EXPECT_EQ(scoreText(256 * 65536, 0), "cp 100");
    EXPECT_EQ(scoreText(-256 * 65536, 0), "cp -100");
    EXPECT_EQ(scoreText(85 * 65536, 0), "cp 33");
    EXPECT_EQ(scoreText(-38 * 65536, 0), "cp -14");
    EXPECT_EQ(scoreText(0x0A000000, 0), "cp 1000"); // a queen
    EXPECT_EQ(scoreText(MateValue, 2), "mate 1");
    EXPECT_EQ(scoreText(MateValue, 6), "mate 3");
    EXPECT_EQ(scoreText(-MateValue, 4), "mate -1");
    EXPECT_EQ(scoreText(-MateValue, 8), "mate -3");
    EXPECT_EQ(scoreText(-MateValue - 1, 4), "mate -1");
    EXPECT_TRUE(isMateValue(MateValue - 1));
    EXPECT_FALSE(isMateValue(0x28000000)); // more than all material of a side
}

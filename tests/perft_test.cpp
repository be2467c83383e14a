// Perft: the counts of the reference positions, the per-ply counters of a
// run, mated and stalemated roots, and a walk of our own over the same
// generator and make/unmake that checks the board's consistency at every node.
#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "diag/check.h"
#include "engine_fixture.h"
#include "frontend/console_state.h"
#include "movegen/attack.h"
#include "movegen/generate.h"
#include "position/board.h"
#include "position/make_move.h"
#include "search/perft.h"
#include "search/ply.h"

using namespace brevola;
using namespace brevola::testing;

namespace {

// Runs perft on the loaded position to `depth` and returns what it printed.
std::string runPerft(int32_t depth) {
    int32_t savedDepth = depthLimit;
    depthLimit = depth;
    std::string dots = printed(perft);
    depthLimit = savedDepth;
    return dots;
}

std::size_t rootListLength() { return static_cast<std::size_t>(listEnd(rootPly) - rootPly->listStart); }

struct PerftCase {
    int line;
    std::string fen;
    int depth;
    uint64_t count;
};

// Shown in test listings and failure messages.
void PrintTo(const PerftCase &c, std::ostream *out) {
    *out << c.fen << " depth " << c.depth << " count " << c.count;
}

struct PerftData {
    std::vector<PerftCase> cases;
    std::vector<int> badLines;
};

// "FEN;depth;count" per line; lines starting with '#' and blank lines are comments.
PerftData readPerftData() {
    PerftData data;
    std::ifstream file(std::string(BREVOLA_TEST_DATA) + "/perft-positions.txt");
    std::string text;
    for (int line = 1; std::getline(file, text); ++line) {
        if (text.empty() || text[0] == '#') continue;
        std::istringstream fields(text);
        PerftCase c{line, "", 0, 0};
        std::string depth, count;
        if (std::getline(fields, c.fen, ';') && std::getline(fields, depth, ';') &&
            std::getline(fields, count) && !c.fen.empty()) {
            c.depth = std::stoi(depth);
            c.count = std::stoull(count);
        }
        if (c.depth >= 1 && c.depth <= 63) {
            data.cases.push_back(c);
        } else {
            data.badLines.push_back(line);
        }
    }
    return data;
}

const PerftData &perftData() {
    static const PerftData data = readPerftData();
    return data;
}

} // namespace

TEST(PerftData, EveryLineIsReadable) {
    EXPECT_FALSE(perftData().cases.empty());
    EXPECT_TRUE(perftData().badLines.empty());
}

class PerftReference : public ::testing::TestWithParam<PerftCase> {};

// The count of the last ply is the position count at the listed depth; the
// other counters follow from the per-ply counts; perft prints one dot per
// generated root move and hands the position back untouched.
TEST_P(PerftReference, CountsThePositionAtItsDepth) {
    const PerftCase &c = GetParam();
    loadFenSilently(c.fen);
    if (HasFatalFailure()) return;
    PositionState before = positionState();

    std::string dots = runPerft(c.depth);

    EXPECT_EQ(rootPly[c.depth - 1].generatedCount, c.count);
    uint64_t positions = 0, expanded = 1;
    for (int i = 0; i < c.depth; ++i) {
        positions += rootPly[i].generatedCount;
        if (i < c.depth - 1) expanded += rootPly[i].generatedCount;
    }
    EXPECT_EQ(legalMoveCount, positions);
    EXPECT_EQ(nodeCount, expanded);
    EXPECT_EQ(dots, std::string(rootListLength(), '.'));
    EXPECT_TRUE(positionState() == before);
    EXPECT_EQ(checkBoard(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Perft, PerftReference, ::testing::ValuesIn(perftData().cases),
                         [](const ::testing::TestParamInfo<PerftCase> &param) {
                             return "line" + std::to_string(param.param.line) + "_depth" +
                                    std::to_string(param.param.depth);
                         });

TEST(Perft, StartPositionCountersPerPly) {
    struct Case {
        int32_t depth;
        std::vector<uint64_t> generated; // plies 0, 1, ...
        uint64_t legalMoves;
        uint64_t nodes;
    };
    const Case cases[] = {
        {1, {20}, 20, 1},
        {3, {20, 400, 8902}, 9322, 421},
        {0, {20}, 20, 1},  // a depth below 1 runs as depth 1
        {-7, {20}, 20, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE("depth " + std::to_string(c.depth));
        loadFenSilently(StartFen);
        PositionState before = positionState();
        EXPECT_EQ(runPerft(c.depth), std::string(20, '.'));
        for (std::size_t i = 0; i < c.generated.size(); ++i)
            EXPECT_EQ(rootPly[i].generatedCount, c.generated[i]) << "ply " << i;
        EXPECT_EQ(rootPly[c.generated.size()].generatedCount, 0u);
        EXPECT_EQ(legalMoveCount, c.legalMoves);
        EXPECT_EQ(nodeCount, c.nodes);
        EXPECT_EQ(rootPly->legalCount, 20u);
        EXPECT_EQ(rootListLength(), 20u);
        EXPECT_EQ(runningScore, 0);
        EXPECT_TRUE(positionState() == before);
    }
}

// Every generated root move is made, so each prints its dot; the illegal
// ones are then taken off the count.
TEST(Perft, IllegalRootMovesPrintDotsButDoNotCount) {
    struct Case {
        const char *label;
        const char *fen;
        int32_t depth;
        int dots;          // generated root moves, counted by hand
        uint64_t legal;    // legal root moves
    };
    const Case cases[] = {
        // King e8, rook a8 checks along the rank, king e6 guards the seventh:
        // d8, f8, d7, e7, f7 are all generated and all illegal.
        {"checkmated", "R3k3/8/4K3/8/8/8/8/8 b - - 0 1", 1, 5, 0},
        {"checkmated", "R3k3/8/4K3/8/8/8/8/8 b - - 0 1", 3, 5, 0},
        // King h8 not in check; g8, g7, h7 are all covered.
        {"stalemated", "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 1, 3, 0},
        {"stalemated", "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 4, 3, 0},
        // Bishop e2 pinned by the rook on e7: its nine moves are illegal,
        // the king's four (d1, d2, f1, f2) are not.
        {"pinned bishop", "4k3/4r3/8/8/8/8/4B3/4K3 w - - 0 1", 1, 13, 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.label) + " depth " + std::to_string(c.depth));
        loadFenSilently(c.fen);
        PositionState before = positionState();
        EXPECT_EQ(runPerft(c.depth), std::string(static_cast<std::size_t>(c.dots), '.'));
        EXPECT_EQ(rootPly->generatedCount, c.legal);
        EXPECT_EQ(legalMoveCount, c.legal);
        EXPECT_EQ(nodeCount, 1u);
        EXPECT_TRUE(positionState() == before);
    }
}

namespace {

// A perft of our own: recursion in place of perft's ply walk, with the
// board's consistency checked after set-up of every node and after every
// make and unmake, whether the move proves legal or not, and the cheap
// legality test compared with the full attack scan after every make.
uint64_t checkedWalk(Ply *ply, int depth, bool &broken) {
    auto consistent = [&](const char *when) {
        const char *problem = checkBoard();
        if (problem && !broken) ADD_FAILURE() << when << " at ply " << ply->plyIndex << ": " << problem;
        if (problem) broken = true;
        return !broken;
    };
    if (!consistent("node")) return 0;
    generateMoves(ply);
    uint64_t leaves = 0;
    for (Move *m = ply->listStart; m < listEnd(ply); ++m) {
        int32_t score = makeMove(m, ply, ply->entryScore);
        if (!consistent("after make")) return 0;
        bool attacked = isInCheck(ply);
        if (leftKingAttacked(ply) != attacked && !broken) {
            ADD_FAILURE() << "the cheap legality test disagrees at ply " << ply->plyIndex;
            broken = true;
        }
        if (!attacked) {
            if (depth > 1) {
                (ply + 1)->entryScore = wrapNeg(score);
                leaves += checkedWalk(ply + 1, depth - 1, broken);
            } else {
                ++leaves;
            }
        }
        unmakeMove(ply, m);
        if (!consistent("after unmake")) return 0;
    }
    return leaves;
}

} // namespace

TEST(Perft, BoardStaysConsistentAtEveryNode) {
    struct Case {
        const char *fen;
        int depth;
        uint64_t count; // published perft counts
    };
    const Case cases[] = {
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3, 97862},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 3, 2812},
        {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, 9467},
        {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 2, 1486},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fen);
        loadFenSilently(c.fen);
        PositionState before = positionState();
        bool broken = false;
        EXPECT_EQ(checkedWalk(rootPly, c.depth, broken), c.count);
        EXPECT_TRUE(positionState() == before);
    }
}

// Texts in which the FEN fuzz target (tests/fuzz) found a fault, walked two
// plies deep with the board checked at every node, after every make and
// after every unmake.
TEST(Perft, FuzzFoundTextsKeepTheBoardConsistent) {
    const char *texts[] = {
        // The black king on e8 stands in check with White to move, and Black
        // keeps its castling rights: after Bb5xe8 the taken king used to
        // "castle" with the bishop standing on its square.
        "r3k2r//nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    };
    for (const char *text : texts) {
        SCOPED_TRACE(text);
        loadFen(text);
        PositionState before = positionState();
        bool broken = false;
        checkedWalk(rootPly, 2, broken);
        EXPECT_FALSE(broken);
        EXPECT_TRUE(positionState() == before);
    }
}

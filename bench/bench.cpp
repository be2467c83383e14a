// Hand-run benchmark: perft from the start position to depth 6, perft from
// "Kiwipete" to depth 5, and a Think from the start position with no time set
// (it stops at the first clock check, after 1,048,576 nodes). Prints moves
// made per second for perft and nodes per second for the Think, best of N
// runs (N = first argument, default 3).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "diag/output.h"
#include "frontend/console_state.h"
#include "frontend/driver.h"
#include "position/setup.h"
#include "search/perft.h"
#include "search/ply.h"
#include "search/search.h"

using namespace brevola;

namespace {

char fenIn[FenBufferSize];
char fenOut[FenBufferSize];

void loadPosition(const char *fen) {
    std::strcpy(fenIn, fen);
    fenInputText = fenIn;
    setUpPosition();
    fenIn[0] = '\0';
}

double seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void benchPerft(const char *name, const char *fen, int depth, int runs) {
    double best = 1e30;
    uint64_t moves = 0, count = 0;
    for (int i = 0; i < runs; ++i) {
        loadPosition(fen);
        depthLimit = depth;
        auto start = std::chrono::steady_clock::now();
        perft();
        double s = seconds(start);
        if (s < best) best = s;
        moves = legalMoveCount;
        count = (rootPly + depth - 1)->generatedCount;
    }
    std::printf("%-28s perft=%llu  %.3f s  %.1f M moves/s\n", name,
                static_cast<unsigned long long>(count), best, moves / best / 1e6);
}

void benchThink(int runs) {
    double best = 1e30;
    uint64_t nodes = 0, moves = 0;
    for (int i = 0; i < runs; ++i) {
        loadPosition("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
        moveTimeMs = 0;
        gameTimeMs = 0;
        timedOut = 0;
        depthLimit = 30;
        clockStart = std::chrono::steady_clock::now();
        auto start = clockStart;
        search();
        double s = seconds(start);
        if (s < best) best = s;
        nodes = nodeCount;
        moves = legalMoveCount;
    }
    std::printf("%-28s nodi=%llu mosse=%llu  %.3f s  %.2f M nodes/s  %.1f M moves/s\n",
                "think, start, no time", static_cast<unsigned long long>(nodes),
                static_cast<unsigned long long>(moves), best, nodes / best / 1e6,
                moves / best / 1e6);
}

} // namespace

int main(int argc, char **argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 3;
    if (runs < 1) runs = 1;
    std::FILE *sink = std::fopen("/dev/null", "w");
    consoleOut = sink;
    fenOutputText = fenOut;
    benchPerft("perft 6, start position",
               "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 6, runs);
    benchPerft("perft 5, Kiwipete",
               "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 5, runs);
    benchThink(runs);
    std::fclose(sink);
    return 0;
}

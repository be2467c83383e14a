// Micro-benchmarks of the engine's hot parts on fixed positions: generation,
// make/unmake, the attack test, the cheap legality test, move selection,
// perft and the search. Run by hand (make bench); nothing here is a test.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "diag/output.h"
#include "frontend/console_state.h"
#include "frontend/driver.h"
#include "movegen/attack.h"
#include "movegen/generate.h"
#include "position/make_move.h"
#include "position/setup.h"
#include "search/perft.h"
#include "search/ply.h"
#include "search/search.h"
#include "search/select.h"

using namespace brevola;

namespace {

constexpr const char *StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr const char *KiwipeteFen =
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

char fenIn[FenBufferSize];
char fenOut[FenBufferSize];

// Sets the position up quietly; the engine's prints go to /dev/null.
void loadPosition(const char *fen) {
    static std::FILE *sink = std::fopen("/dev/null", "w");
    consoleOut = sink;
    fenOutputText = fenOut;
    std::strcpy(fenIn, fen);
    fenInputText = fenIn;
    setUpPosition();
    fenIn[0] = '\0';
}

const char *fenFor(const benchmark::State &state) {
    return state.range(0) == 0 ? StartFen : KiwipeteFen;
}

void BM_GenerateMoves(benchmark::State &state) {
    loadPosition(fenFor(state));
    for (auto _ : state) {
        generateMoves(rootPly);
        benchmark::DoNotOptimize(rootPly[1].listStart);
    }
    state.SetItemsProcessed(state.iterations() * (listEnd(rootPly) - rootPly->listStart));
}

void BM_MakeUnmakeEveryRootMove(benchmark::State &state) {
    loadPosition(fenFor(state));
    generateMoves(rootPly);
    for (auto _ : state) {
        for (Move *m = rootPly->listStart; m < listEnd(rootPly); ++m) {
            int32_t score = makeMove(m, rootPly, 0);
            benchmark::DoNotOptimize(score);
            unmakeMove(rootPly, m);
        }
    }
    state.SetItemsProcessed(state.iterations() * (listEnd(rootPly) - rootPly->listStart));
}

// The full attack scan against the cheap test, both after every root move.
template <bool Cheap> void BM_LegalityAfterEveryRootMove(benchmark::State &state) {
    loadPosition(fenFor(state));
    generateMoves(rootPly);
    int legal = 0;
    for (auto _ : state) {
        for (Move *m = rootPly->listStart; m < listEnd(rootPly); ++m) {
            makeMove(m, rootPly, 0);
            legal += Cheap ? !leftKingAttacked(rootPly) : !isInCheck(rootPly);
            unmakeMove(rootPly, m);
        }
    }
    benchmark::DoNotOptimize(legal);
    state.SetItemsProcessed(state.iterations() * (listEnd(rootPly) - rootPly->listStart));
}

void BM_SelectEveryMoveInTurn(benchmark::State &state) {
    loadPosition(fenFor(state));
    generateMoves(rootPly);
    const int count = static_cast<int>(listEnd(rootPly) - rootPly->listStart);
    int32_t keys[MaxMovesPerPly];
    for (int i = 0; i < count; ++i) keys[i] = rootPly->listStart[i].sortKey;
    for (auto _ : state) {
        for (int i = 0; i < count; ++i) rootPly->listStart[i].sortKey = keys[i];
        rootPly->currentMove = nullptr;
        while (Move *m = selectNextMove(rootPly)) {
            m->sortKey = MinusInfinity;
            rootPly->currentMove = m;
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_Perft(benchmark::State &state) {
    for (auto _ : state) {
        loadPosition(fenFor(state));
        depthLimit = static_cast<int32_t>(state.range(1));
        perft();
    }
    state.counters["moves/s"] =
        benchmark::Counter(static_cast<double>(legalMoveCount) * state.iterations(),
                           benchmark::Counter::kIsRate);
}

// A Think with no time set: 1,048,577 nodes, then the time-out.
void BM_ThinkWithNoTime(benchmark::State &state) {
    for (auto _ : state) {
        loadPosition(fenFor(state));
        moveTimeMs = 0;
        gameTimeMs = 0;
        timedOut = 0;
        depthLimit = 30;
        clockStart = std::chrono::steady_clock::now();
        search();
    }
    state.counters["nodes/s"] = benchmark::Counter(
        static_cast<double>(nodeCount) * state.iterations(), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_GenerateMoves)->Arg(0)->Arg(1);
BENCHMARK(BM_MakeUnmakeEveryRootMove)->Arg(0)->Arg(1);
BENCHMARK(BM_LegalityAfterEveryRootMove<false>)->Name("BM_FullAttackScan")->Arg(0)->Arg(1);
BENCHMARK(BM_LegalityAfterEveryRootMove<true>)->Name("BM_CheapLegalityTest")->Arg(0)->Arg(1);
BENCHMARK(BM_SelectEveryMoveInTurn)->Arg(0)->Arg(1);
BENCHMARK(BM_Perft)->Args({0, 4})->Args({1, 3})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThinkWithNoTime)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();

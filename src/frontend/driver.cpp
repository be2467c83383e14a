#include "frontend/driver.h"

#include <cstdio>

#include "diag/output.h"
#include "frontend/console_state.h"
#include "search/perft.h"
#include "search/ply.h"
#include "search/search.h"

namespace brevola {
namespace {

void printStatistics(bool isPerft, int32_t elapsed) {
    double ms = elapsed;
    double nodes = static_cast<double>(nodeCount);
    double moves = static_cast<double>(legalMoveCount);
    double tt = static_cast<double>(ttHitCount);
    std::fprintf(consoleOut, "\n\n%ld:", static_cast<long>(depthLimit));
    if (isPerft)
        std::fprintf(consoleOut, " perft=%0.0lf",
                     static_cast<double>((rootPly + depthLimit - 1)->generatedCount));
    std::fprintf(consoleOut, " ms=%0.0lf", ms);
    std::fprintf(consoleOut, " nodi=%0.0lf", nodes);
    std::fprintf(consoleOut, " n/s=%0.0lf", 1000 * nodes / ms);
    std::fprintf(consoleOut, " mosse=%0.0lf", moves);
    std::fprintf(consoleOut, " m/s=%0.0lf", moves == 0 ? 0.0 : 1000 * moves / ms);
    std::fprintf(consoleOut, " tt=%0.0lf%%\n", moves == 0 ? 0.0 : tt / moves * 100);
    std::fprintf(consoleOut, " time=%ld\n", static_cast<long>(static_cast<int32_t>(gameTimeMs)));
}

} // namespace

int32_t elapsedMs() {
    auto elapsed = std::chrono::steady_clock::now() - clockStart;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    if (ms < 1) return 1;
    if (ms > INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(ms);
}

void printTimeControl() {
    std::fprintf(consoleOut, "\n_________________________\n");
    std::fprintf(consoleOut, "giocate = %ld\n", static_cast<long>(movesPlayed));
    std::fprintf(consoleOut, "\nms disponibili = %ld\n",
                 static_cast<long>(static_cast<int32_t>(gameTimeMs)));
    std::fprintf(consoleOut, "ms mossa = %ld\n",
                 static_cast<long>(static_cast<int32_t>(moveTimeMs)));
}

uint32_t moveBudgetMs(int32_t moves, uint32_t gameMs) {
    int32_t divisor = 20 - moves;
    if (divisor < 4) divisor = 4;
    uint32_t pool = static_cast<uint32_t>(moves) * 1500u + gameMs;
    return pool / static_cast<uint32_t>(divisor);
}

uint32_t chargeGameClock(uint32_t gameMs, int32_t elapsed) {
    uint32_t left = gameMs - static_cast<uint32_t>(elapsed);
    if (left < 1000 || static_cast<uint32_t>(elapsed) >= gameMs) return 1000;
    return left;
}

void runThinkOrPerft(int32_t depth) {
    clockStart = std::chrono::steady_clock::now();
    if (depth != 0) {
        depthLimit = depth;
        perft();
    } else {
        timedOut = 0;
        if (gameTimeMs != 0) moveTimeMs = moveBudgetMs(movesPlayed, gameTimeMs);
        depthLimit = 30;
        printTimeControl();
        search();
    }
    int32_t elapsed = elapsedMs();
    if (gameTimeMs != 0) gameTimeMs = chargeGameClock(gameTimeMs, elapsed);
    printStatistics(depth != 0, elapsed);
    appendPositionLog();
}

void appendPositionLog() {
    ++fenLogCounter;
    std::FILE *log = std::fopen(PositionLogName, "a");
    if (!log) return;
    std::fprintf(log, "%d\t%s\n", fenLogCounter, fenOutputText);
    std::fclose(log);
}

} // namespace brevola

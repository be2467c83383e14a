#include "search/search.h"

#include <cstdio>

#include "diag/output.h"
#include "diag/print.h"
#include "frontend/console_state.h"
#include "frontend/driver.h"
#include "frontend/move_entry.h"
#include "movegen/attack.h"
#include "movegen/generate.h"
#include "position/make_move.h"
#include "position/setup.h"
#include "search/select.h"

namespace brevola {
namespace {

constexpr uint64_t ClockCheckMask = (uint64_t{1} << 20) - 1; // every 1,048,576 nodes
constexpr uint64_t StopCheckMask = (uint64_t{1} << 16) - 1;  // every 65,536 nodes

// At a stop check (every 65,536 nodes): whether the search must end now. Every
// 1,048,576 nodes this is the clock check, with its "."; a stop request from
// another thread counts as running out of time.
bool outOfTime() {
    bool out = false;
    if ((nodeCount & ClockCheckMask) == 0) {
        outChar('.');
        out = elapsedMs() >= static_cast<int32_t>(moveTimeMs);
    }
    return out || stopRequested.load(std::memory_order_relaxed);
}

// Unwind after a time-out: unmake the current move of every ply from p's
// parent down to the root.
int32_t unwindToRoot(Ply *p) {
    int32_t score = runningScore;
    for (Ply *q = p - 1; q >= rootPly; --q) score = unmakeMove(q, q->currentMove);
    return score;
}

// End of an iteration: list the root's moves with their values (which order
// the next iteration) and mark the first of the highest as the root's best.
void listRootMoves() {
    if (runningScore != 0)
        std::fprintf(consoleOut, "\n> Errore ebp<>0: %ld\n", static_cast<long>(runningScore));
    outText("\n\n");
    int32_t best = MinusInfinity;
    for (Move *m = rootPly->listStart; m < listEnd(rootPly); ++m) {
        m->sortKey = m->searchValue;
        printMove(rootPly, m);
        if (m->searchValue > best) {
            best = m->searchValue;
            rootPly->bestMove = m;
            outText("<---");
        }
        outChar('\n');
    }
    outChar('\n');
    printMove(rootPly, rootPly->bestMove);
}

// A ply's move loop starts with no value, no best move and no move made.
void startMoveLoop(Ply *p) {
    p->bestValue = MinusInfinity;
    p->bestMove = nullptr;
    p->currentMove = nullptr;
}

} // namespace

void search() {
    newGame();
    runningScore = 0;
    Ply *p = rootPly;
    int32_t value = 0; // the value being backed up at p, seen from p's side
    Move *move = nullptr;

    enum class Step { Visit, NextMove, BackUp, Finished, EndIteration };
    Step step = Step::Visit;
    for (;;) {
        switch (step) {
        case Step::Visit:
            // Count the node; every 2^20 nodes look at the clock, every 2^16
            // at the stop request.
            ++nodeCount;
            if ((nodeCount & StopCheckMask) == 0 && outOfTime()) {
                // Abandon p: it generates nothing and its parent backs up
                // with a value just below its own best.
                timedOut = 1;
                --p;
                value = p->bestValue == MinusInfinity ? MinusInfinity : wrapSub(p->bestValue, 1);
                step = Step::BackUp;
                break;
            }
            if (timedOut) {
                outText("\n> ____! TIME OUT !____\n");
                runningScore = unwindToRoot(p);
                step = Step::EndIteration;
                break;
            }
            generateMoves(p);
            startMoveLoop(p);
            step = Step::NextMove;
            break;

        case Step::NextMove:
            // Try the best untried move; an illegal one is taken back and marked.
            move = selectNextMove(p);
            if (!move) {
                step = Step::Finished;
                break;
            }
            runningScore = makeMove(move, p, runningScore);
            if (leftKingAttacked(p)) {
                runningScore = unmakeMove(p, move);
                move->searchValue = MinusInfinity;
                break;
            }
            if (p == rootPly) {
                outChar(' ');
                printMove(p, move);
            }
            ++p->legalCount;
            ++legalMoveCount;
            if (p < horizonPly) {
                runningScore = wrapNeg(runningScore);
                (p + 1)->entryScore = runningScore;
                ++p;
                step = Step::Visit;
            } else {
                value = runningScore;
                step = Step::BackUp;
            }
            break;

        case Step::BackUp:
            // p's current move is worth `value` to p's side.
            move = p->currentMove;
            runningScore = unmakeMove(p, move);
            move->searchValue = value;
            step = Step::NextMove;
            if (value <= p->bestValue) break;
            if (p == rootPly) {
                outText("\n^");
                printMove(p, move);
                outChar('\n');
            }
            p->bestValue = value;
            p->bestMove = move;
            if (value == MateValue) {
                step = Step::Finished;
            } else if (wrapNeg(value) <= (p - 1)->bestValue) {
                // Cut-off: the parent already has something at least as good.
                --p;
                value = wrapSub(p->bestValue, 1);
                step = Step::BackUp;
            }
            break;

        case Step::Finished: {
            // No further move at p: its best value, or mate / stalemate.
            int32_t result = p->bestValue;
            if (p->legalCount == 0) result = p->kingAttacked ? wrapNeg(MateValue) : 0;
            if (p == rootPly) {
                step = Step::EndIteration;
                break;
            }
            --p;
            value = wrapNeg(result);
            step = Step::BackUp;
            break;
        }

        case Step::EndIteration:
            listRootMoves();
            runningScore = 0;
            if (timedOut) {
                rootPly->bestMove = rootPly->lastIterationBest;
                goto endOfSearch;
            }
            rootPly->lastIterationBest = rootPly->bestMove;
            if (iterationHook) {
                const Move *best = rootPly->bestMove;
                IterationReport report{iterationDepth, best ? best->searchValue : MinusInfinity,
                                       best, nodeCount};
                if (!iterationHook(report)) goto endOfSearch;
            }
            iterationDepth += 2;
            horizonPly += 2;
            if (iterationDepth > depthLimit) goto endOfSearch;
            std::fprintf(consoleOut,
                         "\n> ___________________ Iterazione %ld - inizio %ld ms / %ld\n",
                         static_cast<long>(iterationDepth), static_cast<long>(elapsedMs()),
                         static_cast<long>(static_cast<int32_t>(moveTimeMs)));
            p = rootPly;
            startMoveLoop(p);
            step = Step::NextMove;
            break;
        }
    }

endOfSearch:
    if (!rootPly->bestMove) rootPly->bestMove = selectBestMove(rootPly);
    if (playChosenMove) playMove(rootPly, rootPly->bestMove);
}

} // namespace brevola

#include "search/perft.h"

#include "diag/output.h"
#include "frontend/console_state.h"
#include "movegen/attack.h"
#include "movegen/generate.h"
#include "position/make_move.h"
#include "position/setup.h"

namespace brevola {

void perft() {
    iterationDepth = depthLimit;
    setUpPosition();
    runningScore = 0;
    Ply *p = rootPly;
    int32_t score = 0;

    // Expand p: count it, generate its list and put the cursor on its first move.
expand:
    ++nodeCount;
    generateMoves(p);
    p->currentMove = p->listStart;

    for (;;) {
        Move *move = p->currentMove;
        if (move < listEnd(p)) {
            if (p == rootPly) outChar('.');
            score = makeMove(move, p, score);
            if (leftKingAttacked(p)) {
                --p->generatedCount;
                score = unmakeMove(p, move);
                p->currentMove = move + 1;
                continue;
            }
            ++p->legalCount;
            ++legalMoveCount;
            if ((p + 1)->plyIndex < iterationDepth) {
                ++p;
                goto expand;
            }
            score = unmakeMove(p, move);
            p->currentMove = move + 1;
            continue;
        }
        // p's list is done: back to the parent's next move.
        if (p == rootPly) break;
        --p;
        score = unmakeMove(p, p->currentMove);
        ++p->currentMove;
    }
    runningScore = score;
}

} // namespace brevola

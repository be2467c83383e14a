#include "search/ply.h"

#include <cstring>
#include <utility>

#include "movegen/generators.h"

namespace brevola {

void rebuildPlyStack() {
    std::memset(static_cast<void *>(rootPly), 0, sizeof(Ply) * (PlyStackSize - PlyBelowRoot));
    std::memset(static_cast<void *>(moveStack), 0, sizeof(moveStack));

    // Template plies: -4 holds the pawn constants of the side to move at the
    // root, -3 those of the other side.
    Ply *white = plyStack, *black = plyStack + 1;
    if (historyToMove->side != WhiteSide) std::swap(white, black);
    white->pawnStep = -10;
    white->pawnCode = WhitePawn;
    white->pawnGenerator = generateWhitePawnMoves;
    black->pawnStep = +10;
    black->pawnCode = BlackPawn;
    black->pawnGenerator = generateBlackPawnMoves;

    // Sides alternate from ply -2 upwards; each ply takes king and pawn
    // constants from the ply two below it.
    int32_t index = -2;
    for (Ply *p = historyToMove; p <= lastPly; ++p, ++index) {
        if (p > historyMoved) {
            p->side = otherSide((p - 1)->side);
            p->pieces = (p - 2)->pieces;
            p->king = (p - 2)->king;
        } else if (p == historyMoved) {
            p->side = otherSide(historyToMove->side);
        }
        p->listStart = moveStack;
        p->plyIndex = index;
        p->bestValue = MinusInfinity;
        p->generatedCount = 0;
        p->legalCount = 0;
        p->pawnStep = (p - 2)->pawnStep;
        p->pawnCode = (p - 2)->pawnCode;
        p->pawnGenerator = (p - 2)->pawnGenerator;
        if (index < iterationDepth) horizonPly = p;
    }
}

} // namespace brevola

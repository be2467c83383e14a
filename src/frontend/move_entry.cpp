#include "frontend/move_entry.h"

#include <cstdio>
#include <utility>

#include "diag/board_display.h"
#include "diag/output.h"
#include "diag/print.h"
#include "frontend/console_state.h"
#include "movegen/attack.h"
#include "position/fen_writer.h"
#include "position/make_move.h"
#include "search/perft.h"

namespace brevola {

Move *findTypedMove(Ply *root, const char *text) {
    for (Move *m = root->listStart; m < listEnd(root); ++m) {
        printMove(root, m);
        const Square *from = m == root->currentMove ? root->fromSquare : m->mover->square;
        SquareName a = squareName(from), b = squareName(from + m->delta);
        if (text[0] == a.file && text[1] == a.rank && text[2] == b.file && text[3] == b.rank) {
            printMove(root, m);
            return m;
        }
    }
    return nullptr;
}

void enterTypedMove() {
    int32_t savedDepth = depthLimit;
    depthLimit = 1;
    perft();
    depthLimit = savedDepth;
    Move *move = findTypedMove(rootPly, typedLine);
    if (!move) return;
    // Only a legal move is played: one that leaves the own king attacked is
    // taken back and the position stays as it was.
    runningScore = makeMove(move, rootPly, runningScore);
    bool illegal = isInCheck(rootPly);
    runningScore = unmakeMove(rootPly, move);
    if (illegal) return;
    playMove(rootPly, move);
}

void playMove(Ply *root, Move *move) {
    outChar('\n');
    runningScore = makeMove(move, root, runningScore);
    outText("\n> MOSSA: ");
    printMove(root, move);
    showBoard();
    if (move)
        writeFen();
    else
        writeFenText(fenOutputText, root->side);
    std::fprintf(consoleOut, "\n> FEN: %s\n", fenOutputText);
    if (!move) return;
    Ply *toMove = root - 2, *moved = root - 1;
    std::swap(toMove->side, moved->side);
    std::swap(toMove->pieces, moved->pieces);
    std::swap(toMove->king, moved->king);
    moved->doublePushSquare = root->doublePushSquare;
}

} // namespace brevola

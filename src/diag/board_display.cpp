#include "diag/board_display.h"

#include <cstdio>

#include "diag/output.h"
#include "diag/print.h"
#include "search/ply.h"

namespace brevola {
namespace {

// A UTF-8 console: U+253C crossings and U+2500 bars.
constexpr const char *Separator = "\n┼─┼─┼─┼─┼─┼─┼─┼─┼\n";

void printBoardRow(int rank) {
    std::fprintf(consoleOut, "%s", Separator);
    for (int file = 0; file < 8; ++file) {
        outChar('|');
        const Square &square = board[squareIndex(file, rank)];
        if (square.piece)
            printPieceLetter(square.piece);
        else
            outChar(' ');
    }
    outChar('|');
}

} // namespace

void showBoard() {
    outChar('\n');
    for (int rank = 8; rank >= 1; --rank) printBoardRow(rank);
    std::fprintf(consoleOut, "%s", Separator);
    outChar('\n');
    outChar('M');
    outChar('=');
    printHex(static_cast<uint32_t>(legalMoveCount));
    printHex(static_cast<uint32_t>(legalMoveCount >> 32));
    outText(" H=");
    printHex(static_cast<uint32_t>(positionHash));
    outText(" bp=");
    printHexHigh16(static_cast<uint32_t>(runningScore));
    outChar('\n');
}

} // namespace brevola

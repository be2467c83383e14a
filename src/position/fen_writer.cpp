#include "position/fen_writer.h"

#include "frontend/console_state.h"
#include "search/ply.h"

namespace brevola {
namespace {

// The letter follows the code's bits, so a promoted piece is written as what
// it has become; a code with no piece bits counts as an empty square.
char fenLetter(PieceCode code) {
    PieceKindIndex kind = pieceKindOf(code);
    if (kind == NoPiece) return '\0';
    return (isWhiteCode(code) ? "KQRBNP" : "kqrbnp")[kind];
}

} // namespace

void writeFenText(char *text, SideMask sideToMove) {
    char *w = text;
    for (int rank = 8; rank >= 1; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            char letter = fenLetter(board[squareIndex(file, rank)].code);
            if (!letter) {
                ++empty;
                continue;
            }
            if (empty) *w++ = static_cast<char>('0' + empty);
            empty = 0;
            *w++ = letter;
        }
        if (empty) *w++ = static_cast<char>('0' + empty);
        if (rank > 1) *w++ = '/';
    }
    *w++ = ' ';
    *w++ = sideToMove == WhiteSide ? 'w' : 'b';
    *w = '\0';
}

void writeFen() { writeFenText(fenOutputText, otherSide(rootPly->side)); }

} // namespace brevola

#include "position/fen_writer.h"

#include "frontend/console_state.h"
#include "search/ply.h"

namespace brevola {
namespace {

// The letter follows the code's bits, so a promoted piece is written as what
// it has become; a code with no piece bits counts as an empty square.
char fenLetter(PieceCode code) {
    char letter;
    if (code & KingBits)
        letter = 'k';
    else if (code & QueenBits)
        letter = 'q';
    else if (code & StraightBits)
        letter = 'r';
    else if (code & DiagonalBits)
        letter = 'b';
    else if (code & KnightBits)
        letter = 'n';
    else if (code & PawnBits)
        letter = 'p';
    else
        return '\0';
    if (code & WhiteColourBit) letter = static_cast<char>(letter - 'a' + 'A');
    return letter;
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

#include "diag/check.h"

#include "search/ply.h"

namespace brevola {
namespace {

const char *checkList(const PieceEntry *list, PieceCode colourBit) {
    int n = 0;
    for (const PieceEntry *e = list; e->square; ++e, ++n) {
        if (n >= 16) return "piece list not terminated within 16 entries";
        int index = squareIndexOf(e->square);
        if (!isPlayingIndex(index)) return "piece entry names a square off the board";
        if (e->square->piece == e && !(e->square->code & colourBit))
            return "live piece entry on a square of the other colour";
        if (!e->generator) return "piece entry without a generator";
    }
    return nullptr;
}

bool inList(const PieceEntry *entry, const PieceEntry *list) {
    return entry >= list && entry < list + 16;
}

} // namespace

const char *checkBoard() {
    for (int i = 0; i < BoardSquares; ++i) {
        const Square &s = board[i];
        if (!isPlayingIndex(i)) {
            if (s.code != BorderCode || s.piece) return "border ring broken";
            continue;
        }
        if (s.code == EmptyCode) {
            if (s.piece) return "empty square with a piece link";
            continue;
        }
        if (s.code < 0 || !(s.code & ColourBits)) return "playing square with a bad code";
        if (!s.piece) return "occupied square without a piece link";
        if (s.piece->square != &s) return "square and piece entry disagree";
        bool white = s.code & WhiteColourBit;
        if (!inList(s.piece, white ? whitePieces : blackPieces))
            return "piece entry in the wrong list";
    }
    if (const char *problem = checkList(whitePieces, WhiteColourBit)) return problem;
    if (const char *problem = checkList(blackPieces, BlackColourBit)) return problem;
    if (!whiteKing || !blackKing) return "missing king link";
    if (!inList(whiteKing, whitePieces) || !inList(blackKing, blackPieces))
        return "king link outside its list";
    bool whiteToMove = historyToMove->side == WhiteSide;
    if (historyToMove->king != (whiteToMove ? whiteKing : blackKing) ||
        historyMoved->king != (whiteToMove ? blackKing : whiteKing))
        return "history plies name the wrong kings";
    if (historyToMove->pieces != (whiteToMove ? whitePieces : blackPieces))
        return "history ply names the wrong piece list";
    return nullptr;
}

} // namespace brevola

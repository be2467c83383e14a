#include "position/setup.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "diag/board_display.h"
#include "diag/output.h"
#include "frontend/console_state.h"
#include "movegen/generators.h"
#include "search/ply.h"

namespace brevola {
namespace {

struct FenPiece {
    char letter;
    PieceCode code;
    MoveGenerator generator;
};

constexpr FenPiece FenPieces[] = {
    {'K', WhiteKing, generateKingMoves},      {'k', BlackKing, generateKingMoves},
    {'Q', WhiteQueen, generateQueenMoves},    {'q', BlackQueen, generateQueenMoves},
    {'R', WhiteRook, generateRookMoves},      {'r', BlackRook, generateRookMoves},
    {'B', WhiteBishop, generateBishopMoves},  {'b', BlackBishop, generateBishopMoves},
    {'N', WhiteKnight, generateKnightMoves},  {'n', BlackKnight, generateKnightMoves},
    {'P', WhitePawn, generateWhitePawnMoves}, {'p', BlackPawn, generateBlackPawnMoves},
};

const FenPiece *fenPieceOf(char letter) {
    for (const FenPiece &kind : FenPieces)
        if (kind.letter == letter) return &kind;
    return nullptr;
}

// What a refused FEN must leave untouched: the board, both lists, the king
// links and the template and history plies.
struct PositionSnapshot {
    Square squares[BoardSquares];
    PieceList white;
    PieceList black;
    PieceEntry *whiteKing;
    PieceEntry *blackKing;
    Ply history[PlyBelowRoot];
};
PositionSnapshot savedPosition;

void savePosition() {
    std::memcpy(savedPosition.squares, board, sizeof(board));
    std::memcpy(savedPosition.white, whitePieces, sizeof(whitePieces));
    std::memcpy(savedPosition.black, blackPieces, sizeof(blackPieces));
    savedPosition.whiteKing = whiteKing;
    savedPosition.blackKing = blackKing;
    std::memcpy(static_cast<void *>(savedPosition.history), plyStack, sizeof(Ply) * PlyBelowRoot);
}

void restorePosition() {
    std::memcpy(board, savedPosition.squares, sizeof(board));
    std::memcpy(whitePieces, savedPosition.white, sizeof(whitePieces));
    std::memcpy(blackPieces, savedPosition.black, sizeof(blackPieces));
    whiteKing = savedPosition.whiteKing;
    blackKing = savedPosition.blackKing;
    std::memcpy(static_cast<void *>(plyStack), savedPosition.history, sizeof(Ply) * PlyBelowRoot);
}

void setSideToMove(bool whiteToMove) {
    if (whiteToMove) {
        historyToMove->side = WhiteSide;
        historyToMove->pieces = whitePieces;
        historyMoved->side = BlackSide;
        historyMoved->pieces = blackPieces;
        return;
    }
    historyToMove->side = BlackSide;
    historyToMove->pieces = blackPieces;
    historyMoved->side = WhiteSide;
    historyMoved->pieces = whitePieces;
    std::swap(historyToMove->king, historyMoved->king);
}

// A castling letter clears the move count of the king and of whatever piece
// stands `offset` squares from it; with no king or no piece there it does nothing.
void grantCastling(PieceEntry *king, int offset) {
    if (!king) return;
    PieceEntry *rook = king->square[offset].piece;
    if (!rook) return;
    king->moveCount = 0;
    rook->moveCount = 0;
}

bool isDigit1to8(char c) { return c >= '1' && c <= '8'; }

} // namespace

void readFen(const char *text) {
    const char *p = text;
    whiteKing = blackKing = nullptr;
    historyToMove->king = historyMoved->king = nullptr;
    historyMoved->doublePushSquare = nullptr;

    // Field 1, placement. Squares a rank does not describe stay empty; squares
    // and pieces beyond a rank's eighth square, or below rank 1, are skipped.
    for (int rank = 8; rank >= 1; --rank)
        for (int file = 0; file < 8; ++file)
            board[squareIndex(file, rank)].setOccupant(Occupant{EmptyCode, nullptr});
    int row = 0, column = 0;
    PieceEntry *nextWhite = whitePieces, *nextBlack = blackPieces;
    for (; *p; ++p) {
        char c = *p;
        if (c == ' ') {
            ++p;
            break;
        }
        if (c == '/') {
            ++row;
            column = 0;
        } else if (isDigit1to8(c)) {
            column += c - '0';
            if (column > 8) column = 8;
        } else if (const FenPiece *kind = fenPieceOf(c)) {
            if (row < 8 && column < 8) {
                bool white = c >= 'A' && c <= 'Z';
                PieceEntry *&next = white ? nextWhite : nextBlack;
                const PieceEntry *listEndEntry = (white ? whitePieces : blackPieces) + 16;
                if (next < listEndEntry) {
                    Square *square = &board[squareIndex(column, 8 - row)];
                    next->square = square;
                    next->generator = kind->generator;
                    next->letter = static_cast<unsigned char>(c);
                    next->moveCount = 1;
                    square->setOccupant(Occupant{kind->code, next});
                    if (c == 'K') whiteKing = historyToMove->king = next;
                    if (c == 'k') blackKing = historyMoved->king = next;
                    ++next;
                }
                ++column;
            }
        }
    }
    nextWhite->square = nullptr;
    nextBlack->square = nullptr;

    // Field 2, side to move: "w" is White, any other character Black. A text
    // that ends before it leaves White to move, matching the king links.
    bool whiteToMove = *p == '\0' || *p == 'w';
    setSideToMove(whiteToMove);
    if (*p == '\0') return;
    ++p;
    if (*p != ' ') return;
    ++p;

    // Field 3, castling rights, up to the next space.
    for (;;) {
        char c = *p;
        if (c == '\0') return;
        ++p;
        if (c == ' ') break;
        if (c == '-') {
            if (*p != ' ') return;
            ++p;
            break;
        }
        if (c == 'K')
            grantCastling(whiteKing, +3);
        else if (c == 'Q')
            grantCastling(whiteKing, -4);
        else if (c == 'k')
            grantCastling(blackKing, +3);
        else if (c == 'q')
            grantCastling(blackKing, -4);
    }

    // Field 4, en passant target: record the pawn that has just advanced two
    // squares, one rank behind the target as seen from the side to move. Only
    // a real pawn of the side that moved, with the square it passed over
    // empty, is recorded: anything else would let a pawn "take" an empty
    // square or land on a piece without capturing it.
    if (p[0] >= 'a' && p[0] <= 'h' && isDigit1to8(p[1])) {
        int target = squareIndex(p[0] - 'a', p[1] - '0');
        int pawn = target + (whiteToMove ? 10 : -10);
        PieceCode pushedPawn = whiteToMove ? BlackPawn : WhitePawn;
        if (isPlayingIndex(pawn) && board[pawn].code == pushedPawn &&
            board[target].code == EmptyCode)
            historyMoved->doublePushSquare = &board[pawn];
    }
}

void setUpPosition() {
    positionHash = 0;
    if (fenInputText && fenInputText[0] != '\0') {
        savePosition();
        for (Square &square : board) {
            square.setOccupant(Occupant{BorderCode, nullptr});
            square.key = 0;
        }
        readFen(fenInputText);
        if (!whiteKing || !blackKing) {
            restorePosition();
            std::fprintf(consoleOut, "\n> FEN refused: each side needs a king\n");
        }
    }
    nodeCount = 0;
    legalMoveCount = 0;
    ttHitCount = 0;
    for (int rank = 8; rank >= 1; --rank)
        for (int file = 0; file < 8; ++file)
            board[squareIndex(file, rank)].placeValue = PlaceTable[8 - rank][file] * ScoreUnit;
    rebuildPlyStack();
}

void newGame() {
    iterationDepth = 2;
    setUpPosition();
    showBoard();
    outChar('\n');
}

} // namespace brevola

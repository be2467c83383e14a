#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "diag/check.h"
#include "diag/output.h"
#include "frontend/console_state.h"
#include "position/setup.h"

namespace brevola::testing {

ConsoleCapture::ConsoleCapture() : previous_(consoleOut) {
    stream_ = open_memstream(&buffer_, &size_);
    consoleOut = stream_;
}

ConsoleCapture::~ConsoleCapture() {
    finish();
    std::free(buffer_);
}

std::string ConsoleCapture::text() {
    finish();
    return std::string(buffer_, size_);
}

void ConsoleCapture::finish() {
    if (!stream_) return;
    std::fclose(stream_);
    stream_ = nullptr;
    consoleOut = previous_;
}

std::string printed(const std::function<void()> &print) {
    ConsoleCapture capture;
    print();
    return capture.text();
}

std::string loadFen(const std::string &fen) {
    static char text[FenBufferSize];
    std::snprintf(text, sizeof text, "%s", fen.c_str());
    fenInputText = text;
    ConsoleCapture capture;
    setUpPosition();
    text[0] = '\0';
    return capture.text();
}

void loadFenSilently(const std::string &fen) { ASSERT_EQ(loadFen(fen), "") << fen; }

void newGameFrom(const std::string &fen) {
    iterationDepth = 2;
    loadFen(fen);
    const char *fault = checkBoard();
    ASSERT_EQ(fault, nullptr) << fault << " after " << fen;
}

Square *at(const char *name) { return &board[squareIndex(name[0] - 'a', name[1] - '0')]; }

std::string nameOf(const Square *square) {
    if (!square) return "-";
    int index = squareIndexOf(square);
    if (index < 0 || index >= BoardSquares || !isPlayingIndex(index)) return "??";
    return {static_cast<char>('a' + fileOf(index)), static_cast<char>('0' + rankOf(index))};
}

char fenLetter(PieceCode code) {
    switch (code) {
    case WhiteKing:
        return 'K';
    case WhiteQueen:
        return 'Q';
    case WhiteRook:
        return 'R';
    case WhiteBishop:
        return 'B';
    case WhiteKnight:
        return 'N';
    case WhitePawn:
        return 'P';
    case BlackKing:
        return 'k';
    case BlackQueen:
        return 'q';
    case BlackRook:
        return 'r';
    case BlackBishop:
        return 'b';
    case BlackKnight:
        return 'n';
    case BlackPawn:
        return 'p';
    default:
        return '?';
    }
}

std::string placementOnBoard() {
    std::string out;
    for (int rank = 8; rank >= 1; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            PieceCode code = board[squareIndex(file, rank)].code;
            if (code == EmptyCode) {
                ++empty;
                continue;
            }
            if (empty) out += static_cast<char>('0' + empty);
            empty = 0;
            out += fenLetter(code);
        }
        if (empty) out += static_cast<char>('0' + empty);
        if (rank > 1) out += '/';
    }
    return out;
}

PositionState positionState() {
    PositionState state;
    for (const Square &square : board)
        state.squares.emplace_back(square.code, square.piece, square.key, square.placeValue);
    for (const PieceList *list : {&whitePieces, &blackPieces})
        for (const PieceEntry &e : *list)
            state.entries.emplace_back(e.square, e.generator, e.moveCount, e.letter);
    state.whiteKingLink = whiteKing;
    state.blackKingLink = blackKing;
    for (const Ply *p : {historyToMove, historyMoved})
        state.history.emplace_back(p->side, p->pieces, p->king, p->doublePushSquare);
    return state;
}

Move *findMove(const Ply *ply, const char *from, const char *to, MoveKind kind) {
    const Square *fromSquare = at(from), *toSquare = at(to);
    for (Move *m = ply->listStart; m < listEnd(ply); ++m) {
        if (!m->mover || m->mover->square != fromSquare) continue;
        if (m->mover->square + m->delta == toSquare && (kind == AnyKind || m->kind == kind))
            return m;
    }
    return nullptr;
}

Move *findMove(const Ply *ply, const std::string &fromTo, MoveKind kind) {
    if (fromTo.size() < 4) return nullptr;
    return findMove(ply, fromTo.substr(0, 2).c_str(), fromTo.substr(2, 2).c_str(), kind);
}

} // namespace brevola::testing

// Make and unmake: the running score each kind of move earns, what the board
// and the ply record hold after make, and that unmake gives back exactly the
// position it found, for every move of a handful of rich positions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_fixture.h"
#include "movegen/attack.h"
#include "movegen/generate.h"
#include "movegen/generators.h"
#include "position/board.h"
#include "position/make_move.h"
#include "search/ply.h"

using namespace brevola;
using namespace brevola::testing;

namespace {

int32_t units(int n) { return n * 65536; }

} // namespace

TEST(MakeUnmake, ScoreAndBoardForEachKindOfMove) {
    struct Case {
        const char *label;
        const char *fen;
        const char *from;
        const char *to; // as generated: for en passant the captured pawn's square
        MoveKind kind;
        int32_t scoreGain;
        const char *placementAfter;
        const char *toSquareAfter;
        const char *doublePushAfter;
        const char *rookFrom; // castling only
        const char *rookTo;
    };
    // Each castling starts from the same kings and rooks and scores the same:
    // the king goes from one 10-unit square to another, empty (1), and earns
    // the castling bonus (128).
    const char *whiteCastles = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
    const char *blackCastles = "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1";
    const int32_t castling = units(-10 + 10 + 1 + 128);
    const Case cases[] = {
        {"double push", StartFen, "e2", "e4", DoublePush, units(-18 + 102 + 1),
         "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR", "e4", "e4", nullptr, nullptr},
        {"knight move", StartFen, "g1", "f3", Normal, units(-10 + 56 + 1),
         "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R", "f3", "-", nullptr, nullptr},
        {"black double push", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", "d7",
         "d5", DoublePush, units(-18 + 102 + 1), "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR",
         "d5", "d5", nullptr, nullptr},
        {"capture", "4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1", "e4", "d5", Normal,
         units(-102 + 102 + 256), "4k3/8/8/3P4/8/8/8/4K3", "d5", "-", nullptr, nullptr},
        {"white king-side castling", whiteCastles, "e1", "g1", CastleKingSide, castling,
         "r3k2r/8/8/8/8/8/8/R4RK1", "g1", "-", "h1", "f1"},
        {"white queen-side castling", whiteCastles, "e1", "c1", CastleQueenSide, castling,
         "r3k2r/8/8/8/8/8/8/2KR3R", "c1", "-", "a1", "d1"},
        {"black king-side castling", blackCastles, "e8", "g8", CastleKingSide, castling,
         "r4rk1/8/8/8/8/8/8/R3K2R", "g8", "-", "h8", "f8"},
        {"black queen-side castling", blackCastles, "e8", "c8", CastleQueenSide, castling,
         "2kr3r/8/8/8/8/8/8/R3K2R", "c8", "-", "a8", "d8"},
        {"white en passant after d7d5", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5", "d5", EnPassant,
         units(-102 + 102 + 256), "4k3/8/3P4/8/8/8/8/4K3", "d6", "-", nullptr, nullptr},
        {"black en passant after e2e4", "4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1", "d4", "e4", EnPassant,
         units(-102 + 102 + 256), "4k3/8/8/8/8/4p3/8/4K3", "e3", "-", nullptr, nullptr},
        // A promotion adds the new piece's whole code, low bits included.
        {"b7xa8=Q", "r3k3/1P6/8/8/8/8/8/4K3 w - - 0 1", "b7", "a8", WhiteQueen,
         units(-18 + 10 + 1280 + 2560) + 0x1114, "Q3k3/8/8/8/8/8/8/4K3", "a8", "-", nullptr,
         nullptr},
        {"g2xh1=q", "4k3/8/8/8/8/8/6p1/4K2R b - - 0 1", "g2", "h1", BlackQueen,
         units(-18 + 10 + 1280 + 2560) + 0x2228, "4k3/8/8/8/8/8/8/4K2q", "h1", "-", nullptr,
         nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        loadFen(c.fen);
        generateMoves(rootPly);
        Move *move = findMove(rootPly, c.from, c.to, c.kind);
        ASSERT_NE(move, nullptr);
        PieceEntry *mover = move->mover;
        PieceEntry *rook = c.rookFrom ? at(c.rookFrom)->piece : nullptr;
        Occupant target = at(c.to)->occupant();
        int32_t moverCount = mover->moveCount;
        int32_t rookCount = rook ? rook->moveCount : 0;
        PositionState before = positionState();
        rootPly->entryScore = units(7);
        rootPly->doublePushSquare = at("a1"); // stale: make must clear it

        int32_t score = makeMove(move, rootPly, units(7));
        EXPECT_EQ(score - units(7), c.scoreGain);
        EXPECT_EQ(placementOnBoard(), c.placementAfter);
        EXPECT_EQ(rootPly->currentMove, move);
        EXPECT_EQ(move->sortKey, MinusInfinity);
        EXPECT_EQ(nameOf(rootPly->fromSquare), c.from);
        EXPECT_EQ(nameOf(rootPly->toSquare), c.toSquareAfter);
        EXPECT_EQ(nameOf(rootPly->doublePushSquare), c.doublePushAfter);
        EXPECT_EQ(rootPly->capturedOccupant.code, target.code);
        EXPECT_EQ(rootPly->capturedOccupant.piece, target.piece);
        EXPECT_EQ(nameOf(mover->square), c.toSquareAfter);
        EXPECT_EQ(mover->moveCount, moverCount + 1);
        if (rook) {
            EXPECT_EQ(nameOf(rook->square), c.rookTo);
            EXPECT_EQ(at(c.rookTo)->piece, rook);
            EXPECT_EQ(rook->moveCount, rookCount);
        }
        if (c.kind == EnPassant) {
            // The captured pawn's entry keeps its square, which no longer names it.
            EXPECT_EQ(at(c.to)->code, EmptyCode);
            EXPECT_EQ(at(c.to)->piece, nullptr);
            EXPECT_EQ(target.piece->square, at(c.to));
        }
        if (isPromotion(c.kind)) {
            EXPECT_EQ(at(c.to)->code, c.kind);
            EXPECT_EQ(at(c.to)->piece, mover);
            EXPECT_EQ(mover->generator, generateQueenMoves);
        }

        EXPECT_EQ(unmakeMove(rootPly, move), units(7));
        EXPECT_TRUE(positionState() == before);
        if (isPromotion(c.kind)) {
            EXPECT_EQ(mover->generator,
                      c.kind == WhiteQueen ? generateWhitePawnMoves : generateBlackPawnMoves);
        }
        EXPECT_EQ(move->sortKey, MinusInfinity); // the tried mark stays
    }
}

TEST(MakeUnmake, PromotionPicksTheGeneratorOfTheNewPiece) {
    struct Case {
        const char *fen;
        const char *from;
        const char *to;
        PieceCode kind;
        MoveGenerator generator;
        char letter;
    };
    const char *white = "4k3/1P6/8/8/8/8/8/4K3 w - - 0 1";
    const char *black = "4k3/8/8/8/8/8/6p1/4K3 b - - 0 1";
    const Case cases[] = {
        {white, "b7", "b8", WhiteQueen, generateQueenMoves, 'Q'},
        {white, "b7", "b8", WhiteRook, generateRookMoves, 'R'},
        {white, "b7", "b8", WhiteBishop, generateBishopMoves, 'B'},
        {white, "b7", "b8", WhiteKnight, generateKnightMoves, 'N'},
        {black, "g2", "g1", BlackQueen, generateQueenMoves, 'q'},
        {black, "g2", "g1", BlackRook, generateRookMoves, 'r'},
        {black, "g2", "g1", BlackBishop, generateBishopMoves, 'b'},
        {black, "g2", "g1", BlackKnight, generateKnightMoves, 'n'},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.from) + c.to + "=" + c.letter);
        loadFen(c.fen);
        generateMoves(rootPly);
        Move *move = findMove(rootPly, c.from, c.to, c.kind);
        ASSERT_NE(move, nullptr);
        PositionState before = positionState();
        PieceEntry *pawn = move->mover;
        int32_t score = makeMove(move, rootPly, 0);
        // Rank 7 and rank 1/8 squares are worth 18 and 10 units; an empty
        // target earns one unit; the piece's whole code is added.
        EXPECT_EQ(score, units(-18 + 10 + 1) + c.kind);
        EXPECT_EQ(fenLetter(at(c.to)->code), c.letter);
        EXPECT_EQ(pawn->generator, c.generator);
        EXPECT_EQ(unmakeMove(rootPly, move), 0);
        EXPECT_TRUE(positionState() == before);
        EXPECT_EQ(at(c.from)->code, c.letter >= 'a' ? BlackPawn : WhitePawn);
    }
}

TEST(MakeUnmake, NullMoveChangesNothing) {
    loadFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    generateMoves(rootPly);
    PositionState before = positionState();
    Ply plyBefore = *rootPly;
    EXPECT_EQ(makeMove(nullptr, rootPly, units(42)), units(42));
    EXPECT_TRUE(positionState() == before);
    EXPECT_EQ(rootPly->currentMove, plyBefore.currentMove);
    EXPECT_EQ(rootPly->fromSquare, plyBefore.fromSquare);
    EXPECT_EQ(rootPly->toSquare, plyBefore.toSquare);
    EXPECT_EQ(rootPly->doublePushSquare, plyBefore.doublePushSquare);
    for (Move *m = rootPly->listStart; m < listEnd(rootPly); ++m) EXPECT_NE(m->sortKey, MinusInfinity);
}

namespace {

// Makes and unmakes every move of `ply`'s list, descending `depth` - 1 more
// plies through the legal ones, and checks after each unmake that the board,
// every entry's square, moveCount and generator, and the list's sort keys
// are as before (only the tried moves carry the tried mark), and that the
// running score is back at the ply's entryScore.
void makeAndUnmakeAll(Ply *ply, int depth, int64_t &madeCount) {
    generateMoves(ply);
    std::vector<int32_t> keys;
    for (Move *m = ply->listStart; m < listEnd(ply); ++m) keys.push_back(m->sortKey);
    PositionState before = positionState();
    for (Move *m = ply->listStart; m < listEnd(ply); ++m) {
        int32_t score = makeMove(m, ply, ply->entryScore);
        ++madeCount;
        if (depth > 1 && !isInCheck(ply)) {
            (ply + 1)->entryScore = wrapNeg(score);
            makeAndUnmakeAll(ply + 1, depth - 1, madeCount);
            if (::testing::Test::HasFatalFailure()) return;
        }
        int32_t restored = unmakeMove(ply, m);
        bool same = positionState() == before;
        if (restored != ply->entryScore || !same) {
            std::string text = nameOf(ply->fromSquare) + nameOf(ply->fromSquare + m->delta);
            ASSERT_EQ(restored, ply->entryScore) << "ply " << ply->plyIndex << " move " << text;
            ASSERT_TRUE(same) << "ply " << ply->plyIndex << " move " << text << " kind " << m->kind;
        }
        for (Move *k = ply->listStart; k < listEnd(ply); ++k) {
            int32_t expected = k <= m ? MinusInfinity : keys[static_cast<std::size_t>(k - ply->listStart)];
            ASSERT_EQ(k->sortKey, expected) << "ply " << ply->plyIndex;
        }
    }
}

} // namespace

TEST(MakeUnmake, EveryMoveOfRichPositionsIsUndoneExactly) {
    // Two plies deep, so both colours castle, capture en passant, promote
    // and under-promote, with and without a capture.
    const char *positions[] = {
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
        "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
        "2K2r2/4P3/8/8/8/8/8/3k4 w - - 0 1",
        "8/P1k5/K7/8/8/8/8/8 w - - 0 1",
        "4k3/1P6/8/8/8/8/8/K7 w - - 0 1",
        "8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1",
        "r3k2r/8/3Q4/8/8/5q2/8/R3K2R b KQkq - 0 1",
        "r3k2r/1p4p1/8/2pPp3/8/8/1p4P1/R3K2R w KQkq c6 0 1",
    };
    for (const char *fen : positions) {
        SCOPED_TRACE(fen);
        loadFen(fen);
        rootPly->entryScore = units(-3);
        int64_t made = 0;
        makeAndUnmakeAll(rootPly, 2, made);
        if (HasFatalFailure()) return;
        EXPECT_GT(made, 0);
    }
}

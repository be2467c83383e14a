// Move generation and move selection. Every expected list is written as move
// texts in generation order: from-square and to-square (the mover's square
// and that square plus delta), then a tag for the kind (" dp" double push,
// " ep" en passant, " OO"/" OOO" castling, " =Q" ... " =n" promotion with the
// new piece's FEN letter) and, when the sortKey is not the empty-square code,
// " x" with the sortKey in hexadecimal (the victim's code for a capture).
// An en passant record's target is the square of the pawn it takes.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "diag/check.h"
#include "engine_fixture.h"
#include "movegen/attack.h"
#include "movegen/generate.h"
#include "position/board.h"
#include "position/make_move.h"
#include "position/setup.h"
#include "search/ply.h"
#include "search/select.h"

namespace {

using namespace brevola;
using namespace brevola::testing;
using Texts = std::vector<std::string>;

std::string hex8(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
    return text;
}

std::string kindTag(MoveKind kind) {
    switch (kind) {
    case Normal: return "";
    case CastleKingSide: return " OO";
    case CastleQueenSide: return " OOO";
    case EnPassant: return " ep";
    case DoublePush: return " dp";
    }
    const std::pair<PieceCode, const char *> promotions[] = {
        {WhiteQueen, " =Q"},  {WhiteRook, " =R"},  {WhiteBishop, " =B"}, {WhiteKnight, " =N"},
        {BlackQueen, " =q"},  {BlackRook, " =r"},  {BlackBishop, " =b"}, {BlackKnight, " =n"},
    };
    for (const auto &p : promotions)
        if (p.first == kind) return p.second;
    return " kind=" + hex8(kind);
}

// The text of a move of a list that has not been made.
std::string moveText(const Move &m) {
    if (!m.mover || !m.mover->square) return "(no mover)";
    const Square *from = m.mover->square;
    std::string text = nameOf(from) + nameOf(from + m.delta) + kindTag(m.kind);
    if (m.sortKey != EmptyCode) text += " x" + hex8(m.sortKey);
    return text;
}

Texts listOf(const Ply *ply) {
    Texts texts;
    for (const Move *m = ply->listStart; m < listEnd(ply); ++m) texts.push_back(moveText(*m));
    return texts;
}

// The records of a list whose mover stands on the named square.
Texts movesFrom(const Ply *ply, const char *square) {
    Texts texts;
    for (const Move *m = ply->listStart; m < listEnd(ply); ++m)
        if (m->mover && m->mover->square == at(square)) texts.push_back(moveText(*m));
    return texts;
}

// Plays a move on the game as a typed move does: a set-up from the board,
// generation at the root, make, and the exchange of the history plies so that
// the next set-up hands the move to the other side.
void play(const std::string &fromTo) {
    setUpPosition();
    generateMoves(rootPly);
    Move *move = findMove(rootPly, fromTo);
    ASSERT_NE(move, nullptr) << fromTo << " not generated";
    runningScore = makeMove(move, rootPly, runningScore);
    ASSERT_FALSE(isInCheck(rootPly)) << fromTo << " leaves its king attacked";
    std::swap(historyToMove->side, historyMoved->side);
    std::swap(historyToMove->pieces, historyMoved->pieces);
    std::swap(historyToMove->king, historyMoved->king);
    historyMoved->doublePushSquare = rootPly->doublePushSquare;
}

// Set-up from the board as the played moves left it, then the root's list.
Texts rootListAfterPlay() {
    setUpPosition();
    generateMoves(rootPly);
    return listOf(rootPly);
}

Texts castlingOf(const Texts &list) {
    Texts castling;
    for (const std::string &t : list)
        if (t.find(" OO") != std::string::npos) castling.push_back(t);
    return castling;
}

Texts enPassantOf(const Texts &list) {
    Texts captures;
    for (const std::string &t : list)
        if (t.find(" ep") != std::string::npos) captures.push_back(t);
    return captures;
}

const Texts StartWhiteList = {
    "a2a3", "a2a4 dp", "b2b3", "b2b4 dp", "c2c3", "c2c4 dp", "d2d3", "d2d4 dp", "e2e3", "e2e4 dp",
    "f2f3", "f2f4 dp", "g2g3", "g2g4 dp", "h2h3", "h2h4 dp", "b1c3", "b1a3", "g1h3", "g1f3",
};

const Texts StartBlackList = {
    "b8c6", "b8a6", "g8h6", "g8f6", "a7a6", "a7a5 dp", "b7b6", "b7b5 dp", "c7c6", "c7c5 dp",
    "d7d6", "d7d5 dp", "e7e6", "e7e5 dp", "f7f6", "f7f5 dp", "g7g6", "g7g5 dp", "h7h6", "h7h5 dp",
};

// ---------------------------------------------------------------------------
// Piece and pawn generators: the moves of one piece, in generation order.
// ---------------------------------------------------------------------------

struct PieceCase {
    const char *name;
    const char *fen;
    const char *square;
    Texts expected;
};

// Every parameterised case below carries a name: it names the test and
// stands for the case in listings and failure messages.
template <class Case> std::string caseName(const ::testing::TestParamInfo<Case> &info) {
    return info.param.name;
}
void PrintTo(const PieceCase &c, std::ostream *os) { *os << c.name; }

class GeneratorPiece : public ::testing::TestWithParam<PieceCase> {};

TEST_P(GeneratorPiece, MovesInGenerationOrder) {
    const PieceCase &c = GetParam();
    newGameFrom(c.fen);
    generateMoves(rootPly);
    EXPECT_EQ(movesFrom(rootPly, c.square), c.expected) << c.fen;
}

const PieceCase PieceCases[] = {
    {"QueenD4", "1k6/8/8/8/3Q4/8/8/7K w - - 0 1", "d4",
     {"d4d5", "d4d6", "d4d7", "d4d8", "d4d3", "d4d2", "d4d1", "d4e4", "d4f4",
      "d4g4", "d4h4", "d4c4", "d4b4", "d4a4", "d4e5", "d4f6", "d4g7", "d4h8",
      "d4e3", "d4f2", "d4g1", "d4c5", "d4b6", "d4a7", "d4c3", "d4b2", "d4a1"}},
    {"RookA1", "7K/8/2k5/8/8/8/8/R7 w - - 0 1", "a1",
     {"a1a2", "a1a3", "a1a4", "a1a5", "a1a6", "a1a7", "a1a8", "a1b1", "a1c1", "a1d1", "a1e1",
      "a1f1", "a1g1", "a1h1"}},
    {"RookCaptureAndOwnBlock", "4k3/8/3P4/8/3R1p2/8/8/4K3 w - - 0 1", "d4",
     {"d4d5", "d4d3", "d4d2", "d4d1", "d4e4", "d4f4 x01000202", "d4c4", "d4b4", "d4a4"}},
    {"BlackRookCapturesOnSeventhStep", "r3k3/8/8/8/8/8/8/N3K3 b - - 0 1", "a8",
     {"a8a7", "a8a6", "a8a5", "a8a4", "a8a3", "a8a2", "a8a1 x03000500", "a8b8", "a8c8", "a8d8"}},
    {"BishopB2", "4k3/8/8/4n3/8/P7/1B6/4K3 w - - 0 1", "b2",
     {"b2c3", "b2d4", "b2e5 x03000A00", "b2c1", "b2a1"}},
    {"KingE1", "4k3/8/8/8/8/8/8/4K3 w - - 0 1", "e1", {"e1e2", "e1d1", "e1f1", "e1f2", "e1d2"}},
    {"KingOwnAndEnemyNeighbours", "4k3/8/8/8/8/8/3pP3/4K3 w - - 0 1", "e1",
     {"e1d1", "e1f1", "e1f2", "e1d2 x01000202"}},
    {"KnightG1Start", StartFen, "g1", {"g1h3", "g1f3"}},
    {"KnightA8Corner", "N3k3/8/8/8/8/8/8/4K3 w - - 0 1", "a8", {"a8b6", "a8c7"}},
    {"KnightE4", "4k3/8/3p1P2/8/4N3/8/8/4K3 w - - 0 1", "e4",
     {"e4d6 x01000202", "e4g5", "e4c5", "e4f2", "e4d2", "e4g3", "e4c3"}},
    {"RookA1StartHasNoMove", StartFen, "a1", {}},
};
INSTANTIATE_TEST_SUITE_P(Pieces, GeneratorPiece, ::testing::ValuesIn(PieceCases),
                         caseName<PieceCase>);

const PieceCase PawnCases[] = {
    {"E2BlockedOnE3", "4k3/8/8/8/8/4n3/4P3/4K3 w - - 0 1", "e2", {}},
    {"E2BlockedOnE4", "4k3/8/8/8/4n3/8/4P3/4K3 w - - 0 1", "e2", {"e2e3"}},
    {"E2CapturesEnemyNotOwn", "4k3/8/8/8/8/3N1n2/4P3/4K3 w - - 0 1", "e2",
     {"e2f3 x03000A00", "e2e3", "e2e4 dp"}},
    {"E3SingleStepOnly", "4k3/8/8/8/8/4P3/8/4K3 w - - 0 1", "e3", {"e3e4"}},
    {"E6BlackSingleStepOnly", "4k3/8/4p3/8/8/8/8/4K3 b - - 0 1", "e6", {"e6e5"}},
    {"B6ToSeventhRankIsNoPromotion", "4k3/8/1P6/8/8/8/8/4K3 w - - 0 1", "b6", {"b6b7"}},
    {"G3ToSecondRankIsNoPromotion", "4k3/8/8/8/8/6p1/8/4K3 b - - 0 1", "g3", {"g3g2"}},
    {"E7BlackBlockedOnE5", "4k3/4p3/8/4N3/8/8/8/4K3 b - - 0 1", "e7", {"e7e6"}},
    {"B7PromotesTwelveWays", "r1n1k3/1P6/8/8/8/8/8/4K3 w - - 0 1", "b7",
     {"b7c8 =Q x03000A00", "b7c8 =R x03000A00", "b7c8 =B x03000A00", "b7c8 =N x03000A00",
      "b7a8 =Q x05000220", "b7a8 =R x05000220", "b7a8 =B x05000220", "b7a8 =N x05000220",
      "b7b8 =Q", "b7b8 =R", "b7b8 =B", "b7b8 =N"}},
    {"G2BlackPromotes", "4k3/8/8/8/8/8/6p1/4K2R b - - 0 1", "g2",
     {"g2h1 =q x05000110", "g2h1 =r x05000110", "g2h1 =b x05000110", "g2h1 =n x05000110",
      "g2g1 =q", "g2g1 =r", "g2g1 =b", "g2g1 =n"}},
    {"WhiteA2", "4k3/8/8/8/8/1p4p1/P6P/4K3 w - - 0 1", "a2",
     {"a2b3 x01000202", "a2a3", "a2a4 dp"}},
    {"WhiteH2", "4k3/8/8/8/8/1p4p1/P6P/4K3 w - - 0 1", "h2",
     {"h2g3 x01000202", "h2h3", "h2h4 dp"}},
    {"BlackA7", "4k3/p6p/1P4P1/8/8/8/8/4K3 b - - 0 1", "a7",
     {"a7b6 x01000101", "a7a6", "a7a5 dp"}},
    {"BlackH7", "4k3/p6p/1P4P1/8/8/8/8/4K3 b - - 0 1", "h7",
     {"h7g6 x01000101", "h7h6", "h7h5 dp"}},
};
INSTANTIATE_TEST_SUITE_P(Pawns, GeneratorPiece, ::testing::ValuesIn(PawnCases),
                         caseName<PieceCase>);

// ---------------------------------------------------------------------------
// Whole lists of a ply and the ply's counters.
// ---------------------------------------------------------------------------

TEST(PlyGeneration, StartPositionWhiteListAndCounters) {
    newGameFrom(StartFen);
    rootPly->legalCount = 7;
    generateMoves(rootPly);
    EXPECT_EQ(listOf(rootPly), StartWhiteList);
    EXPECT_EQ(listEnd(rootPly), rootPly->listStart + 20);
    EXPECT_EQ(rootPly->generatedCount, 20u);
    EXPECT_EQ(rootPly->legalCount, 0u);

    // The same position again: the same records, and the count runs on.
    generateMoves(rootPly);
    EXPECT_EQ(listOf(rootPly), StartWhiteList);
    EXPECT_EQ(rootPly->generatedCount, 40u);
}

TEST(PlyGeneration, StartPositionBlackListBeginsWithRankEight) {
    newGameFrom("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1");
    generateMoves(rootPly);
    EXPECT_EQ(listOf(rootPly), StartBlackList);
}

TEST(PlyGeneration, ChildListFollowsParentList) {
    newGameFrom(StartFen);
    generateMoves(rootPly);
    Move *first = rootPly->listStart;
    makeMove(first, rootPly, 0);
    Ply *child = rootPly + 1;
    generateMoves(child);
    EXPECT_EQ(child->listStart, rootPly->listStart + 20);
    EXPECT_EQ(listEnd(child), child->listStart + 20);
    EXPECT_EQ(listOf(child), StartBlackList);
    EXPECT_EQ(child->generatedCount, 20u);
}

TEST(PlyGeneration, CapturedPieceProducesNoMoves) {
    newGameFrom("4k3/8/8/3n4/4P3/8/8/4K3 w - - 0 1");
    PieceEntry *knight = at("d5")->piece;
    generateMoves(rootPly);
    Move *capture = findMove(rootPly, "e4d5");
    ASSERT_NE(capture, nullptr);
    makeMove(capture, rootPly, 0);
    generateMoves(rootPly + 1);
    EXPECT_EQ(knight->square, at("d5")) << "a captured piece keeps its square";
    EXPECT_EQ(listOf(rootPly + 1), (Texts{"e8e7", "e8d8", "e8f8", "e8f7", "e8d7"}));
}

TEST(PlyGeneration, PromotedPawnKeepsItsPlaceWithItsNewPiece) {
    newGameFrom("7k/1P6/8/8/8/8/8/K7 w - - 0 1");
    generateMoves(rootPly);
    Move *promotion = findMove(rootPly, "b7b8");
    ASSERT_NE(promotion, nullptr);
    ASSERT_EQ(promotion->kind, WhiteQueen);
    makeMove(promotion, rootPly, 0);
    generateMoves(rootPly + 1);
    Move *kingStep = findMove(rootPly + 1, "h8h7");
    ASSERT_NE(kingStep, nullptr);
    makeMove(kingStep, rootPly + 1, 0);
    generateMoves(rootPly + 2);
    EXPECT_EQ(listOf(rootPly + 2),
              (Texts{"b8b7", "b8b6", "b8b5", "b8b4", "b8b3", "b8b2", "b8b1", "b8c8",
                     "b8d8", "b8e8", "b8f8", "b8g8", "b8h8", "b8a8", "b8c7", "b8d6",
                     "b8e5", "b8f4", "b8g3", "b8h2", "b8a7", "a1a2", "a1b1", "a1b2"}));
}

TEST(PlyGeneration, SideWithoutAnyMoveLeavesAnEmptyList) {
    // Sixteen white pieces that block each other completely.
    newGameFrom("k5PP/6PP/6PP/6PP/6PP/6PP/6PP/6PK w - - 0 1");
    rootPly->legalCount = 3;
    generateMoves(rootPly);
    EXPECT_EQ(listEnd(rootPly), rootPly->listStart);
    EXPECT_EQ(rootPly->generatedCount, 0u);
    EXPECT_EQ(rootPly->legalCount, 0u);
}

// ---------------------------------------------------------------------------
// Castling: which of the two moves end the list.
// ---------------------------------------------------------------------------

// A position and the moves of one kind that its root list must hold (the
// castlings here, the en passant captures further down).
struct ListCase {
    const char *name;
    const char *fen;
    Texts expected;
};

void PrintTo(const ListCase &c, std::ostream *os) { *os << c.name; }

class CastlingGeneration : public ::testing::TestWithParam<ListCase> {};

TEST_P(CastlingGeneration, CastlingMovesEndTheList) {
    const ListCase &c = GetParam();
    newGameFrom(c.fen);
    generateMoves(rootPly);
    Texts list = listOf(rootPly);
    Texts castling = castlingOf(list);
    EXPECT_EQ(castling, c.expected) << c.fen;
    ASSERT_LE(castling.size(), list.size());
    EXPECT_EQ(Texts(list.end() - static_cast<long>(castling.size()), list.end()), castling)
        << "castling must come last";
}

const ListCase CastlingCases[] = {
    {"ItalianOpening", "r1bqk1nr/pppp1ppp/2n5/2b1p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4",
     {"e1g1 OO"}},
    {"BothFree", "4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", {"e1g1 OO", "e1c1 OOO"}},
    {"InCheck", "4k3/8/8/4r3/8/8/8/R3K2R w KQ - 0 1", {}},
    {"F1Attacked", "5r1k/8/8/8/8/8/8/R3K2R w KQ - 0 1", {"e1c1 OOO"}},
    {"OnlyG1Attacked", "6rk/8/8/8/8/8/8/R3K2R w KQ - 0 1", {"e1g1 OO", "e1c1 OOO"}},
    {"D1Attacked", "3r2k1/8/8/8/8/8/8/R3K2R w KQ - 0 1", {"e1g1 OO"}},
    {"C1Attacked", "2r1k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", {"e1g1 OO", "e1c1 OOO"}},
    {"B1Attacked", "1r2k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", {"e1g1 OO", "e1c1 OOO"}},
    {"B1Occupied", "4k3/8/8/8/8/8/8/RN2K2R w KQ - 0 1", {"e1g1 OO"}},
    {"G1Occupied", "4k3/8/8/8/8/8/8/R3K1NR w KQ - 0 1", {"e1c1 OOO"}},
    {"NoRights", "4k3/8/8/8/8/8/8/R3K2R w - - 0 1", {}},
    {"KingSideRightOnly", "4k3/8/8/8/8/8/8/R3K2R w K - 0 1", {"e1g1 OO"}},
    {"QueenSideRightOnly", "4k3/8/8/8/8/8/8/R3K2R w Q - 0 1", {"e1c1 OOO"}},
    {"BlackBothFree", "r3k2r/8/8/8/8/8/8/4K3 b kq - 0 1", {"e8g8 OO", "e8c8 OOO"}},
    {"BlackF8Attacked", "r3k2r/8/8/8/8/8/8/4KR2 b kq - 0 1", {"e8c8 OOO"}},
    {"BlackD8Attacked", "r3k2r/8/8/8/8/8/8/3RK3 b kq - 0 1", {"e8g8 OO"}},
    {"BlackCheckedByKnight", "r3k2r/8/3N4/8/8/8/8/4K3 b kq - 0 1", {}},
};
INSTANTIATE_TEST_SUITE_P(Cases, CastlingGeneration, ::testing::ValuesIn(CastlingCases),
                         caseName<ListCase>);

TEST(CastlingLegality, OnlyG1AttackedIsRejectedAfterMake) {
    newGameFrom("6rk/8/8/8/8/8/8/R3K2R w KQ - 0 1");
    generateMoves(rootPly);
    Move *kingSide = findMove(rootPly, "e1g1");
    Move *queenSide = findMove(rootPly, "e1c1");
    ASSERT_NE(kingSide, nullptr);
    ASSERT_NE(queenSide, nullptr);
    makeMove(kingSide, rootPly, 0);
    EXPECT_TRUE(isInCheck(rootPly)) << "the king lands on the attacked g1";
    unmakeMove(rootPly, kingSide);
    makeMove(queenSide, rootPly, 0);
    EXPECT_FALSE(isInCheck(rootPly));
    unmakeMove(rootPly, queenSide);
}

TEST(CastlingHistory, ItalianOpeningPlayedFromTheStart) {
    newGameFrom(StartFen);
    for (const char *move : {"e2e4", "e7e5", "g1f3", "b8c6", "f1c4", "f8c5"})
        ASSERT_NO_FATAL_FAILURE(play(move));
    Texts white = rootListAfterPlay();
    ASSERT_FALSE(white.empty());
    EXPECT_EQ(white.back(), "e1g1 OO");
    EXPECT_EQ(castlingOf(white), Texts{"e1g1 OO"});

    // The black knight leaves g8 so that Black may castle too.
    for (const char *move : {"d2d3", "g8f6", "b1c3"}) ASSERT_NO_FATAL_FAILURE(play(move));
    Texts black = rootListAfterPlay();
    EXPECT_EQ(castlingOf(black), Texts{"e8g8 OO"});
    EXPECT_EQ(black.back(), "e8g8 OO");
}

TEST(CastlingHistory, RookThatMovedAwayAndBackLosesItsSide) {
    newGameFrom("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    for (const char *move : {"h1h2", "a8a7", "h2h1", "a7a8"}) ASSERT_NO_FATAL_FAILURE(play(move));
    EXPECT_EQ(at("h1")->piece->moveCount, 2);
    EXPECT_EQ(castlingOf(rootListAfterPlay()), Texts{"e1c1 OOO"});

    ASSERT_NO_FATAL_FAILURE(play("a1b1"));
    EXPECT_EQ(castlingOf(rootListAfterPlay()), Texts{"e8g8 OO"});
}

TEST(CastlingHistory, KingThatMovedAwayAndBackLosesBothSides) {
    newGameFrom("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    for (const char *move : {"e1f1", "e8d8", "f1e1", "d8e8"}) ASSERT_NO_FATAL_FAILURE(play(move));
    EXPECT_EQ(castlingOf(rootListAfterPlay()), Texts{});
    ASSERT_NO_FATAL_FAILURE(play("a1a2"));
    EXPECT_EQ(castlingOf(rootListAfterPlay()), Texts{});
}

TEST(CastlingHistory, KingTakenOffTheBoardCannotCastle) {
    // White to move while the black king on e8 stands in check from b5: the
    // bishop takes the king. Black keeps both castling rights from the text,
    // but its king is off the board and must not castle with the bishop that
    // now stands on e8 (that left the bishop's square and entry disagreeing).
    newGameFrom("r3k2r/8/8/1B6/8/8/8/4K3 w kq - 0 1");
    ASSERT_NO_FATAL_FAILURE(play("b5e8"));
    EXPECT_EQ(castlingOf(rootListAfterPlay()), Texts{});
    EXPECT_EQ(checkBoard(), nullptr);
}

// ---------------------------------------------------------------------------
// En passant: the captures that open the list.
// ---------------------------------------------------------------------------

class EnPassantGeneration : public ::testing::TestWithParam<ListCase> {};

TEST_P(EnPassantGeneration, CapturesOpenTheList) {
    const ListCase &c = GetParam();
    newGameFrom(c.fen);
    generateMoves(rootPly);
    Texts list = listOf(rootPly);
    EXPECT_EQ(enPassantOf(list), c.expected) << c.fen;
    ASSERT_LE(c.expected.size(), list.size());
    EXPECT_EQ(Texts(list.begin(), list.begin() + static_cast<long>(c.expected.size())),
              c.expected)
        << "en passant captures must come first";
}

const ListCase EnPassantCases[] = {
    {"BlackTakesE4FromBothSides", "4k3/8/8/8/3pPp2/8/8/4K3 b - e3 0 1",
     {"f4e4 ep x01000101", "d4e4 ep x01000101"}},
    {"WhiteTakesE5FromBothSides", "4k3/8/8/3PpP2/8/8/8/4K3 w - e6 0 1",
     {"f5e5 ep x01000202", "d5e5 ep x01000202"}},
    {"NoDoublePush", "4k3/8/8/8/3pPp2/8/8/4K3 b - - 0 1", {}},
    {"KnightBesideThePawn", "4k3/8/8/8/4Pn2/8/8/4K3 b - e3 0 1", {}},
    {"PawnOfThePushingSideBeside", "4k3/8/8/8/3PPp2/8/8/4K3 b - e3 0 1",
     {"f4e4 ep x01000101"}},
    {"PushedPawnOnFileA", "4k3/8/8/8/Pp6/8/8/4K3 b - a3 0 1", {"b4a4 ep x01000101"}},
    {"PushedPawnOnFileH", "4k3/8/8/8/6pP/8/8/4K3 b - h3 0 1", {"g4h4 ep x01000101"}},
};
INSTANTIATE_TEST_SUITE_P(Cases, EnPassantGeneration, ::testing::ValuesIn(EnPassantCases),
                         caseName<ListCase>);

TEST(EnPassantList, FullListAfterTheFenField) {
    newGameFrom("4k3/8/8/8/3pPp2/8/8/4K3 b - e3 0 1");
    generateMoves(rootPly);
    EXPECT_EQ(listOf(rootPly),
              (Texts{"f4e4 ep x01000101", "d4e4 ep x01000101", "e8e7", "e8d8", "e8f8", "e8f7",
                     "e8d7", "d4d3", "f4f3"}));
    EXPECT_EQ(rootPly->listStart[0].delta, -1);
    EXPECT_EQ(rootPly->listStart[1].delta, +1);
}

TEST(EnPassantHistory, OnlyRightAfterTheDoublePush) {
    newGameFrom("4k3/8/8/8/3p1p2/8/4P3/4K3 w - - 0 1");
    ASSERT_NO_FATAL_FAILURE(play("e2e4"));
    EXPECT_EQ(historyMoved->doublePushSquare, at("e4"));
    Texts black = rootListAfterPlay();
    EXPECT_EQ(enPassantOf(black), (Texts{"f4e4 ep x01000101", "d4e4 ep x01000101"}));
    EXPECT_EQ(black.front(), "f4e4 ep x01000101");

    ASSERT_NO_FATAL_FAILURE(play("e8d8"));
    ASSERT_NO_FATAL_FAILURE(play("e1d1"));
    EXPECT_EQ(historyMoved->doublePushSquare, nullptr);
    EXPECT_EQ(enPassantOf(rootListAfterPlay()), Texts{});
}

TEST(EnPassantHistory, SingleStepGivesNoCapture) {
    newGameFrom("4k3/8/8/8/3p1p2/4P3/8/4K3 w - - 0 1");
    ASSERT_NO_FATAL_FAILURE(play("e3e4"));
    EXPECT_EQ(enPassantOf(rootListAfterPlay()), Texts{});
}

// ---------------------------------------------------------------------------
// Move selection.
// ---------------------------------------------------------------------------

// Lays a list of the given keys by hand at the root, away from the start of
// the move stack; selection reads nothing but the keys.
Move *layList(const std::vector<int32_t> &keys, int offset = 37) {
    Move *start = moveStack + offset;
    for (size_t i = 0; i < keys.size(); ++i)
        start[i] = Move{keys[i], Normal, nullptr, 0, 0};
    rootPly->listStart = start;
    (rootPly + 1)->listStart = start + keys.size();
    return start;
}

// Positions in the order selection hands them out, each one marked as tried
// the way make marks it.
std::vector<int> pickOrder(Move *start, size_t n) {
    std::vector<int> order;
    while (Move *m = selectBestMove(rootPly)) {
        order.push_back(static_cast<int>(m - start));
        if (m->sortKey == MinusInfinity || order.size() > n) break;
        m->sortKey = MinusInfinity;
    }
    return order;
}

struct SelectionCase {
    const char *name;
    std::vector<int32_t> keys;
    std::vector<int> order;
};

void PrintTo(const SelectionCase &c, std::ostream *os) { *os << c.name; }

class SelectionOrder : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(SelectionOrder, PicksHighestKeyLaterFirst) {
    const SelectionCase &c = GetParam();
    Move *start = layList(c.keys);
    EXPECT_EQ(pickOrder(start, c.keys.size()), c.order);
}

constexpr int32_t E = EmptyCode;
constexpr int32_t Tried = MinusInfinity;

const SelectionCase SelectionCases[] = {
    {"EmptyList", {}, {}},
    {"AllTried", {Tried, Tried, Tried}, {}},
    {"OneQuietMove", {E}, {0}},
    {"JustAboveTheTriedMark", {Tried, Tried + 1, Tried}, {1}},
    {"QuietMovesLastFirst", {E, E, E, E}, {3, 2, 1, 0}},
    {"EqualCapturesLaterFirst", {BlackPawn, E, BlackPawn}, {2, 0, 1}},
    {"PawnCaptureBeforeQuietAtStart", {BlackPawn, E, E}, {0, 2, 1}},
    {"PawnCaptureBeforeQuietAtEnd", {E, E, WhitePawn}, {2, 1, 0}},
    {"KnightBeforeBishopBlack", {BlackBishop, BlackKnight}, {1, 0}},
    {"KnightBeforeBishopWhite", {WhiteKnight, WhiteBishop}, {0, 1}},
    {"VictimsByValue",
     {E, BlackPawn, BlackQueen, BlackKing, BlackRook, BlackBishop, BlackKnight, E},
     {3, 2, 4, 6, 5, 1, 7, 0}},
    {"RootValuesOfAnIteration", {-5 * 65536, 30 * 65536, 100 * 65536, Tried, 0}, {2, 1, 4, 0}},
};
INSTANTIATE_TEST_SUITE_P(Cases, SelectionOrder, ::testing::ValuesIn(SelectionCases),
                         caseName<SelectionCase>);

TEST(SelectionLongList, ListLongerThan256Moves) {
    std::vector<int32_t> keys(300, E);
    keys[0] = BlackPawn;
    keys[3] = BlackKnight;
    keys[10] = BlackRook;
    keys[270] = BlackKnight;
    keys[280] = BlackQueen;
    std::vector<int> expected = {280, 10, 270, 3, 0};
    for (int i = 299; i >= 1; --i)
        if (i != 3 && i != 10 && i != 270 && i != 280) expected.push_back(i);
    Move *start = layList(keys);
    EXPECT_EQ(pickOrder(start, keys.size()), expected);
}

TEST(SelectionLongList, ListAsLongAsTheWholeMoveStack) {
    std::vector<int32_t> keys(MoveStackSize, E);
    keys[0] = BlackRook;
    keys[9000] = BlackRook;
    Move *start = layList(keys, 0);
    Move *first = selectBestMove(rootPly);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first - start, 9000);
    first->sortKey = Tried;
    Move *second = selectBestMove(rootPly);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second - start, 0);
    second->sortKey = Tried;
    Move *third = selectBestMove(rootPly);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third - start, MoveStackSize - 1);
}

TEST(SelectionGenerated, CapturesByVictimThenQuietMovesFromTheEnd) {
    // The white queen on d4 can take a queen, a rook, a knight, a bishop and
    // two pawns; make marks each move tried, unmake leaves the mark.
    newGameFrom("k7/8/3p1r2/8/1n1Q1b2/8/1q1p4/7K w - - 0 1");
    generateMoves(rootPly);
    ASSERT_EQ(listOf(rootPly),
              (Texts{"d4d5", "d4d6 x01000202", "d4d3", "d4d2 x01000202", "d4e4",
                     "d4f4 x03000208", "d4c4", "d4b4 x03000A00", "d4e5", "d4f6 x05000220",
                     "d4e3", "d4f2", "d4g1", "d4c5", "d4b6", "d4a7", "d4c3",
                     "d4b2 x0A002228", "h1h2", "h1g1", "h1g2"}));
    Texts picked;
    while (Move *m = selectBestMove(rootPly)) {
        picked.push_back(moveText(*m).substr(0, 4));
        makeMove(m, rootPly, 0);
        EXPECT_EQ(m->sortKey, MinusInfinity);
        unmakeMove(rootPly, m);
        if (picked.size() > 21) break;
    }
    EXPECT_EQ(picked, (Texts{"d4b2", "d4f6", "d4b4", "d4f4", "d4d2", "d4d6", "h1g2", "h1g1",
                             "h1h2", "d4c3", "d4a7", "d4b6", "d4c5", "d4g1", "d4f2", "d4e3",
                             "d4e5", "d4c4", "d4e4", "d4d3", "d4d5"}));
}

} // namespace

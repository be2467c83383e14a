// Attack and check detection: the worked cases of which pieces attack a king
// (pawns only from the diagonals ahead, kings only from the next square,
// sliders until the first piece, knights over anything, never the side's own
// pieces), a king move into an attacked square caught after make, and a
// square-by-square comparison with a plain file-and-rank reference.
#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "movegen/attack.h"
#include "movegen/generate.h"
#include "position/board.h"
#include "position/make_move.h"
#include "search/ply.h"

namespace {

using namespace brevola;
using namespace brevola::testing;

// ---------------------------------------------------------------------------
// The king of the side to move, attacked or not.
// ---------------------------------------------------------------------------

struct CheckCase {
    const char *fen;
    bool inCheck;
    const char *why;
};

void PrintTo(const CheckCase &c, std::ostream *os) { *os << c.why; }

class AttackOnKing : public ::testing::TestWithParam<CheckCase> {};

TEST_P(AttackOnKing, IsInCheckAtRoot) {
    const CheckCase &c = GetParam();
    newGameFrom(c.fen);
    EXPECT_EQ(isInCheck(rootPly), c.inCheck) << c.why << "\n  " << c.fen;
}

const CheckCase PawnCases[] = {
    {"4k3/8/8/8/8/8/3p4/4K3 w - - 0 1", true, "black pawn d2 takes towards e1"},
    {"4k3/8/8/8/8/8/5p2/4K3 w - - 0 1", true, "black pawn f2 takes towards e1"},
    {"4k3/8/8/8/8/8/4p3/4K3 w - - 0 1", false, "black pawn e2 only pushes"},
    {"4k3/8/8/3p4/4K3/8/8/8 w - - 0 1", true, "black pawn d5 ahead of the king on e4"},
    {"4k3/8/8/5p2/4K3/8/8/8 w - - 0 1", true, "black pawn f5 ahead of the king on e4"},
    {"4k3/8/8/8/4K3/3p4/8/8 w - - 0 1", false, "black pawn d3 behind the king on e4"},
    {"4k3/8/8/8/4K3/5p2/8/8 w - - 0 1", false, "black pawn f3 behind the king on e4"},
    {"8/8/8/4k3/3P4/8/8/K7 b - - 0 1", true, "white pawn d4 below the king on e5"},
    {"8/8/8/4k3/5P2/8/8/K7 b - - 0 1", true, "white pawn f4 below the king on e5"},
    {"8/8/3P4/4k3/8/8/8/K7 b - - 0 1", false, "white pawn d6 behind the king on e5"},
    {"8/8/5P2/4k3/8/8/8/K7 b - - 0 1", false, "white pawn f6 behind the king on e5"},
    {"8/8/8/3pk3/8/8/8/K7 b - - 0 1", false, "own pawn beside the black king"},
};
INSTANTIATE_TEST_SUITE_P(Pawns, AttackOnKing, ::testing::ValuesIn(PawnCases));

const CheckCase KingCases[] = {
    {"8/8/8/8/8/4k3/8/4K3 w - - 0 1", false, "black king two squares away on e3"},
    {"8/8/8/8/8/8/4k3/4K3 w - - 0 1", true, "black king next to it on e2"},
    {"8/8/8/8/8/8/3k4/4K3 w - - 0 1", true, "black king diagonally next to it on d2"},
    {"8/8/8/8/4K3/3k4/8/8 w - - 0 1", true, "black king on d3, diagonal towards rank 1"},
    {"8/8/8/8/3kK3/8/8/8 w - - 0 1", true, "black king beside it on d4"},
    {"8/8/3K4/4k3/8/8/8/8 b - - 0 1", true, "white king on d6, diagonal towards rank 8"},
    {"8/8/8/4k3/8/4K3/8/8 b - - 0 1", false, "white king two squares away on e3"},
};
INSTANTIATE_TEST_SUITE_P(Kings, AttackOnKing, ::testing::ValuesIn(KingCases));

const CheckCase SliderCases[] = {
    {"4r2k/8/8/8/4N3/8/8/4K3 w - - 0 1", false, "rook e8 blocked by a white knight on e4"},
    {"4r2k/8/8/8/8/8/8/4K3 w - - 0 1", true, "rook e8 on the open file"},
    {"4r2k/8/8/8/4p3/8/8/4K3 w - - 0 1", false, "rook e8 blocked by a black pawn on e4"},
    {"4q2k/8/8/8/8/8/8/4K3 w - - 0 1", true, "queen e8 on the open file"},
    {"7k/8/8/q7/8/8/8/4K3 w - - 0 1", true, "queen a5 on the diagonal"},
    {"7k/8/8/b7/8/8/8/4K3 w - - 0 1", true, "bishop a5 on the diagonal"},
    {"7k/8/8/r7/8/8/8/4K3 w - - 0 1", false, "rook a5 on a diagonal does not attack"},
    {"4b2k/8/8/8/8/8/8/4K3 w - - 0 1", false, "bishop e8 on a file does not attack"},
    {"7k/8/8/q7/8/2P5/8/4K3 w - - 0 1", false, "queen a5 blocked by a white pawn on c3"},
    {"7k/8/8/8/8/8/8/r3K3 w - - 0 1", true, "rook a1 along the rank towards file a"},
    {"7k/8/8/8/8/8/8/4K2r w - - 0 1", true, "rook h1 along the rank towards file h"},
    {"K7/8/8/8/8/8/8/r3k3 w - - 0 1", true, "rook a1 seven squares down the file"},
    {"K7/8/8/8/8/8/8/4k2q w - - 0 1", true, "queen h1 seven squares down the long diagonal"},
    {"4k3/8/8/8/8/8/8/4K2B b - - 0 1", false, "bishop h1 is not on a line with e8"},
    {"4k3/8/8/8/B7/8/8/4K3 b - - 0 1", true, "white bishop a4 on the diagonal to e8"},
    {"4k3/8/8/8/8/8/8/4R1K1 b - - 0 1", true, "white rook e1 up the open file"},
    {"4k3/8/8/8/8/8/8/1Q4K1 b - - 0 1", false, "white queen b1 is on no line to e8"},
    {"4k3/8/8/7Q/8/8/8/6K1 b - - 0 1", true, "white queen h5 on the diagonal to e8"},
};
INSTANTIATE_TEST_SUITE_P(Sliders, AttackOnKing, ::testing::ValuesIn(SliderCases));

const CheckCase KnightCases[] = {
    {"4k3/8/8/8/8/3n4/3PPP2/3QKB2 w - - 0 1", true, "knight d3 jumps over the wall"},
    {"4k3/8/8/8/8/5n2/3PPP2/3QKB2 w - - 0 1", true, "knight f3 jumps over the wall"},
    {"4k3/8/8/8/8/8/2n5/4K3 w - - 0 1", true, "knight c2"},
    {"4k3/8/8/8/8/8/6n1/4K3 w - - 0 1", true, "knight g2"},
    {"4k3/8/8/8/8/8/3n4/4K3 w - - 0 1", false, "knight d2 is next to the king, not a jump away"},
    {"4k3/8/8/8/8/4n3/8/4K3 w - - 0 1", false, "knight e3 two squares straight ahead"},
    {"4k3/8/5N2/8/8/8/8/4K3 b - - 0 1", true, "white knight f6 against e8"},
    {"4k3/2N5/8/8/8/8/8/4K3 b - - 0 1", true, "white knight c7 against e8"},
};
INSTANTIATE_TEST_SUITE_P(Knights, AttackOnKing, ::testing::ValuesIn(KnightCases));

const CheckCase OwnPieceCases[] = {
    {"4R2k/8/8/8/8/8/8/4K3 w - - 0 1", false, "own rook e8 on the open file"},
    {"7k/8/8/8/8/3N4/8/4K3 w - - 0 1", false, "own knight d3"},
    {"7k/8/8/8/8/8/3P4/4K3 w - - 0 1", false, "own pawn d2"},
    {"7k/8/8/8/8/8/4Q3/4K3 w - - 0 1", false, "own queen e2"},
    {"4k3/8/8/8/8/8/8/K3r3 b - - 0 1", false, "black rook e1 below the black king"},
    {"4k3/3p4/5n2/8/8/8/8/K7 b - - 0 1", false, "black pawn d7 and knight f6 around their king"},
};
INSTANTIATE_TEST_SUITE_P(OwnPieces, AttackOnKing, ::testing::ValuesIn(OwnPieceCases));

// ---------------------------------------------------------------------------
// Any square, whatever stands on it.
// ---------------------------------------------------------------------------

TEST(AttackOnSquare, ContentOfTheSquareIsNotExamined) {
    // Black rook e8, black pawns d5 and e6; White to move.
    newGameFrom("4r2k/8/4p3/3p4/8/8/8/K7 w - - 0 1");
    EXPECT_TRUE(isSquareAttacked(rootPly, at("e7"))) << "empty square next to the rook";
    EXPECT_FALSE(isSquareAttacked(rootPly, at("e5"))) << "behind the black pawn e6";
    EXPECT_TRUE(isSquareAttacked(rootPly, at("d5"))) << "black pawn d5 defended by e6";
    EXPECT_TRUE(isSquareAttacked(rootPly, at("f5"))) << "empty square taken by e6";
    EXPECT_FALSE(isSquareAttacked(rootPly, at("a1"))) << "the white king's own square";
}

// ---------------------------------------------------------------------------
// After make: a king step into an attacked square leaves the mover in check.
// ---------------------------------------------------------------------------

TEST(AttackAfterMake, KingStepIntoAttackedSquareIsInCheck) {
    // Black rook a2 holds rank 2; the king on e1 may go only to d1 and f1.
    newGameFrom("4k3/8/8/8/8/8/r7/4K3 w - - 0 1");
    generateMoves(rootPly);
    std::vector<std::string> seen;
    for (Move *m = rootPly->listStart; m < listEnd(rootPly); ++m) {
        std::string target = nameOf(m->mover->square + m->delta);
        makeMove(m, rootPly, 0);
        bool check = isInCheck(rootPly);
        unmakeMove(rootPly, m);
        seen.push_back(target + (check ? " check" : " free"));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"e2 check", "d1 free", "f1 free", "f2 check",
                                              "d2 check"}));
    EXPECT_EQ(whiteKing->square, at("e1"));
}

// ---------------------------------------------------------------------------
// Every square of many positions against a plain file-and-rank reference.
// ---------------------------------------------------------------------------

PieceCode codeAt(int file, int rank) {
    if (file < 0 || file > 7 || rank < 1 || rank > 8) return BorderCode;
    return board[squareIndex(file, rank)].code;
}

// Whether a piece of the given colour attacks (file, rank), found by walking
// the board in coordinates rather than through the border ring.
bool referenceAttacked(int file, int rank, bool byWhite) {
    const PieceCode pawn = byWhite ? WhitePawn : BlackPawn;
    const PieceCode knight = byWhite ? WhiteKnight : BlackKnight;
    const PieceCode king = byWhite ? WhiteKing : BlackKing;
    const PieceCode bishop = byWhite ? WhiteBishop : BlackBishop;
    const PieceCode rook = byWhite ? WhiteRook : BlackRook;
    const PieceCode queen = byWhite ? WhiteQueen : BlackQueen;
    // A white pawn attacks from one rank below, a black pawn from one above.
    int pawnRank = byWhite ? rank - 1 : rank + 1;
    if (codeAt(file - 1, pawnRank) == pawn || codeAt(file + 1, pawnRank) == pawn) return true;
    const int jumps[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2},
                             {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
    for (const auto &j : jumps)
        if (codeAt(file + j[0], rank + j[1]) == knight) return true;
    const int lines[8][2] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
    for (const auto &d : lines) {
        bool diagonal = d[0] != 0 && d[1] != 0;
        if (codeAt(file + d[0], rank + d[1]) == king) return true;
        for (int k = 1; k <= 7; ++k) {
            PieceCode code = codeAt(file + k * d[0], rank + k * d[1]);
            if (code == EmptyCode) continue;
            if (code == queen || code == (diagonal ? bishop : rook)) return true;
            break;
        }
    }
    return false;
}

// Compares every playing square for both attacking colours; returns the
// first disagreement, or "" when there is none.
std::string compareAllSquares(const std::string &where) {
    Ply view{};
    for (int rank = 1; rank <= 8; ++rank)
        for (int file = 0; file < 8; ++file)
            for (bool byWhite : {true, false}) {
                view.side = byWhite ? BlackSide : WhiteSide;
                const Square *square = &board[squareIndex(file, rank)];
                bool got = isSquareAttacked(&view, square);
                if (got != referenceAttacked(file, rank, byWhite))
                    return where + ": " + nameOf(square) + " attacked by " +
                           (byWhite ? "White" : "Black") + " gives " +
                           (got ? "true" : "false");
            }
    return "";
}

std::vector<std::string> referenceFens() {
    std::vector<std::string> fens;
    std::ifstream in(std::string(BREVOLA_TEST_DATA) + "/perft-positions.txt");
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '#') fens.push_back(line.substr(0, line.find(';')));
    return fens;
}

TEST(AttackReference, EverySquareOfReferencePositionsAndTheirChildren) {
    std::vector<std::string> fens = referenceFens();
    ASSERT_GE(fens.size(), 10u);
    for (const std::string &fen : fens) {
        newGameFrom(fen);
        ASSERT_EQ(compareAllSquares(fen), "");
        // The positions one move later add promotions, captures, castled
        // rooks and pieces on new lines.
        generateMoves(rootPly);
        for (Move *m = rootPly->listStart; m < listEnd(rootPly); ++m) {
            std::string move = nameOf(m->mover->square) + nameOf(m->mover->square + m->delta);
            makeMove(m, rootPly, 0);
            std::string diff = compareAllSquares(fen + " after " + move);
            unmakeMove(rootPly, m);
            ASSERT_EQ(diff, "");
        }
    }
}

// ---------------------------------------------------------------------------
// The cheap legality test after a move against the full attack scan.
// ---------------------------------------------------------------------------

// Makes every move of the ply, legal or not, compares the two tests and goes
// on below it for `depth` more plies; returns the first disagreement.
std::string compareLegalityTests(Ply *ply, int depth) {
    generateMoves(ply);
    for (Move *m = ply->listStart; m < listEnd(ply); ++m) {
        std::string move = nameOf(m->mover->square) + nameOf(m->mover->square + m->delta);
        makeMove(m, ply, 0);
        std::string diff;
        if (leftKingAttacked(ply) != isInCheck(ply))
            diff = "ply " + std::to_string(ply->plyIndex) + " " + move;
        else if (depth > 0)
            diff = compareLegalityTests(ply + 1, depth - 1);
        unmakeMove(ply, m);
        if (!diff.empty()) return diff;
    }
    return "";
}

TEST(LegalityShortcut, AgreesWithTheFullScanAfterEveryMoveLegalOrNot) {
    std::vector<std::string> fens = referenceFens();
    // Loaded as written: the side not to move in check, so its king can be
    // taken and the walk goes on with a king that is no longer on the board;
    // pins, discovered lines and a king next to the pinned piece.
    fens.push_back("4k3/8/8/8/8/8/4R3/4K3 w - - 0 1");
    fens.push_back("4k3/4r3/8/1b6/8/8/3PB3/4K3 w - - 0 1");
    fens.push_back("8/8/8/KPp4r/8/8/8/7k w - c6 0 1");
    fens.push_back("q6k/8/8/8/8/8/6P1/7K w - - 0 1");
    for (const std::string &fen : fens) {
        newGameFrom(fen);
        // Two plies under every root move, the illegal ones included.
        ASSERT_EQ(compareLegalityTests(rootPly, 2), "") << fen;
    }
}

} // namespace

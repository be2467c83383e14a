// The FEN reader and the set-up around it: what a text puts on the board, in
// the piece lists, the king links and the history plies; how the ply stack is
// rebuilt; and that malformed texts neither corrupt memory nor leave a
// position the rest of the engine cannot work with.
#include <gtest/gtest.h>

#include <string>

#include "diag/check.h"
#include "engine_fixture.h"
#include "frontend/console_state.h"
#include "movegen/generators.h"
#include "position/board.h"
#include "position/setup.h"
#include "search/ply.h"

using namespace brevola;
using namespace brevola::testing;

namespace {

// Entries before the terminator (17 means there is none).
int listLength(const PieceEntry *list) {
    int n = 0;
    while (n < PieceListSize && list[n].square) ++n;
    return n;
}

// "<letter><square>/<moveCount>" for every entry up to the terminator.
std::string listText(const PieceEntry *list) {
    std::string out;
    for (int i = 0; i < listLength(list); ++i) {
        if (!out.empty()) out += ' ';
        out += static_cast<char>(list[i].letter);
        out += nameOf(list[i].square) + "/" + std::to_string(list[i].moveCount);
    }
    return out;
}

// The squares, a8 to h1, whose piece has moveCount 0 (may still castle).
std::string castlingSquares() {
    std::string out;
    for (int rank = 8; rank >= 1; --rank)
        for (int file = 0; file < 8; ++file) {
            const Square &square = board[squareIndex(file, rank)];
            if (!square.piece || square.piece->moveCount != 0) continue;
            if (!out.empty()) out += ' ';
            out += nameOf(&square);
        }
    return out;
}

MoveGenerator generatorFor(char letter) {
    switch (letter) {
    case 'K': case 'k': return generateKingMoves;
    case 'Q': case 'q': return generateQueenMoves;
    case 'R': case 'r': return generateRookMoves;
    case 'B': case 'b': return generateBishopMoves;
    case 'N': case 'n': return generateKnightMoves;
    case 'P': return generateWhitePawnMoves;
    case 'p': return generateBlackPawnMoves;
    default: return nullptr;
    }
}

} // namespace

TEST(FenReader, StartPositionFillsListsInTextOrder) {
    ASSERT_EQ(loadFen(StartFen), "");
    EXPECT_EQ(checkBoard(), nullptr);

    // Rank 8 first and files a to h within a rank, so White's pawns precede
    // its pieces and Black's pieces precede its pawns. Only kings and rooks
    // named by "KQkq" may castle.
    EXPECT_EQ(listText(whitePieces),
              "Pa2/1 Pb2/1 Pc2/1 Pd2/1 Pe2/1 Pf2/1 Pg2/1 Ph2/1 "
              "Ra1/0 Nb1/1 Bc1/1 Qd1/1 Ke1/0 Bf1/1 Ng1/1 Rh1/0");
    EXPECT_EQ(listText(blackPieces),
              "ra8/0 nb8/1 bc8/1 qd8/1 ke8/0 bf8/1 ng8/1 rh8/0 "
              "pa7/1 pb7/1 pc7/1 pd7/1 pe7/1 pf7/1 pg7/1 ph7/1");
    EXPECT_EQ(whitePieces[16].square, nullptr);
    EXPECT_EQ(blackPieces[16].square, nullptr);

    EXPECT_EQ(whiteKing, &whitePieces[12]);
    EXPECT_EQ(blackKing, &blackPieces[4]);
    EXPECT_EQ(historyToMove->side, WhiteSide);
    EXPECT_EQ(historyToMove->pieces, whitePieces);
    EXPECT_EQ(historyToMove->king, whiteKing);
    EXPECT_EQ(historyMoved->pieces, blackPieces);
    EXPECT_EQ(historyMoved->king, blackKing);
    EXPECT_EQ(historyMoved->doublePushSquare, nullptr);

    // Each live entry and its square point at each other, and the square
    // carries the code and the entry the generator of its letter.
    for (const PieceList *list : {&whitePieces, &blackPieces})
        for (int i = 0; i < 16; ++i) {
            const PieceEntry &e = (*list)[i];
            char letter = static_cast<char>(e.letter);
            SCOPED_TRACE(nameOf(e.square).insert(0, 1, letter));
            EXPECT_EQ(e.square->piece, &e);
            EXPECT_EQ(fenLetter(e.square->code), letter);
            EXPECT_EQ(e.generator, generatorFor(letter));
        }
    EXPECT_EQ(placementOnBoard(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR");
    EXPECT_EQ(at("e4")->code, EmptyCode);
    EXPECT_EQ(at("e4")->piece, nullptr);
}

TEST(FenReader, SideToMoveAndPlyStackRebuild) {
    struct Case {
        const char *fen;
        bool whiteToMove;
    };
    const Case cases[] = {
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", true},
        {"4k3/8/8/8/8/8/8/4K3 b - - 0 1", false},
        {"4k3/8/8/8/8/8/8/4K3 x - - 0 1", false}, // anything but "w" is Black
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fen);
        // Stale values that the set-up must reset.
        nodeCount = 7;
        legalMoveCount = 9;
        ttHitCount = 3;
        rootPly->entryScore = 0x00120000;
        rootPly->lastIterationBest = moveStack + 5;
        iterationDepth = 3;
        ASSERT_EQ(loadFen(c.fen), "");
        EXPECT_EQ(checkBoard(), nullptr);

        PieceEntry *own = c.whiteToMove ? whiteKing : blackKing;
        PieceEntry *other = c.whiteToMove ? blackKing : whiteKing;
        SideMask side = c.whiteToMove ? WhiteSide : BlackSide;
        EXPECT_EQ(historyToMove->side, side);
        EXPECT_EQ(historyToMove->pieces, c.whiteToMove ? whitePieces : blackPieces);
        EXPECT_EQ(historyToMove->king, own);
        EXPECT_EQ(historyMoved->pieces, c.whiteToMove ? blackPieces : whitePieces);
        EXPECT_EQ(historyMoved->king, other);

        // Template ply -4 carries the pawn constants of the side to move.
        const Ply &mine = plyStack[0];
        const Ply &theirs = plyStack[1];
        EXPECT_EQ(mine.pawnStep, c.whiteToMove ? -10 : 10);
        EXPECT_EQ(mine.pawnCode, c.whiteToMove ? WhitePawn : BlackPawn);
        EXPECT_EQ(mine.pawnGenerator,
                  c.whiteToMove ? generateWhitePawnMoves : generateBlackPawnMoves);
        EXPECT_EQ(theirs.pawnStep, -mine.pawnStep);
        EXPECT_EQ(theirs.pawnCode, c.whiteToMove ? BlackPawn : WhitePawn);

        EXPECT_EQ(rootPly->plyIndex, 0);
        EXPECT_EQ(rootPly->entryScore, 0);
        EXPECT_EQ(rootPly->lastIterationBest, nullptr);
        EXPECT_EQ(rootPly->side, side);
        EXPECT_EQ(rootPly->king, own);
        EXPECT_EQ(rootPly->pawnStep, mine.pawnStep);
        EXPECT_EQ((rootPly + 1)->side, otherSide(side));
        EXPECT_EQ((rootPly + 1)->king, other);
        EXPECT_EQ((rootPly + 1)->pawnStep, theirs.pawnStep);
        EXPECT_EQ((rootPly + 2)->king, own);
        for (Ply *p = historyToMove; p <= lastPly; ++p)
            EXPECT_EQ(p->bestValue, MinusInfinity) << "ply " << p->plyIndex;
        EXPECT_EQ(lastPly->plyIndex, 63);
        EXPECT_EQ(horizonPly, rootPly + 2);
        EXPECT_EQ(nodeCount, 0u);
        EXPECT_EQ(legalMoveCount, 0u);
        EXPECT_EQ(ttHitCount, 0u);

        // Positional values, in units, from the table of square values.
        EXPECT_EQ(at("a8")->placeValue, 10 * 65536);
        EXPECT_EQ(at("a7")->placeValue, 2 * 65536);
        EXPECT_EQ(at("c6")->placeValue, 56 * 65536);
        EXPECT_EQ(at("e4")->placeValue, 102 * 65536);
        EXPECT_EQ(at("b5")->placeValue, 20 * 65536);
        EXPECT_EQ(at("g2")->placeValue, 18 * 65536);
        EXPECT_EQ(at("h1")->placeValue, 10 * 65536);
    }
}

TEST(FenReader, CastlingLettersClearMoveCounts) {
    struct Case {
        const char *fen;
        const char *mayCastle; // squares whose piece has moveCount 0
    };
    const Case cases[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "a8 e8 h8 a1 e1 h1"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w Kq - 0 1", "a8 e8 e1 h1"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w Qk - 0 1", "e8 h8 a1 e1"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w - - 0 1", ""},
        {"r3k2r/8/8/8/8/8/8/R3K2R w K?x - 0 1", "e1 h1"}, // unknown letters skipped
        // The piece on the named square is not checked: a knight on h1 counts.
        {"r3k2r/8/8/8/8/8/8/R3K2N w K - 0 1", "e1 h1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fen);
        ASSERT_EQ(loadFen(c.fen), "");
        EXPECT_EQ(checkBoard(), nullptr);
        EXPECT_EQ(castlingSquares(), c.mayCastle);
    }
}

TEST(FenReader, EnPassantFieldRecordsThePushedPawn) {
    struct Case {
        const char *fen;
        const char *pushedPawn;
    };
    const Case cases[] = {
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", "e4"},
        {"rnbqkbnr/pppp1ppp/8/4p3/8/8/PPPPPPPP/RNBQKBNR w - e6 0 2", "e5"},
        {"rnbqkbnr/pppp1ppp/8/4p3/8/8/PPPPPPPP/RNBQKBNR w - - 0 2", "-"},
        {"4k3/8/8/pP6/8/8/8/4K3 w - a6 0 1", "a5"},
        {"4k3/8/8/8/6Pp/8/8/4K3 b - g3 0 1", "g4"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fen);
        historyMoved->doublePushSquare = at("d4"); // a stale value must not survive
        ASSERT_EQ(loadFen(c.fen), "");
        EXPECT_EQ(checkBoard(), nullptr);
        EXPECT_EQ(nameOf(historyMoved->doublePushSquare), c.pushedPawn);
    }
}

TEST(FenReader, EmptyTextKeepsThePosition) {
    ASSERT_EQ(loadFen("r3k2r/8/8/8/2Pp4/8/8/R3K2R b Kq c3 0 1"), "");
    PositionState before = positionState();
    nodeCount = 5;
    legalMoveCount = 6;
    static char empty[1] = "";
    char *previous = fenInputText;
    fenInputText = empty;
    setUpPosition();
    fenInputText = previous;
    EXPECT_TRUE(positionState() == before);
    EXPECT_EQ(nameOf(historyMoved->doublePushSquare), "c4");
    EXPECT_EQ(rootPly->side, BlackSide);
    EXPECT_EQ(nodeCount, 0u);
    EXPECT_EQ(legalMoveCount, 0u);
}

// Texts the reader must take without writing outside the board or a list and
// without leaving an inconsistent position: extra pieces and squares are
// skipped, the reader stops at the end of the text, and castling and en
// passant fields that name nothing usable record nothing.
TEST(FenReader, MalformedTextsLoadSafely) {
    struct Case {
        const char *label;
        const char *fen;
        const char *placement;
        int whiteCount;
        int blackCount;
        const char *mayCastle;
        const char *pushedPawn;
        char side; // 'w', 'b', or '?' where the text gives no side
    };
    const Case cases[] = {
        {"17 white pieces: the 17th is skipped",
         "4k3/8/8/8/4K3/PPPPPPPP/PPPPPPP1/7N w - - 0 1",
         "4k3/8/8/8/4K3/PPPPPPPP/PPPPPPP1/8", 16, 1, "", "-", 'w'},
        {"18 black pieces: the 17th and 18th are skipped",
         "4k3/pppppppp/pppppppp/8/8/8/8/4K2n b - - 0 1",
         "4k3/pppppppp/ppppppp1/8/8/8/8/4K3", 1, 16, "", "-", 'b'},
        {"a rank of nine pieces", "4k3/8/8/8/8/8/ppppppppp/R3K2R w KQ - 0 1",
         "4k3/8/8/8/8/8/pppppppp/R3K2R", 3, 9, "a1 e1 h1", "-", 'w'},
        {"digits overrunning a rank", "4k3/5p4p/8/8/8/8/8/4K3 w - - 0 1",
         "4k3/5p2/8/8/8/8/8/4K3", 1, 2, "", "-", 'w'},
        {"the digit 9 is not a count", "4k3/p9p/8/8/8/8/8/4K3 w - - 0 1",
         "4k3/pp6/8/8/8/8/8/4K3", 1, 3, "", "-", 'w'},
        {"more than eight ranks", "4k3/8/8/8/8/8/8/4K3/pppppppp/q w - - 0 1",
         "4k3/8/8/8/8/8/8/4K3", 1, 1, "", "-", 'w'},
        {"text ends inside the placement", "4k3/8/8/4K", "4k3/8/8/4K3/8/8/8/8", 1, 1, "",
         "-", '?'},
        {"text ends after the side", "r3k2r/8/8/8/8/8/8/R3K2R b",
         "r3k2r/8/8/8/8/8/8/R3K2R", 3, 3, "", "-", 'b'},
        {"text ends inside the castling field", "r3k2r/8/8/8/8/8/8/R3K2R w Kq",
         "r3k2r/8/8/8/8/8/8/R3K2R", 3, 3, "a8 e8 e1 h1", "-", 'w'},
        {"no blank after the side stops the reader", "r3k2r/8/8/8/8/8/8/R3K2R wKQkq e3 0 1",
         "r3k2r/8/8/8/8/8/8/R3K2R", 3, 3, "", "-", 'w'},
        {"no blank after '-' stops the reader", "4k3/8/8/8/4P3/8/8/4K3 b -e3 0 1",
         "4k3/8/8/8/4P3/8/8/4K3", 2, 1, "", "-", 'b'},
        {"castling letters whose squares are empty", "4k3/8/8/8/8/8/8/4K3 w KQkq - 0 1",
         "4k3/8/8/8/8/8/8/4K3", 1, 1, "", "-", 'w'},
        {"castling letters that point into the border", "k7/8/8/8/8/8/8/7K w Kq - 0 1",
         "k7/8/8/8/8/8/8/7K", 1, 1, "", "-", 'w'},
        {"en passant file beyond h", "4k3/8/8/8/8/8/8/4K3 w - i6 0 1", "4k3/8/8/8/8/8/8/4K3",
         1, 1, "", "-", 'w'},
        {"en passant rank beyond 8", "4k3/8/8/8/8/8/8/4K3 w - e9 0 1", "4k3/8/8/8/8/8/8/4K3",
         1, 1, "", "-", 'w'},
        {"en passant rank 0", "4k3/8/8/8/8/8/8/4K3 b - e0 0 1", "4k3/8/8/8/8/8/8/4K3", 1, 1,
         "", "-", 'b'},
        {"en passant pawn square above rank 8", "4k3/8/8/8/8/8/8/4K3 b - e8 0 1",
         "4k3/8/8/8/8/8/8/4K3", 1, 1, "", "-", 'b'},
        {"en passant pawn square below rank 1", "4k3/8/8/8/8/8/8/4K3 w - a1 0 1",
         "4k3/8/8/8/8/8/8/4K3", 1, 1, "", "-", 'w'},
        {"en passant square behind no pushed pawn", "4k3/8/8/8/3p4/8/8/4K3 b - e3 0 1",
         "4k3/8/8/8/3p4/8/8/4K3", 1, 2, "", "-", 'b'},
        {"en passant square behind a pawn of the side to move",
         "4k3/8/8/8/3pp3/8/8/4K3 b - e3 0 1", "4k3/8/8/8/3pp3/8/8/4K3", 1, 3, "", "-", 'b'},
        {"en passant square behind a knight", "4k3/8/8/8/3pN3/8/8/4K3 b - e3 0 1",
         "4k3/8/8/8/3pN3/8/8/4K3", 2, 2, "", "-", 'b'},
        {"en passant square that is occupied", "4k3/8/8/8/3pP3/4N3/8/4K3 b - e3 0 1",
         "4k3/8/8/8/3pP3/4N3/8/4K3", 3, 2, "", "-", 'b'},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.label) + ": " + c.fen);
        ASSERT_EQ(loadFen(c.fen), "");
        EXPECT_EQ(checkBoard(), nullptr);
        EXPECT_EQ(placementOnBoard(), c.placement);
        EXPECT_EQ(listLength(whitePieces), c.whiteCount);
        EXPECT_EQ(listLength(blackPieces), c.blackCount);
        EXPECT_EQ(castlingSquares(), c.mayCastle);
        EXPECT_EQ(nameOf(historyMoved->doublePushSquare), c.pushedPawn);
        if (c.side != '?') {
            EXPECT_EQ(historyToMove->side, c.side == 'w' ? WhiteSide : BlackSide);
        }
    }
}

// A text that leaves a side without a king link is refused before anything
// changes: the previous position, lists, king links and history stay exactly
// as they were, and the set-up goes on with them.
TEST(FenReader, TextWithoutBothKingsIsRefused) {
    struct Case {
        const char *label;
        const char *fen;
    };
    const Case cases[] = {
        {"no white king", "4k3/8/8/8/8/8/8/8 w - - 0 1"},
        {"no black king", "8/8/8/8/8/8/8/4K3 b - - 0 1"},
        {"no pieces at all", "8/8/8/8/8/8/8/8 w - - 0 1"},
        {"empty placement", " w - - 0 1"},
        {"white king as the skipped 17th piece", "4k3/8/8/8/8/PPPPPPPP/PPPPPPPP/4K3 w - - 0 1"},
        {"black king beyond the eighth square of its rank", "pppppppPk/8/8/8/8/8/8/4K3 w - - 0 1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.label) + ": " + c.fen);
        // A position with Black to move, castling rights and a pushed pawn.
        ASSERT_EQ(loadFen("r3k2r/8/8/8/2Pp4/8/8/R3K2R b Kq c3 0 1"), "");
        PositionState before = positionState();
        nodeCount = 5;

        EXPECT_EQ(loadFen(c.fen), "\n> FEN refused: each side needs a king\n");
        EXPECT_TRUE(positionState() == before);
        EXPECT_EQ(checkBoard(), nullptr);
        EXPECT_EQ(placementOnBoard(), "r3k2r/8/8/8/2Pp4/8/8/R3K2R");
        EXPECT_EQ(castlingSquares(), "a8 e8 e1 h1");
        EXPECT_EQ(nameOf(historyMoved->doublePushSquare), "c4");
        // The rest of the set-up still ran on the kept position.
        EXPECT_EQ(nodeCount, 0u);
        EXPECT_EQ(rootPly->side, BlackSide);
        EXPECT_EQ(rootPly->king, blackKing);
        EXPECT_EQ(plyStack[0].pawnStep, 10);
    }
}

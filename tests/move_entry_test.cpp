// Typed moves end to end: the one-ply perft's dots, the candidate list up to
// the match, the match printed again, the played move, the board, the FEN line
// and the position log. Every expected list below was written out by hand from
// the generation order (en passant first, then each piece of the side's list
// in FEN order with its own step order, then king-side and queen-side
// castling); after the one-ply perft every candidate's key reads 8000 (tried)
// and its value 0.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "session.h"

using namespace brevola::testing;

namespace {

const std::string StartFen = StartPlacement + " w KQkq - 0 1";

// "oa2a3 oa2a4" -> "oa2a3:8000:0 oa2a4:8000:0 ".
std::string candidates(const std::string &moves) {
    std::istringstream words(moves);
    std::string word, text;
    while (words >> word) text += word + ":8000:0 ";
    return text;
}

std::string dots(int count) { return std::string(static_cast<std::size_t>(count), '.'); }

// What a typed line that plays a move prints after the prompt.
struct Played {
    int generated;          // dots: every generated move, legal or not
    std::string candidates; // the list up to and including the match
    std::string match;      // the matched move's text before it is made
    std::string made;       // its text after make (a promotion shows the new piece)
    std::string placement;  // position after the move
    char side;              // side to move after it
    std::string m;          // legal moves of the position the move was typed in (M=)
    std::string bp;         // the move's score change in units, hexadecimal
};

std::string played(const Played &p) {
    return std::string(">") + dots(p.generated) + candidates(p.candidates) + candidates(p.match) + "\n" +
           "\n> MOSSA: " + candidates(p.made) + expectedBoard(p.placement, p.m, p.bp) +
           "\n> FEN: " + p.placement + " " + p.side + "\n";
}

// A line that matches nothing prints the dots and every candidate.
std::string unmatched(int generated, const std::string &all) {
    return std::string(">") + dots(generated) + candidates(all);
}

std::string logLines(const std::vector<std::string> &texts) {
    std::string text;
    for (std::size_t i = 0; i < texts.size(); ++i)
        text += std::to_string(i + 1) + "\t" + texts[i] + "\n";
    return text;
}

const std::string StartWhiteMoves = "oa2a3 oa2a4 ob2b3 ob2b4 oc2c3 oc2c4 od2d3 od2d4 oe2e3 oe2e4 "
                                    "of2f3 of2f4 og2g3 og2g4 oh2h3 oh2h4 cb1c3 cb1a3 cg1h3 cg1f3";

const Played StartE2E4{20,  "oa2a3 oa2a4 ob2b3 ob2b4 oc2c3 oc2c4 od2d3 od2d4 oe2e3 oe2e4",
                       "oe2e4", "oe2e4", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR",
                       'b', "140", "55"};

} // namespace

// Both colours' double pushes, a pawn capture and a knight's quiet move, each
// committed so that the next line is the other side's. Scores: a double push
// to the centre 18 -> 102 + 1 = 85 (0x55); the capture 102 -> 102 + 256;
// g8f6 10 -> 56 + 1 = 47 (0x2f).
TEST(MoveEntry, PlaysQuietMovesDoublePushesAndCapturesInTurn) {
    ScopedTempDir dir;
    SessionResult result = runSession("e2e4\nd7d5\ne4d5\ng8f6\n");
    const Played blackD7D5{
        20,
        "Cb8c6 Cb8a6 Cg8h6 Cg8f6 Oa7a6 Oa7a5 Ob7b6 Ob7b5 Oc7c6 Oc7c5 Od7d6 Od7d5",
        "Od7d5", "Od7d5", "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR", 'w', "140", "55"};
    // 16 pawn moves, Nb1 2, Qd1 4 (e2-h5), Ke1 1, Bf1 5, Ng1 3 = 31 (0x1f).
    const Played whiteE4D5{31,
                           "oa2a3 oa2a4 ob2b3 ob2b4 oc2c3 oc2c4 od2d3 od2d4 oe4d5",
                           "oe4d5", "oe4d5",
                           "rnbqkbnr/ppp1pppp/8/3P4/8/8/PPPP1PPP/RNBQKBNR", 'b', "1f0", "0100"};
    // Nb8 3, Bc8 5, Qd8 3 (up to the capture on d5), Ke8 1, Ng8 2, pawns 14 = 28.
    const Played blackG8F6{
        28,
        "Cb8c6 Cb8a6 Cb8d7 Ac8d7 Ac8e6 Ac8f5 Ac8g4 Ac8h3 Dd8d7 Dd8d6 Dd8d5 Re8d7 Cg8h6 Cg8f6",
        "Cg8f6", "Cg8f6", "rnbqkb1r/ppp1pppp/5n2/3P4/8/8/PPPP1PPP/RNBQKBNR", 'w', "1c0", "2f"};
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, startUp() + played(StartE2E4) + played(blackD7D5) +
                                 played(whiteE4D5) + played(blackG8F6) + ">\n\n");
    EXPECT_EQ(dir.read("brevola_fen.txt"),
              logLines({"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b",
                        "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w",
                        "rnbqkbnr/ppp1pppp/8/3P4/8/8/PPPP1PPP/RNBQKBNR b",
                        "rnbqkb1r/ppp1pppp/5n2/3P4/8/8/PPPP1PPP/RNBQKBNR w"}));
}

// Castling is typed as the king's two-file move; the rook's square (e1h1)
// matches nothing. Each castling scores 10 -> 10 + 1 + 128 = 129 (0x81).
// Black's lists show the king's illegal steps too (printed, not counted in M=)
// and the castling that an attacked f8 or d8 rules out is missing.
TEST(MoveEntry, CastlingOnBothSidesIsTypedAsTheKingsMove) {
    const std::string fen = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
    const std::string whiteMoves = "ta1a2 ta1a3 ta1a4 ta1a5 ta1a6 ta1a7 ta1a8 ta1b1 ta1c1 ta1d1 "
                                   "re1e2 re1d1 re1f1 re1f2 re1d2 "
                                   "th1h2 th1h3 th1h4 th1h5 th1h6 th1h7 th1h8 th1g1 th1f1";
    const std::string blackPrefix = "Ta8a7 Ta8a6 Ta8a5 Ta8a4 Ta8a3 Ta8a2 Ta8a1 Ta8b8 Ta8c8 Ta8d8 "
                                    "Re8e7 Re8d8 Re8f8 Re8f7 Re8d7 "
                                    "Th8h7 Th8h6 Th8h5 Th8h4 Th8h3 Th8h2 Th8h1 Th8g8 Th8f8";
    struct Case {
        const char *typed;            // the lines after F
        std::string unmatchedFirst;   // what a first line that matches nothing prints
        Played white;
        Played black;
        std::vector<std::string> log; // the position log, checked when given
    };
    const Case cases[] = {
        // f8 is attacked by the rook on f1: Ke8f8, Ke8f7 are illegal (23 of
        // 25 legal) and only the queen-side castling is generated.
        {"e1h1\ne1g1\ne8c8\n", unmatched(26, whiteMoves + " re1g1 re1c1"),
         {26, whiteMoves + " re1g1", "re1g1", "re1g1", "r3k2r/8/8/8/8/8/8/R4RK1", 'b', "1a0",
          "81"},
         {25, blackPrefix + " Re8c8", "Re8c8", "Re8c8", "2kr3r/8/8/8/8/8/8/R4RK1", 'w', "170",
          "81"},
         {StartFen, StartFen, "r3k2r/8/8/8/8/8/8/R4RK1 b", "2kr3r/8/8/8/8/8/8/R4RK1 w"}},
        // d8 is attacked by the rook on d1: no queen-side castling, and
        // Ke8d8, Ke8d7 are illegal.
        {"e1c1\ne8g8\n", "",
         {26, whiteMoves + " re1g1 re1c1", "re1c1", "re1c1", "r3k2r/8/8/8/8/8/8/2KR3R", 'b', "1a0",
          "81"},
         {25, blackPrefix + " Re8g8", "Re8g8", "Re8g8", "r4rk1/8/8/8/8/8/8/2KR3R", 'w', "170",
          "81"},
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        ScopedTempDir dir;
        SessionResult result = runSession("F\n" + fen + "\n" + c.typed);
        EXPECT_EQ(result.output, startUp() + loaded("r3k2r/8/8/8/8/8/8/R3K2R") + c.unmatchedFirst +
                                     played(c.white) + played(c.black) + ">\n\n");
        if (!c.log.empty()) {
            EXPECT_EQ(dir.read("brevola_fen.txt"), logLines(c.log));
        }
    }
}

// En passant is typed as the captured pawn's square (e5d5), where the move's
// one-file step leads; the pawn then ends on d6. e5d6 matches nothing. The
// capture scores -102 + 102 + 256 = 256 (0x100).
TEST(MoveEntry, EnPassantIsTypedAsTheCapturedPawnsSquare) {
    ScopedTempDir dir;
    SessionResult result =
        runSession("F\n4k3/3p4/8/4P3/8/8/8/4K3 b - - 0 1\nd7d5\ne5d6\ne5d5\n");
    const Played doublePush{6, "Re8e7 Re8d8 Re8f8 Re8f7 Od7d6 Od7d5", "Od7d5", "Od7d5",
                            "4k3/8/8/3pP3/8/8/8/4K3", 'w', "060", "55"};
    const std::string whiteMoves = "oe5d5 oe5e6 re1e2 re1d1 re1f1 re1f2 re1d2";
    const Played enPassant{7, "oe5d5", "oe5d5", "oe5d5", "4k3/8/3P4/8/8/8/8/4K3", 'b', "070",
                           "0100"};
    EXPECT_EQ(result.output, startUp() + loaded("4k3/3p4/8/4P3/8/8/8/4K3") + played(doublePush) +
                                 unmatched(7, whiteMoves) + played(enPassant) + ">\n\n");
    EXPECT_EQ(dir.read("brevola_fen.txt"),
              logLines({StartFen, "4k3/8/8/3pP3/8/8/8/4K3 w", "4k3/8/8/3pP3/8/8/8/4K3 w",
                        "4k3/8/3P4/8/8/8/8/4K3 b"}));
}

// The queen promotion is the first of the pawn's four records, so it matches
// whatever follows the squares. After make the move prints with the queen's
// initial; the score is 18 -> 10 + 1 plus the queen's whole code: 2553 units
// (0x9f9) in the upper half.
TEST(MoveEntry, PromotionAlwaysMakesAQueen) {
    for (const char *line : {"e7e8", "e7e8Q", "e7e8n"}) {
        SCOPED_TRACE(line);
        ScopedTempDir dir;
        SessionResult result =
            runSession(std::string("F\nk7/4P3/8/8/8/8/8/4K3 w - - 0 1\n") + line + "\n");
        const Played promotion{9, "oe7e8", "oe7e8", "de7e8", "k3Q3/8/8/8/8/8/8/4K3", 'b',
                               "090", "09f9"};
        EXPECT_EQ(result.output,
                  startUp() + loaded("k7/4P3/8/8/8/8/8/4K3") + played(promotion) + ">\n\n");
        EXPECT_EQ(dir.read("brevola_fen.txt"), logLines({StartFen, "k3Q3/8/8/8/8/8/8/4K3 b"}));
    }
}

// Only the first four characters are compared, byte for byte: upper case, a
// move of the side not to move and an empty line match nothing and change
// nothing (the log repeats the last written text and White still moves next),
// while trailing text after a matching move is ignored.
TEST(MoveEntry, MatchesTheFirstFourCharactersExactly) {
    struct Case {
        const char *line;
        bool playsE2E4;
    };
    for (const Case &c : {Case{"E2E4", false}, Case{"e7e5", false}, Case{"", false},
                          Case{"e2e4xyz", true}}) {
        SCOPED_TRACE(c.line);
        ScopedTempDir dir;
        if (c.playsE2E4) {
            SessionResult result = runSession(std::string(c.line) + "\n");
            EXPECT_EQ(result.output, startUp() + played(StartE2E4) + ">\n\n");
            EXPECT_EQ(dir.read("brevola_fen.txt"),
                      logLines({"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b"}));
        } else {
            SessionResult result = runSession(std::string(c.line) + "\ne2e4\n");
            EXPECT_EQ(result.output,
                      startUp() + unmatched(20, StartWhiteMoves) + played(StartE2E4) + ">\n\n");
            EXPECT_EQ(dir.read("brevola_fen.txt"),
                      logLines({StartFen, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b"}));
        }
    }
}

// A matched move that leaves the own king attacked is not played: the rook on
// e2 is pinned by the rook on e8, so e2d2 prints the candidates and the match
// once more and nothing else; the board (S), the running score and the side
// to move stay as they were, and the log still gets its line. The position
// has 17 generated and 10 legal moves (the 7 sideways rook moves are illegal).
TEST(MoveEntry, IllegalMoveIsRefusedAndTheSameSideMovesNext) {
    ScopedTempDir dir;
    const std::string placement = "4r1k1/8/8/8/8/8/4R3/4K3";
    SessionResult result = runSession("F\n" + placement + " w - - 0 1\ne2d2\nS\ne2e8\n");
    const std::string upToPin = "te2e3 te2e4 te2e5 te2e6 te2e7 te2e8 te2f2 te2g2 te2h2 te2d2";
    // The capture of the rook: 18 -> 10 plus the rook's 1280 units = 1272 (0x4f8).
    const Played capture{17, "te2e3 te2e4 te2e5 te2e6 te2e7 te2e8", "te2e8", "te2e8",
                         "4R1k1/8/8/8/8/8/8/4K3", 'b', "0a0", "04f8"};
    EXPECT_EQ(result.output, startUp() + loaded(placement) + ">" + dots(17) + candidates(upToPin) +
                                 candidates("te2d2") + ">" + expectedBoard(placement, "0a0", "0") +
                                 played(capture) + ">\n\n");
    EXPECT_EQ(dir.read("brevola_fen.txt"),
              logLines({StartFen, StartFen, "4R1k1/8/8/8/8/8/8/4K3 b"}));
}

// libFuzzer target: arbitrary bytes as a FEN text. The set-up reads them into
// the position, then a two-ply walk checks the board at every node and after
// every make and unmake, the engine's own perft runs over the same tree, and
// a two-ply search plays a move. Any inconsistency aborts, which libFuzzer
// reports as a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "diag/check.h"
#include "diag/output.h"
#include "frontend/console_state.h"
#include "frontend/driver.h"
#include "movegen/attack.h"
#include "movegen/generate.h"
#include "position/make_move.h"
#include "position/setup.h"
#include "search/perft.h"
#include "search/ply.h"
#include "search/search.h"

using namespace brevola;

namespace {

constexpr const char *StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// The engine perft goes one ply further than the checked walk only while the
// walk's second ply stays this small, so that no single input runs long.
constexpr uint64_t ThirdPlyLimit = 1000;

[[noreturn]] void fail(const char *when, const char *what) {
    std::fprintf(stderr, "fen_fuzz: %s: %s\n", when, what);
    std::abort();
}

void requireConsistent(const char *when) {
    if (const char *problem = checkBoard()) fail(when, problem);
}

// Everything make and unmake may touch: each square's occupant, key and
// positional value, each list entry, the king links and the history plies.
struct Snapshot {
    struct SquareState {
        PieceCode code;
        const PieceEntry *piece;
        HashKey key;
        int32_t placeValue;
    } squares[BoardSquares];
    PieceEntry white[PieceListSize];
    PieceEntry black[PieceListSize];
    const PieceEntry *whiteKingLink;
    const PieceEntry *blackKingLink;
    struct HistoryState {
        SideMask side;
        const PieceEntry *pieces;
        const PieceEntry *king;
        const Square *doublePush;
    } history[2];

    void take() {
        for (int i = 0; i < BoardSquares; ++i)
            squares[i] = {board[i].code, board[i].piece, board[i].key, board[i].placeValue};
        std::memcpy(white, whitePieces, sizeof white);
        std::memcpy(black, blackPieces, sizeof black);
        whiteKingLink = whiteKing;
        blackKingLink = blackKing;
        for (int i = 0; i < 2; ++i) {
            const Ply &p = historyToMove[i];
            history[i] = {p.side, p.pieces, p.king, p.doublePushSquare};
        }
    }

    // What differs from the current position, or null.
    const char *differs() const {
        for (int i = 0; i < BoardSquares; ++i) {
            const SquareState &s = squares[i];
            if (s.code != board[i].code || s.piece != board[i].piece) return "an occupant";
            if (s.key != board[i].key || s.placeValue != board[i].placeValue)
                return "a square's key or positional value";
        }
        for (int i = 0; i < PieceListSize; ++i) {
            const PieceEntry *lists[2][2] = {{white + i, whitePieces + i},
                                             {black + i, blackPieces + i}};
            for (const auto &pair : lists) {
                const PieceEntry &was = *pair[0], &now = *pair[1];
                if (was.square != now.square || was.generator != now.generator ||
                    was.moveCount != now.moveCount || was.letter != now.letter)
                    return "a piece entry";
            }
        }
        if (whiteKingLink != whiteKing || blackKingLink != blackKing) return "a king link";
        for (int i = 0; i < 2; ++i) {
            const Ply &p = historyToMove[i];
            const HistoryState &h = history[i];
            if (h.side != p.side || h.pieces != p.pieces || h.king != p.king ||
                h.doublePush != p.doublePushSquare)
                return "a history ply";
        }
        return nullptr;
    }
};

// Legal move sequences of `depth` plies from `ply`, with the board checked at
// the node, after every make, and after every unmake against the node's
// snapshot; unmake must also give back the score the ply was entered with.
uint64_t checkedWalk(Ply *ply, int depth) {
    requireConsistent("at a node");
    Snapshot node;
    node.take();
    generateMoves(ply);
    uint64_t leaves = 0;
    for (Move *m = ply->listStart; m < listEnd(ply); ++m) {
        int32_t score = makeMove(m, ply, ply->entryScore);
        requireConsistent("after make");
        if (!isInCheck(ply)) {
            if (depth > 1) {
                (ply + 1)->entryScore = wrapNeg(score);
                leaves += checkedWalk(ply + 1, depth - 1);
            } else {
                ++leaves;
            }
        }
        if (unmakeMove(ply, m) != ply->entryScore) fail("after unmake", "the running score");
        requireConsistent("after unmake");
        if (const char *what = node.differs()) fail("after unmake", what);
    }
    return leaves;
}

std::FILE *sink = nullptr;
char text[FenBufferSize];
char outputText[FenBufferSize];

void load(const char *fen, std::size_t length) {
    std::memcpy(text, fen, length);
    text[length] = '\0';
    fenInputText = text;
    setUpPosition();
    text[0] = '\0';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    if (!sink) sink = std::fopen("/dev/null", "w");
    consoleOut = sink;
    // Every input starts from the same position, so that a refused text
    // leaves the same board behind whatever ran before it.
    load(StartFen, std::strlen(StartFen));
    std::size_t length = size < FenBufferSize - 1 ? size : FenBufferSize - 1;
    load(reinterpret_cast<const char *>(data), length);
    requireConsistent("after set-up");

    Snapshot loaded;
    loaded.take();
    rootPly->entryScore = 0;
    uint64_t twoPlies = checkedWalk(rootPly, 2);

    depthLimit = twoPlies <= ThirdPlyLimit ? 3 : 2;
    perft();
    // Ply 1's count is the number of legal two-ply sequences at either depth.
    if (rootPly[1].generatedCount != twoPlies)
        fail("after perft", "perft and the checked walk count different trees");
    if (runningScore != 0) fail("after perft", "the running score is not back at 0");
    requireConsistent("after perft");
    if (const char *what = loaded.differs()) fail("after perft", what);

    // The search, two plies deep: it never reaches its first clock check, so
    // the time globals do not matter. It plays its move on the board.
    fenOutputText = outputText;
    depthLimit = 2;
    timedOut = 0;
    moveTimeMs = 0;
    gameTimeMs = 0;
    clockStart = std::chrono::steady_clock::now();
    search();
    requireConsistent("after the search played its move");
    return 0;
}

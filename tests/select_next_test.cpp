// The search's incremental selection must pick exactly the moves, in exactly
// the order, that a full scan of the list would pick as moves are tried.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "search/ply.h"
#include "search/select.h"

using namespace brevola;

namespace {

// A small deterministic generator, so every run checks the same lists.
uint32_t nextRandom(uint32_t &state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

} // namespace

TEST(SelectionIncremental, MatchesFullScanOnListsWithManyTies) {
    // Few distinct keys make long runs of equal keys, as quiet moves give.
    const int32_t keys[] = {EmptyCode, EmptyCode, EmptyCode, WhitePawn,  BlackPawn,
                            WhiteKnight, BlackBishop, BlackQueen, MinusInfinity, 0x7FFF0000};
    uint32_t state = 12345;
    Ply *ply = rootPly;
    for (int round = 0; round < 300; ++round) {
        int length = static_cast<int>(nextRandom(state) % 300);
        ply->listStart = moveStack;
        (ply + 1)->listStart = moveStack + length;
        for (int i = 0; i < length; ++i) moveStack[i].sortKey = keys[nextRandom(state) % 10];
        std::vector<int32_t> saved;
        for (int i = 0; i < length; ++i) saved.push_back(moveStack[i].sortKey);

        // Expected order: full scans, marking each pick tried.
        std::vector<Move *> expected;
        while (Move *m = selectBestMove(ply)) {
            expected.push_back(m);
            m->sortKey = MinusInfinity;
        }
        for (int i = 0; i < length; ++i) moveStack[i].sortKey = saved[static_cast<size_t>(i)];

        // The search's way: a fresh visit, then each pick is made (currentMove
        // set, key marked tried) before the next question.
        std::vector<Move *> actual;
        ply->currentMove = nullptr;
        while (Move *m = selectNextMove(ply)) {
            actual.push_back(m);
            ply->currentMove = m;
            m->sortKey = MinusInfinity;
        }
        ASSERT_EQ(actual, expected) << "round " << round << ", length " << length;
    }
}

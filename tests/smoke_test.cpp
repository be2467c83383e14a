#include <gtest/gtest.h>

#include "session.h"

using namespace brevola::testing;

TEST(ConsoleStartUp, ShowsBannerBoardAndPrompt) {
    ScopedTempDir dir;
    SessionResult result = runSession("");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, "Brevola chess engine - type ? for help\n" +
                                 expectedBoard("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR",
                                               "00", "0") +
                                 "\n>\n\n");
}

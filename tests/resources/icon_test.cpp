#include "resources/icon.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/test_support.h"

namespace prismview {
namespace {

TEST(Icon107, BothSizesAreSquareGridsOfPaletteIndices) {
    for (const IconImage* icon : {&ProgramIconLarge, &ProgramIconSmall}) {
        ASSERT_EQ(icon->rows.size(), static_cast<std::size_t>(icon->size));
        int opaque = 0;
        for (std::string_view row : icon->rows) {
            ASSERT_EQ(row.size(), static_cast<std::size_t>(icon->size));
            for (char c : row) {
                EXPECT_TRUE(c == '.' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')) << c;
                opaque += c != '.';
            }
        }
        EXPECT_GT(opaque, icon->size * icon->size / 4) << icon->size;  // a picture, not an empty frame
    }
    EXPECT_EQ(ProgramIconLarge.size, 32);
    EXPECT_EQ(ProgramIconSmall.size, 16);
}

TEST(Icon107, TheCommittedDataIsWhatTheGeneratorDraws) {
    test::TempDir dir;
    const std::string out = dir.Path("icon.cpp");
    const std::string command = std::string("'") + PRISMVIEW_MAKE_ICON + "' '" + out + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(test::ReadFileBytes(out), test::ReadFileBytes(PRISMVIEW_ICON_SOURCE));
}

}  // namespace
}  // namespace prismview

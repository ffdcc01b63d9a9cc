#include <gtest/gtest.h>

#include "core/colour.h"
#include "effects/point_checks.h"

namespace prismview {
namespace {

using test::Hex;
using test::PixelCase;

TEST(BackgroundMix, KnownColours) {
    const PixelCase cases[] = {
        // Black background.
        {ModeBackgroundMix, 1, 0xC86432, 0, 100, 0x793C1E},
        {ModeBackgroundMix, 3, 0xC86432, 0, 100, 0xC86432},
        {ModeBackgroundMix, 3, 0xC86432, 0, 510, 0xC86432},
        {ModeBackgroundMix, 4, 0xC86432, 0, 100, 0x9B6432},  // channels limited to 255 - 100
        // Blue background at level 128.
        {ModeBackgroundMix, 1, 0xC86432, 0, 128, 0x633198, 0x0000FF},
        {ModeBackgroundMix, 3, 0xC86432, 0, 128, 0xC86480, 0x0000FF},
        {ModeBackgroundMix, 4, 0xC86432, 0, 128, 0x7F6432, 0x0000FF},
        // Every channel of the background in play.
        {ModeBackgroundMix, 1, 0xC86432, 0, 0, 0xC86432, 0x336699},
        {ModeBackgroundMix, 2, 0xC86432, 0, 0, 0xC86432, 0x336699},
        {ModeBackgroundMix, 3, 0xC86432, 0, 0, 0xC86432, 0x336699},
        {ModeBackgroundMix, 4, 0xC86432, 0, 0, 0xC86432, 0x336699},
        {ModeBackgroundMix, 1, 0xC86432, 0, 128, 0x7D6565, 0x336699},
        {ModeBackgroundMix, 3, 0xC86432, 0, 128, 0xC8644C, 0x336699},
        {ModeBackgroundMix, 4, 0xC86432, 0, 128, 0x996432, 0x336699},
        // Above 255 slots 1, 3 and 4 use the ratio 255: the background, the
        // per-channel maximum and the per-channel minimum.
        {ModeBackgroundMix, 1, 0xC86432, 0, 510, 0x336699, 0x336699},
        {ModeBackgroundMix, 2, 0xC86432, 0, 510, 0x336699, 0x336699},
        {ModeBackgroundMix, 3, 0xC86432, 0, 510, 0xC86699, 0x336699},
        {ModeBackgroundMix, 4, 0xC86432, 0, 510, 0x336432, 0x336699},
        {ModeBackgroundMix, 1, 0xC86432, 0, 300, 0x336699, 0x336699},
        // Slot 2 at index 0, whose dot value is 145: the background from 146 on.
        {ModeBackgroundMix, 2, 0xC86432, 0, 145, 0xC86432, 0x336699},
        {ModeBackgroundMix, 2, 0xC86432, 0, 146, 0x336699, 0x336699},
        {ModeBackgroundMix, 2, 0xC86432, 0, 146, 0x336699, 0xAB336699},  // bits 24..31 of the background cleared
        {ModeBackgroundMix, 2, 0xAB806040, 0, 145, 0x806040, 0x336699},  // and those of a source pixel (the opaque byte of a bitmap) too
    };
    test::ExpectPixelCases(cases);
}

TEST(BackgroundMix, ScatterFollowsTheDotValue) {
    const PixelBuffer base = test::Varied(97, 71);
    ProcessingParams params;
    params.effectMode = ModeBackgroundMix;
    params.backgroundColor = 0x336699;
    for (std::int32_t level : {0, 128, 254, 255, 510}) {
        params.level = level;
        const PixelBuffer expected = test::MakeBuffer(97, 71, [&](std::int32_t x, std::int32_t y) {
            return DotNoise(y * 97 + x, 255) < level ? 0x336699u : base.At(x, y);
        });
        EXPECT_EQ(test::FirstDifference(test::RunPass(base, params, 3)[1], expected), "") << "level " << level;
    }
    // The picture holds pixels whose dot value is 254: they alone still
    // show the source at level 254.
    bool has254 = false;
    for (std::int32_t i = 0; i < 97 * 71; ++i) has254 |= DotNoise(i, 255) == 254;
    EXPECT_TRUE(has254);
}

TEST(BackgroundMix, BlackBackgroundFromLevel255) {
    const PixelBuffer base = test::Varied(61, 53);
    const PixelBuffer black = test::MakeBuffer(61, 53, [](std::int32_t, std::int32_t) { return 0u; });
    ProcessingParams params;
    params.effectMode = ModeBackgroundMix;
    for (std::int32_t level : {255, 400, 510}) {
        params.level = level;
        for (int slot : {1, 2, 4})
            EXPECT_EQ(test::FirstDifference(test::RunSlot(base, params, slot), black), "")
                << "level " << level << " slot " << slot;
        EXPECT_EQ(test::FirstDifference(test::RunSlot(base, params, 3), base), "") << "level " << level;
    }
}

TEST(BackgroundMix, SameForAnyThreadCount) {
    ProcessingParams params;
    params.effectMode = ModeBackgroundMix;
    params.level = 150;
    params.backgroundColor = 0x336699;
    test::ExpectSameForAnyThreadCount(params);
}

}  // namespace
}  // namespace prismview

#include "tools/batch_options.h"

#include <gtest/gtest.h>

namespace prismview {
namespace {

TEST(BatchOptions, ModeNames) {
    EXPECT_EQ(ModeOptionName(ModeInvert), "invert");
    EXPECT_EQ(ModeOptionName(ModeRgbComponents), "rgb-components");
    EXPECT_EQ(ModeOptionName(ModeHueRotate), "hue-rotate");
    EXPECT_EQ(ModeOptionName(ModeTintMono2), "tint-mono2");
    EXPECT_EQ(ModeOptionName(ModeSingleRipple), "single-ripple");
    EXPECT_EQ(ModeOptionName(19), "");
    ProcessingParams params;
    std::string error;
    for (std::int32_t mode = 0; mode < kModeCount; ++mode) {
        if (mode == 19) continue;
        ASSERT_TRUE(ParseParameter("mode", ModeOptionName(mode), params, error)) << error;
        EXPECT_EQ(params.effectMode, mode);
        ASSERT_TRUE(ParseParameter("mode", std::to_string(mode), params, error));
        EXPECT_EQ(params.effectMode, mode);
    }
    for (const char* bad : {"19", "26", "-1", "Invert", "hue_rotate", "3x", "", "0x3"})
        EXPECT_FALSE(ParseParameter("mode", bad, params, error)) << bad;
}

TEST(BatchOptions, NumbersAreParsedStrictly) {
    std::int32_t v = 0;
    EXPECT_TRUE(ParseInt32("2147483647", v));
    EXPECT_EQ(v, 2147483647);
    EXPECT_TRUE(ParseInt32("-2147483648", v));
    EXPECT_EQ(v, -2147483647 - 1);
    for (const char* bad : {"2147483648", "-2147483649", "12x", " 12", "12 ", "+", "-", "", "1e3", "0x10"})
        EXPECT_FALSE(ParseInt32(bad, v)) << bad;
}

TEST(BatchOptions, RangesAndForms) {
    ProcessingParams p;
    std::string error;
    EXPECT_TRUE(ParseParameter("hue", "1529", p, error));
    EXPECT_EQ(p.hue, 1529);
    EXPECT_FALSE(ParseParameter("hue", "1530", p, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(ParseParameter("level", "511", p, error));
    EXPECT_FALSE(ParseParameter("level", "-1", p, error));
    EXPECT_TRUE(ParseParameter("background", "a0B1c2", p, error));
    EXPECT_EQ(p.backgroundColor, 0xA0B1C2u);
    for (const char* bad : {"FFF", "1234567", "GG0000", "-12345", "0x1234"})
        EXPECT_FALSE(ParseParameter("background", bad, p, error)) << bad;
    EXPECT_TRUE(ParseParameter("freq", "-3/0", p, error));
    EXPECT_EQ(p.waveFreqNum, -3);
    EXPECT_EQ(p.waveFreqDen, 0);
    for (const char* bad : {"1/", "/2", "1", "1/2/3", "1/99999999999"})
        EXPECT_FALSE(ParseParameter("freq", bad, p, error)) << bad;
    EXPECT_TRUE(ParseParameter("phase", "5/-7", p, error));
    EXPECT_EQ(p.wavePhase, 5);
    EXPECT_EQ(p.wavePhaseDen, -7);
    EXPECT_TRUE(ParseParameter("center", "-2147483648,12", p, error));
    EXPECT_EQ(p.centerX, -2147483647 - 1);
    EXPECT_EQ(p.centerY, 12);
    EXPECT_FALSE(ParseParameter("center", "1;2", p, error));
    EXPECT_TRUE(ParseParameter("overflow", "2", p, error));
    EXPECT_FALSE(ParseParameter("overflow", "3", p, error));
    EXPECT_TRUE(ParseParameter("amplitude", "-16", p, error));
    EXPECT_EQ(p.waveAmplitude, -16);
    EXPECT_FALSE(ParseParameter("amplitude", "2147483648", p, error));
}

}  // namespace
}  // namespace prismview

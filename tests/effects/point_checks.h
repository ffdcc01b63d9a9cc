// Checks shared by the point-effect tests: tables of single-pixel cases, and
// whole passes compared with the slots run directly.
#pragma once

#include <span>
#include <string>

#include "support/test_support.h"

namespace prismview::test {

struct PixelCase {
    std::int32_t mode;
    int slot;
    RgbValue colour;
    std::int32_t hue;
    std::int32_t level;
    RgbValue expected;
    RgbValue background = 0;
};

inline void ExpectPixelCases(std::span<const PixelCase> cases) {
    for (const PixelCase& c : cases) {
        ProcessingParams params;
        params.hue = c.hue;
        params.level = c.level;
        params.backgroundColor = c.background;
        EXPECT_EQ(Hex(RunOnPixel(c.mode, c.slot, c.colour, params)), Hex(c.expected))
            << "mode " << c.mode << " slot " << c.slot << " of " << Hex(c.colour) << " hue " << c.hue << " level "
            << c.level << " background " << Hex(c.background);
    }
}

// Empty when equal, else where and how the two first differ.
inline std::string FirstDifference(const PixelBuffer& actual, const PixelBuffer& expected) {
    if (actual.width != expected.width || actual.height != expected.height) return "sizes differ";
    for (std::int32_t y = 0; y < actual.height; ++y)
        for (std::int32_t x = 0; x < actual.width; ++x)
            if (actual.At(x, y) != expected.At(x, y))
                return "at " + std::to_string(x) + "," + std::to_string(y) + ": " + Hex(actual.At(x, y)) +
                       " instead of " + Hex(expected.At(x, y));
    return "";
}

// The whole pass of the mode on a picture big enough to be split across
// threads gives, with one thread and with three, exactly the slots run
// directly on the picture.
inline void ExpectSameForAnyThreadCount(const ProcessingParams& params) {
    const PixelBuffer base = Varied(97, 71);
    const auto single = RunPass(base, params, 1), three = RunPass(base, params, 3);
    for (int slot = 1; slot <= 4; ++slot) {
        PixelBuffer direct = RunSlot(base, params, slot);
        for (RgbValue& v : direct.pixels) v &= 0xFFFFFFu;  // the bitmaps keep 24 bits
        EXPECT_EQ(FirstDifference(single[slot - 1], direct), "") << "mode " << params.effectMode << " slot " << slot;
        EXPECT_EQ(FirstDifference(three[slot - 1], direct), "") << "mode " << params.effectMode << " slot " << slot;
    }
}

}  // namespace prismview::test

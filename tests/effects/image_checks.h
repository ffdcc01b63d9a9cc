// Whole-image comparisons for the effect tests.
#pragma once

#include <gtest/gtest.h>

#include <concepts>
#include <sstream>

#include "support/test_support.h"

namespace prismview::test {

// A picture whose every pixel names its own position, so that an output pixel
// tells where it was sampled. Positions up to 255.
inline RgbValue Coord(std::int32_t x, std::int32_t y) { return PackRgb(0x40, x, y); }
inline PixelBuffer CoordPicture(std::int32_t width, std::int32_t height) {
    return MakeBuffer(width, height, [](std::int32_t x, std::int32_t y) { return Coord(x, y); });
}

// got equals expected(x, y) everywhere; names the first few differences.
template <class F>
    requires(std::invocable<F&, std::int32_t, std::int32_t>)
::testing::AssertionResult SameImage(const PixelBuffer& got, F&& expected) {
    int differing = 0;
    std::ostringstream where;
    for (std::int32_t y = 0; y < got.height; ++y)
        for (std::int32_t x = 0; x < got.width; ++x) {
            const RgbValue want = expected(x, y);
            if (got.At(x, y) == want) continue;
            if (++differing <= 4)
                where << " (" << x << "," << y << ") is " << Hex(got.At(x, y)) << " not " << Hex(want) << ";";
        }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ:" << where.str();
}

inline ::testing::AssertionResult SameImage(const PixelBuffer& got, const PixelBuffer& expected) {
    if (got.width != expected.width || got.height != expected.height)
        return ::testing::AssertionFailure() << "sizes differ";
    return SameImage(got, [&](std::int32_t x, std::int32_t y) { return expected.At(x, y); });
}

}  // namespace prismview::test

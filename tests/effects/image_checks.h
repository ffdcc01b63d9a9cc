// Pictures for the effect tests.
#pragma once

#include <vector>

#include "support/test_support.h"

namespace prismview::test {

// A picture whose every pixel names its own position (up to 255), so that an
// output pixel tells where it was sampled.
inline RgbValue Coord(std::int32_t x, std::int32_t y) { return PackRgb(0x40, x, y); }
inline PixelBuffer CoordPicture(std::int32_t width, std::int32_t height) { return MakeBuffer(width, height, Coord); }

// The pixels of a width x height picture given by f(x, y), to compare whole images.
template <class F>
std::vector<RgbValue> Pixels(std::int32_t width, std::int32_t height, F&& f) {
    return MakeBuffer(width, height, f).pixels;
}

}  // namespace prismview::test

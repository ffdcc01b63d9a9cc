// Pixel values and the buffers the processing pass works on.
#pragma once

#include <cstdint>
#include <vector>

namespace prismview {

// 0x00RRGGBB: red in bits 16..23, green 8..15, blue 0..7.
using RgbValue = std::uint32_t;

constexpr RgbValue PackRgb(std::int32_t r, std::int32_t g, std::int32_t b) {
    return (static_cast<RgbValue>(r) << 16) | (static_cast<RgbValue>(g) << 8) |
           static_cast<RgbValue>(b);
}
constexpr std::int32_t RedOf(RgbValue v) { return static_cast<std::int32_t>((v >> 16) & 255u); }
constexpr std::int32_t GreenOf(RgbValue v) { return static_cast<std::int32_t>((v >> 8) & 255u); }
constexpr std::int32_t BlueOf(RgbValue v) { return static_cast<std::int32_t>(v & 255u); }

// width x height pixels, rows bottom-up (row 0 is the bottom of the picture),
// no padding: the pixel at column x, row y is pixels[y * width + x].
struct PixelBuffer {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<RgbValue> pixels;

    RgbValue At(std::int32_t x, std::int32_t y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    RgbValue& At(std::int32_t x, std::int32_t y) {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// One source pixel as every effect receives it: the value, its channels and
// their extremes. Channels are signed so that effect arithmetic stays signed.
struct Pixel {
    RgbValue value;
    std::int32_t r, g, b;
    std::int32_t max, min;
};

inline Pixel SplitPixel(RgbValue p) {
    const std::int32_t r = RedOf(p), g = GreenOf(p), b = BlueOf(p);
    std::int32_t hi = r > g ? r : g;
    hi = hi > b ? hi : b;
    std::int32_t lo = r < g ? r : g;
    lo = lo < b ? lo : b;
    return Pixel{p, r, g, b, hi, lo};
}

}  // namespace prismview

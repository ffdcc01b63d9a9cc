// Pixel values and the buffers the processing pass works on.
#pragma once

#include <cstddef>
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

// The top byte of every pixel the screen paints; the colour arithmetic never
// sees it (SplitPixel and the channel accessors drop it).
constexpr RgbValue kOpaque = 0xFF000000u;

// Rows of pixels seen bottom-up, wherever they lie: row y (0 the bottom row)
// starts at Row(y), `stride` pixels after row y - 1. A bottom-up buffer has
// stride width; a top-down bitmap is the same rows read with stride -width
// from its last row, so turning it over is an index, not a copy.
template <class T>
struct RowView {
    std::int32_t width = 0;
    std::int32_t height = 0;
    T* bottom = nullptr;  // row 0
    std::ptrdiff_t stride = 0;

    T* Row(std::int32_t y) const { return bottom + static_cast<std::ptrdiff_t>(y) * stride; }
    T& At(std::int32_t x, std::int32_t y) const { return Row(y)[x]; }
};
using SourceRows = RowView<const RgbValue>;
using TargetRows = RowView<RgbValue>;

// One source pixel as every effect receives it: the value, its channels and
// their extremes. Channels are signed so that effect arithmetic stays signed.
struct Pixel {
    RgbValue value;
    std::int32_t r, g, b;
    std::int32_t max, min;
};

inline Pixel SplitPixel(RgbValue p) {
    p &= 0xFFFFFFu;
    const std::int32_t r = RedOf(p), g = GreenOf(p), b = BlueOf(p);
    std::int32_t hi = r > g ? r : g;
    hi = hi > b ? hi : b;
    std::int32_t lo = r < g ? r : g;
    lo = lo < b ? lo : b;
    return Pixel{p, r, g, b, hi, lo};
}

}  // namespace prismview

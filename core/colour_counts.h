// How many pixels of a picture have each value of each colour term: the
// channels, L = max + min, T = R + G + B, the hue on the 1530-step wheel
// (greys, whose spread is 0, apart) and the spread max - min. Exact over the
// rows counted; the batch tool counts every row, a scope may take every
// n-th.
#pragma once

#include <array>
#include <cstdint>

#include "core/bitmap.h"

namespace prismview {

inline constexpr std::int32_t kHueSteps = 1530;

struct ColourCounts {
    std::array<std::uint64_t, 256> r{}, g{}, b{};
    std::array<std::uint64_t, 511> l{};       // max + min
    std::array<std::uint64_t, 766> t{};       // R + G + B
    std::array<std::uint64_t, kHueSteps> hue{};  // pixels with a hue, by HueOf modulo the wheel
    std::uint64_t greys = 0;                  // pixels without one (max = min)
    std::array<std::uint64_t, 256> spread{};  // max - min
    std::uint64_t pixels = 0;                 // pixels counted

    void Add(const ColourCounts& other);
    friend bool operator==(const ColourCounts&, const ColourCounts&) = default;
};

// Counts rows 0, rowStep, 2 * rowStep, ... (every row for 1) of the bitmap,
// on up to `threads` threads (0: the default count). A rowStep below 1
// counts every row.
ColourCounts CountColours(const Bitmap& bitmap, std::int32_t rowStep = 1, int threads = 0);

// The counts of one colour as the probe reads it: adds that colour once.
void CountColour(ColourCounts& counts, RgbValue colour);

}  // namespace prismview

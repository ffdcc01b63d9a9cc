// The built-in colour chart: every hue of the wheel across, the lightness
// L = max + min from black (0) at the top to white (510) at the bottom, each
// colour as saturated as its L allows, and down the right edge a band of the
// greys of each row's L. Put in the base slot, it shows what a mode does to
// every colour at once.
#pragma once

#include <cstdint>

#include "core/bitmap.h"

namespace prismview {

// The window's chart: one row for each L, and a column for about every
// second step of the wheel.
inline constexpr std::int32_t kChartWidth = 800;
inline constexpr std::int32_t kChartHeight = 511;
inline constexpr std::int32_t kMaxChartSide = 16384;

// Where a chart of a size has what.
struct ChartLayout {
    std::int32_t width = 0, height = 0;
    std::int32_t hueColumns = 0;  // columns 0 .. hueColumns - 1 sweep the wheel, the rest are the grey band

    explicit ChartLayout(std::int32_t width, std::int32_t height);
    // The hue step of a column of the sweep, 0..1529.
    std::int32_t HueAt(std::int32_t x) const;
    // The L of a row, 0 at the top to 510 at the bottom (255 in a chart one row high).
    std::int32_t LightnessAt(std::int32_t y) const;
};

// The colour of hue step `hue` (0..1529) with max + min = `lightness`
// (0..510), as saturated as that allows: min 0 up to L = 255, max 255 above.
RgbValue ChartColour(std::int32_t hue, std::int32_t lightness);

// The chart at a size (each side 1..kMaxChartSide); null without memory or
// for a size outside that.
BitmapHandle MakeColourChart(std::int32_t width = kChartWidth, std::int32_t height = kChartHeight);

}  // namespace prismview

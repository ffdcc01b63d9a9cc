#include "core/colour_chart.h"

#include <algorithm>

#include "core/colour.h"

namespace prismview {

ChartLayout::ChartLayout(std::int32_t w, std::int32_t h) : width(w), height(h) {
    // A thirty-second of the width for the greys, at least a column once
    // there are two.
    const std::int32_t band = width < 2 ? 0 : std::max(1, width / 32);
    hueColumns = width - band;
}

std::int32_t ChartLayout::HueAt(std::int32_t x) const {
    return static_cast<std::int32_t>(static_cast<std::int64_t>(x) * HueSteps / std::max(hueColumns, 1));
}

std::int32_t ChartLayout::LightnessAt(std::int32_t y) const {
    if (height < 2) return 255;
    return static_cast<std::int32_t>(static_cast<std::int64_t>(y) * 510 / (height - 1));
}

RgbValue ChartColour(std::int32_t hue, std::int32_t lightness) {
    const std::int32_t low = std::max(0, lightness - 255);
    const std::int32_t spread = std::min(lightness, 510 - lightness);
    // The saturated colour's channels (max 255, min 0) brought into
    // low..low + spread, rounded: max and min land exactly, so L does.
    const RgbValue pure = HueColour(hue);
    RgbValue colour = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::int32_t c = static_cast<std::int32_t>(pure >> shift & 0xFF);
        colour |= static_cast<RgbValue>(low + (c * spread + 127) / 255) << shift;
    }
    return colour;
}

BitmapHandle MakeColourChart(std::int32_t width, std::int32_t height) {
    if (width < 1 || height < 1 || width > kMaxChartSide || height > kMaxChartSide) return nullptr;
    BitmapHandle chart = Bitmap::Create(width, height);
    if (!chart) return nullptr;
    const ChartLayout layout(width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        const std::int32_t lightness = layout.LightnessAt(y);
        std::uint32_t* row = chart->Scanline(y);
        for (std::int32_t x = 0; x < layout.hueColumns; ++x) row[x] = ChartColour(layout.HueAt(x), lightness) | kOpaque;
        // The grey of this L: max = min = L / 2 (an odd L rounds down).
        const std::uint32_t grey = static_cast<std::uint32_t>(lightness / 2) * 0x010101u | kOpaque;
        std::fill(row + layout.hueColumns, row + width, grey);
    }
    return chart;
}

}  // namespace prismview

#include "core/colour_counts.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "core/colour.h"
#include "core/parallel.h"

namespace prismview {

namespace {

// Counts one run of pixels, their hues worked out in vector lanes first.
void CountRun(ColourCounts& counts, const RgbValue* pixels, std::int32_t count, std::int32_t* hues) {
    HuesOfRun(pixels, hues, count);
    for (std::int32_t i = 0; i < count; ++i) {
        const RgbValue c = pixels[i];
        const std::int32_t r = static_cast<std::int32_t>((c >> 16) & 0xFF);
        const std::int32_t g = static_cast<std::int32_t>((c >> 8) & 0xFF);
        const std::int32_t b = static_cast<std::int32_t>(c & 0xFF);
        const std::int32_t max = std::max({r, g, b}), min = std::min({r, g, b});
        ++counts.r[r];
        ++counts.g[g];
        ++counts.b[b];
        ++counts.l[max + min];
        ++counts.t[r + g + b];
        ++counts.spread[max - min];
        if (max == min) ++counts.greys;
        else ++counts.hue[hues[i] % kHueSteps];  // 1530 is red, the wheel's 0
    }
    counts.pixels += static_cast<std::uint64_t>(count);
}

}  // namespace

void ColourCounts::Add(const ColourCounts& o) {
    auto add = [](auto& to, const auto& from) {
        for (std::size_t i = 0; i < to.size(); ++i) to[i] += from[i];
    };
    add(r, o.r);
    add(g, o.g);
    add(b, o.b);
    add(l, o.l);
    add(t, o.t);
    add(hue, o.hue);
    add(spread, o.spread);
    greys += o.greys;
    pixels += o.pixels;
}

void CountColour(ColourCounts& counts, RgbValue colour) {
    const RgbValue pixel = colour & 0xFFFFFFu;
    std::int32_t hue = 0;
    CountRun(counts, &pixel, 1, &hue);
}

ColourCounts CountColours(const Bitmap& bitmap, std::int32_t rowStep, int threads) {
    ColourCounts total;
    const std::int32_t width = bitmap.Width(), height = bitmap.Height();
    if (width <= 0 || height <= 0) return total;
    const std::int32_t step = std::max(1, rowStep);
    const std::int32_t counted = (height - 1) / step + 1;  // rows 0, step, ...
    std::mutex mutex;
    ForEachRowBand(counted, threads > 0 ? threads : DefaultThreadCount(), [&](std::int32_t first, std::int32_t last) {
        ColourCounts band;
        std::vector<std::int32_t> hues(static_cast<std::size_t>(width));
        std::vector<RgbValue> row(static_cast<std::size_t>(width));
        for (std::int32_t i = first; i < last; ++i) {
            const RgbValue* pixels = bitmap.Scanline(static_cast<std::int32_t>(std::int64_t{i} * step));
            // The store's pixels carry a byte above the colour: counted without it.
            for (std::int32_t x = 0; x < width; ++x) row[static_cast<std::size_t>(x)] = pixels[x] & 0xFFFFFFu;
            CountRun(band, row.data(), width, hues.data());
        }
        const std::lock_guard lock(mutex);
        total.Add(band);
    });
    return total;
}

}  // namespace prismview

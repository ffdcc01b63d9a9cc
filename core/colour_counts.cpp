#include "core/colour_counts.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

#include "core/colour.h"
#include "core/parallel.h"

namespace prismview {

namespace {

// One band's counts in 32 bits (a band counts fewer than 2^32 pixels before
// it is added to the total); the greys go in the hue's last bin, so that a
// pixel's count has no branch.
struct BandCounts {
    std::array<std::uint32_t, 256> r{}, g{}, b{}, spread{};
    std::array<std::uint32_t, 511> l{};
    std::array<std::uint32_t, 766> t{};
    std::array<std::uint32_t, kHueSteps + 1> hue{};  // [kHueSteps]: the greys
    std::uint64_t pixels = 0;

    // Counts one run of pixels (the byte above the colour ignored), their
    // hues worked out in vector lanes first.
    void CountRun(const RgbValue* run, std::int32_t count, std::int32_t* hues) {
        HuesOfRun(run, hues, count);
        for (std::int32_t i = 0; i < count; ++i) {
            const RgbValue c = run[i];
            const std::int32_t red = static_cast<std::int32_t>((c >> 16) & 0xFF);
            const std::int32_t green = static_cast<std::int32_t>((c >> 8) & 0xFF);
            const std::int32_t blue = static_cast<std::int32_t>(c & 0xFF);
            const std::int32_t max = std::max({red, green, blue}), min = std::min({red, green, blue});
            ++r[static_cast<std::size_t>(red)];
            ++g[static_cast<std::size_t>(green)];
            ++b[static_cast<std::size_t>(blue)];
            ++l[static_cast<std::size_t>(max + min)];
            ++t[static_cast<std::size_t>(red + green + blue)];
            ++spread[static_cast<std::size_t>(max - min)];
            const std::int32_t h = hues[i];  // 0..1530; 1530 is red, the wheel's 0
            const std::int32_t onWheel = h >= kHueSteps ? h - kHueSteps : h;
            ++hue[static_cast<std::size_t>(max == min ? kHueSteps : onWheel)];
        }
        pixels += static_cast<std::uint64_t>(count);
    }

    void AddTo(ColourCounts& total) const {
        auto add = [](auto& to, const auto& from) {
            for (std::size_t i = 0; i < to.size(); ++i) to[i] += from[i];
        };
        add(total.r, r);
        add(total.g, g);
        add(total.b, b);
        add(total.l, l);
        add(total.t, t);
        add(total.spread, spread);
        for (std::size_t i = 0; i < total.hue.size(); ++i) total.hue[i] += hue[i];
        total.greys += hue[kHueSteps];
        total.pixels += pixels;
    }
};

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
    BandCounts one;
    std::int32_t hue = 0;
    one.CountRun(&colour, 1, &hue);
    one.AddTo(counts);
}

ColourCounts CountColours(const Bitmap& bitmap, std::int32_t rowStep, int threads) {
    ColourCounts total;
    const std::int32_t width = bitmap.Width(), height = bitmap.Height();
    if (width <= 0 || height <= 0) return total;
    const std::int32_t step = std::max(1, rowStep);
    const std::int32_t counted = (height - 1) / step + 1;  // rows 0, step, ...
    std::mutex mutex;
    // Rows a band counts before its 32-bit counts are added to the total.
    const std::int64_t rowsPerFlush = std::max<std::int64_t>(1, (std::int64_t{1} << 31) / width);
    ForEachRowBand(counted, threads > 0 ? threads : DefaultThreadCount(), [&](std::int32_t first, std::int32_t last) {
        ColourCounts sum;
        auto band = std::make_unique<BandCounts>();
        std::vector<std::int32_t> hues(static_cast<std::size_t>(width));
        for (std::int32_t i = first; i < last; ++i) {
            band->CountRun(bitmap.Scanline(static_cast<std::int32_t>(std::int64_t{i} * step)), width, hues.data());
            if ((i - first + 1) % rowsPerFlush == 0) {
                band->AddTo(sum);
                *band = BandCounts{};
            }
        }
        band->AddTo(sum);
        const std::lock_guard lock(mutex);
        total.Add(sum);
    });
    return total;
}

}  // namespace prismview

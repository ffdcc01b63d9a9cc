// Mode 12: the picture combined with the background colour, with the level
// as the strength: a proportional mix, a scatter of background dots, and a
// lighter-of and darker-of comparison.
#include <array>

#include "core/colour.h"
#include "effects/effect_table.h"

namespace prismview {

namespace {

// The mixing ratio out of 255. The level is 0..510 wherever it is set; the
// lower bound keeps every channel in 0..255 whatever a caller passes.
inline std::int32_t Ratio(const ProcessingParams& params) { return ClampInt(params.level, 0, 255); }

// Applies f(source channel, background channel) to each channel pair. The
// background is fixed for the pass, so each channel's 256 results are
// worked out first and every pixel looks them up.
template <class F>
void PerChannel(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last, F f) {
    const RgbValue bg = c.params.backgroundColor;
    std::array<RgbValue, 256> red, green, blue;
    for (std::int32_t v = 0; v < 256; ++v) {
        const std::size_t i = static_cast<std::size_t>(v);
        red[i] = PackRgb(f(v, RedOf(bg)), 0, 0);
        green[i] = PackRgb(0, f(v, GreenOf(bg)), 0);
        blue[i] = PackRgb(0, 0, f(v, BlueOf(bg)));
    }
    ForEachPixel(c, out, first, last, [&](const Pixel& p, std::int32_t, std::int32_t) {
        return red[static_cast<std::size_t>(p.r)] | green[static_cast<std::size_t>(p.g)] |
               blue[static_cast<std::size_t>(p.b)];
    });
}

void Mix(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const std::int32_t a = Ratio(c.params);
    PerChannel(c, out, first, last, [a](std::int32_t s, std::int32_t b) { return (s * (255 - a) + b * a) / 255; });
}

// Slot 2 uses the raw level: from 255 on every pixel shows the background.
void Scatter(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const std::int32_t v = c.params.level;
    const RgbValue background = c.params.backgroundColor & 0xFFFFFFu;
    const std::size_t width = static_cast<std::size_t>(c.source.width);
    const std::int32_t* noise = c.scratch.perPixel.data();  // DotNoiseRaw of every index
    ForEachPixel(c, out, first, last, [=](const Pixel& p, std::int32_t x, std::int32_t y) {
        return noise[static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)] % 255 < v ? background
                                                                                                   : p.value;
    });
}

void Lighter(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const std::int32_t a = Ratio(c.params);
    PerChannel(c, out, first, last, [a](std::int32_t s, std::int32_t b) {
        const std::int32_t floor = b * a / 255;
        return s > floor ? s : floor;
    });
}

void Darker(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const std::int32_t a = Ratio(c.params);
    PerChannel(c, out, first, last, [a](std::int32_t s, std::int32_t b) {
        const std::int32_t ceiling = 255 - (255 - b) * a / 255;
        return s < ceiling ? s : ceiling;
    });
}

}  // namespace

void AddBackgroundMixEffects(EffectTable& table) {
    table[ModeBackgroundMix] = {{Mix, Scatter, Lighter, Darker}, PrepareDotNoise, true};
}

}  // namespace prismview

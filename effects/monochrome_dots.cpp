// Modes 3, 4 and 5: grey images from the two lightness measures, and dot
// renderings that average to the grey (mode 4) or to the colour (mode 5).
#include "core/colour.h"
#include "effects/effect_table.h"

namespace prismview {

namespace {

constexpr RgbValue kWhite = 0xFFFFFFu, kBlack = 0x000000u;

constexpr RgbValue Grey(std::int32_t g) { return static_cast<RgbValue>(g) * 0x010101u; }

// Mode 3. kInverted gives 255 - g; kSum measures lightness as R + G + B.
template <bool kSum, bool kInverted>
void Monochrome(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    ForEachPixel(c, out, first, last, [](const Pixel& p, std::int32_t, std::int32_t) {
        const std::int32_t g = kSum ? (p.r + p.g + p.b) / 3 : (p.max + p.min) / 2;
        return Grey(kInverted ? 255 - g : g);
    });
}

}  // namespace

// The dot value depends only on the buffer index, so the dot modes compute
// it once for all four slots, and the pass keeps it for later passes:
// perPixel holds DotNoiseRaw(index), which every slot reduces by its own
// modulus.
void PrepareDotNoise(const SourceRows& source, const ProcessingParams&, PassScratch& scratch, std::int32_t first,
                     std::int32_t last) {
    const std::int64_t width = source.width;
    for (std::int64_t i = first * width, end = last * width; i < end; ++i)
        scratch.perPixel[static_cast<std::size_t>(i)] = DotNoiseRaw(static_cast<std::int32_t>(i));
}

namespace {

// Walks the rows like ForEachPixel and hands f the pixel's dot value reduced
// by kModulus (DotNoise(index, kModulus)).
template <std::int32_t kModulus, class F>
inline void ForEachDot(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last, F&& f) {
    const std::int32_t width = out.width;
    ForEachRow<true>(out, first, last, [&](std::int32_t y, RgbValue* to) {
        const RgbValue* from = c.source.Row(y);
        const std::int32_t* noise = c.scratch.perPixel.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (std::int32_t x = 0; x < width; ++x) to[x] = f(SplitPixel(from[x]), noise[x] % kModulus) | kOpaque;
    });
}

// Mode 4: white where the dot value lies below the lightness, black
// elsewhere; the negative slots swap the two.
template <bool kSum, bool kNegative>
void MonoDots(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    ForEachDot<kSum ? 765 : 510>(c, out, first, last, [](const Pixel& p, std::int32_t r) {
        const std::int32_t lightness = kSum ? p.r + p.g + p.b : p.max + p.min;
        return (r < lightness) != kNegative ? kWhite : kBlack;
    });
}

// The pure colour of p: stretched so that its smallest channel is 0 and its
// largest 255. Only for colours, never greys.
inline RgbValue PureColour(const Pixel& p) {
    const std::int32_t spread = p.max - p.min;
    return PackRgb(ScaleTo255(p.r - p.min, spread), ScaleTo255(p.g - p.min, spread), ScaleTo255(p.b - p.min, spread));
}

// One of the two corner colours of p's hue sector, chosen by comparing the
// dot value with the pure colour's middle channel. The order of the tests
// settles ties between equal channels. The dot value is random, so the
// comparison selects instead of branching.
inline RgbValue SixColourDot(const Pixel& p, std::int32_t r) {
    std::int32_t middle;
    RgbValue below, above;
    if (p.max == p.r && p.min == p.b) middle = p.g, below = 0xFFFF00u, above = 0xFF0000u;
    else if (p.max == p.r && p.min == p.g) middle = p.b, below = 0xFF00FFu, above = 0xFF0000u;
    else if (p.max == p.g && p.min == p.b) middle = p.r, below = 0xFFFF00u, above = 0x00FF00u;
    else if (p.max == p.g && p.min == p.r) middle = p.b, below = 0x00FFFFu, above = 0x00FF00u;
    else if (p.max == p.b && p.min == p.g) middle = p.r, below = 0xFF00FFu, above = 0x0000FFu;
    else middle = p.g, below = 0x00FFFFu, above = 0x0000FFu;
    return r < ScaleTo255(middle - p.min, p.max - p.min) ? below : above;
}

// Mode 5. Coloured dots where min <= r < max; elsewhere either a grey whose
// level makes the mix average to the source (kGreyRest), or white below min
// and black from max on. Both candidates are formed and one is selected (the
// dot value is random, a branch on it would mostly guess wrong); for a grey
// the pure colour, and for the full range the grey, is 0 and never used.
template <bool kGreyRest, bool kSixColours>
void ColourDots(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    ForEachDot<255>(c, out, first, last, [](const Pixel& p, std::int32_t r) -> RgbValue {
        const RgbValue dot = kSixColours ? SixColourDot(p, r) : PureColour(p);
        // min <= 255 - spread, as max <= 255.
        const RgbValue rest = kGreyRest ? Grey(ScaleTo255(p.min, 255 - (p.max - p.min)))
                                        : (r < p.min ? kWhite : kBlack);
        return p.min <= r && r < p.max ? dot : rest;
    });
}

}  // namespace

void AddMonochromeDotEffects(EffectTable& table) {
    table[ModeMonochrome].runners = {Monochrome<false, false>, Monochrome<false, true>, Monochrome<true, false>,
                                     Monochrome<true, true>};
    table[ModeDotsMono] = {{MonoDots<false, false>, MonoDots<false, true>, MonoDots<true, false>,
                            MonoDots<true, true>},
                           PrepareDotNoise, true};
    table[ModeDotsColor] = {{ColourDots<true, false>, ColourDots<false, false>, ColourDots<true, true>,
                             ColourDots<false, true>},
                            PrepareDotNoise, true};
}

}  // namespace prismview

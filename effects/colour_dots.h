// Mode 5's formula: coloured dots that average to the colour. Its own
// header, so that the vector kernel can be held against it.
#pragma once

#include "core/colour.h"
#include "core/params.h"
#include "effects/vector_kernels.h"

namespace prismview {

constexpr RgbValue kWhite = 0xFFFFFFu, kBlack = 0x000000u;

constexpr RgbValue Grey(std::int32_t g) { return static_cast<RgbValue>(g) * 0x010101u; }

// The pure colour of p: stretched so that its smallest channel is 0 and its
// largest 255. Only for colours, never greys.
inline RgbValue PureColour(const Pixel& p) {
    const std::int32_t spread = p.max - p.min;
    return PackRgb(ScaleTo255(p.r - p.min, spread), ScaleTo255(p.g - p.min, spread), ScaleTo255(p.b - p.min, spread));
}

// One of the two corner colours of p's hue sector, chosen by comparing the
// dot value with the pure colour's middle channel. The order of the tests
// settles ties between equal channels.
inline RgbValue SixColourDot(const Pixel& p, std::int32_t dot) {
    std::int32_t middle;
    RgbValue below, above;
    if (p.max == p.r && p.min == p.b) middle = p.g, below = 0xFFFF00u, above = 0xFF0000u;
    else if (p.max == p.r && p.min == p.g) middle = p.b, below = 0xFF00FFu, above = 0xFF0000u;
    else if (p.max == p.g && p.min == p.b) middle = p.r, below = 0xFFFF00u, above = 0x00FF00u;
    else if (p.max == p.g && p.min == p.r) middle = p.b, below = 0x00FFFFu, above = 0x00FF00u;
    else if (p.max == p.b && p.min == p.g) middle = p.r, below = 0xFF00FFu, above = 0x0000FFu;
    else middle = p.g, below = 0x00FFFFu, above = 0x0000FFu;
    return dot < ScaleTo255(middle - p.min, p.max - p.min) ? below : above;
}

enum class Dot { Pure, SixColours };      // the coloured dot
enum class Rest { Grey, WhiteBlack };     // what lies outside min..max

// Mode 5. Coloured dots where min <= dot < max; elsewhere either a grey whose
// level makes the mix average to the source, or white below min and black
// from max on. Both candidates are formed and one is selected (the dot value
// is random, a branch on it would mostly guess wrong); for a grey the pure
// colour, and for the full range the grey, is 0 and never used.
template <Rest kRest, Dot kDot>
struct ColourDots {
    explicit ColourDots(const ProcessingParams&) {}
    RgbValue operator()(const Pixel& p, std::int32_t noise) const {
        const std::int32_t dot = noise % 255;
        const RgbValue coloured = kDot == Dot::SixColours ? SixColourDot(p, dot) : PureColour(p);
        // min <= 255 - spread, as max <= 255.
        const RgbValue rest = kRest == Rest::Grey ? Grey(ScaleTo255(p.min, 255 - (p.max - p.min)))
                                                  : (dot < p.min ? kWhite : kBlack);
        return p.min <= dot && dot < p.max ? coloured : rest;
    }
    void Row(const RgbValue* from, const std::int32_t* noise, RgbValue* to, std::int32_t count) const {
        ColourDotsRow(from, noise, to, count, {kDot == Dot::SixColours, kRest == Rest::WhiteBlack});
    }
};

}  // namespace prismview

// Modes 3, 4 and 5: grey images from the two lightness measures, and dot
// renderings that average to the grey (mode 4) or to the colour (mode 5).
// A pixel's dot value is DotNoise(index, modulus): its raw noise, which the
// pass keeps for these modes, reduced by the slot's modulus.
#include "core/colour.h"
#include "effects/mode_table.h"
#include "effects/point_schedules.h"
#include "effects/vector_kernels.h"

namespace prismview {

namespace {

constexpr RgbValue kWhite = 0xFFFFFFu, kBlack = 0x000000u;

constexpr RgbValue Grey(std::int32_t g) { return static_cast<RgbValue>(g) * 0x010101u; }

enum class Measure { MaxPlusMin, Sum };  // lightness as max + min (0..510) or R + G + B (0..765)
enum class Tone { Plain, Inverted };

// Mode 3: the lightness brought to 0..255; inverted, 255 minus that.
template <Measure kMeasure, Tone kTone>
struct Monochrome {
    explicit Monochrome(const ProcessingParams&) {}
    RgbValue operator()(const Pixel& p) const {
        const std::int32_t g = kMeasure == Measure::Sum ? (p.r + p.g + p.b) / 3 : (p.max + p.min) / 2;
        return Grey(kTone == Tone::Inverted ? 255 - g : g);
    }
};

// Mode 4: white where the dot value lies below the lightness, black
// elsewhere; the inverted slots swap the two.
template <Measure kMeasure, Tone kTone>
struct MonoDots {
    explicit MonoDots(const ProcessingParams&) {}
    RgbValue operator()(const Pixel& p, std::int32_t noise) const {
        const bool sum = kMeasure == Measure::Sum;
        const std::int32_t dot = noise % (sum ? 765 : 510);
        const std::int32_t lightness = sum ? p.r + p.g + p.b : p.max + p.min;
        return (dot < lightness) != (kTone == Tone::Inverted) ? kWhite : kBlack;
    }
};

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

constexpr ModeSpec kModes[] = {
    {ModeMonochrome, "白黒", 32781, MenuSection::Colours,
     {"白黒１（明度＝最大＋最小）", "白黒１＋反転", "白黒２（明度＝全要素の合計）", "白黒２＋反転"}, "monochrome", "", 0,
     NoSlot, NoSlot, false,
     {Kernel<EachPixel, Monochrome<Measure::MaxPlusMin, Tone::Plain>>,
      Kernel<EachPixel, Monochrome<Measure::MaxPlusMin, Tone::Inverted>>,
      Kernel<EachPixel, Monochrome<Measure::Sum, Tone::Plain>>,
      Kernel<EachPixel, Monochrome<Measure::Sum, Tone::Inverted>>}},
    {ModeDotsMono, "点々（白黒）", 32803, MenuSection::Colours,
     {"白点黒点１（明度＝最大＋最小）", "白点黒点１＋反転", "白点黒点２（明度＝全要素の合計）", "白点黒点２＋反転"},
     "dots-mono", "", 0, NoSlot, NoSlot, true,
     {Kernel<EachPixelWithDots, MonoDots<Measure::MaxPlusMin, Tone::Plain>>,
      Kernel<EachPixelWithDots, MonoDots<Measure::MaxPlusMin, Tone::Inverted>>,
      Kernel<EachPixelWithDots, MonoDots<Measure::Sum, Tone::Plain>>,
      Kernel<EachPixelWithDots, MonoDots<Measure::Sum, Tone::Inverted>>}},
    {ModeDotsColor, "点々（カラー）", 32811, MenuSection::Colours,
     {"灰点＋彩色点", "白点黒点＋彩色点", "灰点＋六色点", "白点黒点＋六色点"}, "dots-colour", "dots-color", 0, NoSlot,
     NoSlot, true,
     {Kernel<VectorRowsWithDots, ColourDots<Rest::Grey, Dot::Pure>>,
      Kernel<VectorRowsWithDots, ColourDots<Rest::WhiteBlack, Dot::Pure>>,
      Kernel<VectorRowsWithDots, ColourDots<Rest::Grey, Dot::SixColours>>,
      Kernel<VectorRowsWithDots, ColourDots<Rest::WhiteBlack, Dot::SixColours>>}},
};

}  // namespace

std::span<const ModeSpec> MonochromeDotModes() { return kModes; }

}  // namespace prismview

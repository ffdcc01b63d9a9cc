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

enum class Dot { Pure, SixColours };      // the coloured dot
enum class Rest { Grey, WhiteBlack };     // what lies outside min..max

// Mode 5. Coloured dots where min <= dot < max (dot = noise % 255): the pure
// colour (stretched so that its smallest channel is 0 and its largest 255) or
// one of the two corner colours of its hue sector; elsewhere either a grey
// whose level makes the mix average to the source, or white below min and
// black from max on (ColourDotsRow, in vector lanes).
template <Rest kRest, Dot kDot>
struct ColourDots {
    explicit ColourDots(const ProcessingParams&) {}
    void Row(const RgbValue* from, const std::int32_t* noise, RgbValue* to, std::int32_t count) const {
        ColourDotsRow(from, noise, to, count, {kDot == Dot::SixColours, kRest == Rest::WhiteBlack});
    }
};

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

constexpr ModeSpec kModes[] = {
    {
        .mode = ModeMonochrome,
        .menuCaption = "白黒",
        .section = MenuSection::Colours,
        .labels = {"白黒１（明度＝最大＋最小）", "白黒１＋反転", "白黒２（明度＝全要素の合計）", "白黒２＋反転"},
        .name = "monochrome",
        .reads = 0,
        .slots = {Kernel<EachPixel, Monochrome<Measure::MaxPlusMin, Tone::Plain>>,
                   Kernel<EachPixel, Monochrome<Measure::MaxPlusMin, Tone::Inverted>>,
                   Kernel<EachPixel, Monochrome<Measure::Sum, Tone::Plain>>,
                   Kernel<EachPixel, Monochrome<Measure::Sum, Tone::Inverted>>},
    },
    {
        .mode = ModeDotsMono,
        .menuCaption = "点々（白黒）",
        .section = MenuSection::Colours,
        .labels = {"白点黒点１（明度＝最大＋最小）", "白点黒点１＋反転", "白点黒点２（明度＝全要素の合計）", "白点黒点２＋反転"},
        .name = "dots-mono",
        .reads = 0,
        .slots = {Kernel<EachPixelWithDots, MonoDots<Measure::MaxPlusMin, Tone::Plain>>,
                   Kernel<EachPixelWithDots, MonoDots<Measure::MaxPlusMin, Tone::Inverted>>,
                   Kernel<EachPixelWithDots, MonoDots<Measure::Sum, Tone::Plain>>,
                   Kernel<EachPixelWithDots, MonoDots<Measure::Sum, Tone::Inverted>>},
    },
    {
        .mode = ModeDotsColor,
        .menuCaption = "点々（カラー）",
        .section = MenuSection::Colours,
        .labels = {"灰点＋彩色点", "白点黒点＋彩色点", "灰点＋六色点", "白点黒点＋六色点"},
        .name = "dots-colour",
        .formerName = "dots-color",
        .reads = 0,
        .slots = {Kernel<VectorRowsWithDots, ColourDots<Rest::Grey, Dot::Pure>>,
                   Kernel<VectorRowsWithDots, ColourDots<Rest::WhiteBlack, Dot::Pure>>,
                   Kernel<VectorRowsWithDots, ColourDots<Rest::Grey, Dot::SixColours>>,
                   Kernel<VectorRowsWithDots, ColourDots<Rest::WhiteBlack, Dot::SixColours>>},
    },
};

}  // namespace

std::span<const ModeSpec> MonochromeDotModes() { return kModes; }

}  // namespace prismview

// Modes 16, 17 and 18: posterisation, and monochrome ramps through the
// chosen hue (black, hue, white; or black, hue, the next or previous corner
// of the wheel, white).
#include "core/colour.h"
#include "effects/inversions.h"
#include "effects/mode_table.h"
#include "effects/point_schedules.h"

namespace prismview {

namespace {

// Every channel rounded to the nearest multiple of 2 * kStep (halves round
// up), the top multiple, 256, written as 255.
template <std::int32_t kStep>
struct Posterise {
    explicit Posterise(const ProcessingParams&) {}
    static constexpr std::int32_t Reduce(std::int32_t c) {
        const std::int32_t q = (c / kStep + 1) / 2 * 2 * kStep;
        return q >= 255 ? 255 : q;
    }
    RgbValue operator()(const Pixel& p) const { return PackRgb(Reduce(p.r), Reduce(p.g), Reduce(p.b)); }
};

enum class Tone { Lightness2, Sum2, Lightness3, Sum3 };
enum class Ramp { TwoStage, TowardYellow, TowardMagenta };

// The pixel's place on a ramp through the chosen hue: its tone (a lightness
// brought onto the ramp's length, 0..510 for two stages, 0..765 for three)
// picks the red-based ramp colour, which is then turned to the hue.
template <Tone kTone, Ramp kRamp>
struct TintedMonochrome {
    static constexpr std::int32_t kKeys = kTone == Tone::Lightness2 || kTone == Tone::Sum2 ? 511 : 766;
    explicit TintedMonochrome(const ProcessingParams& params) : hue(params.hue) {}
    std::int32_t Key(const Pixel& p) const {
        switch (kTone) {
            case Tone::Lightness2: return p.max + p.min;
            case Tone::Sum2: return 2 * (p.r + p.g + p.b) / 3;
            case Tone::Lightness3: return 3 * (p.max + p.min) / 2;
            case Tone::Sum3: return p.r + p.g + p.b;
        }
        return 0;
    }
    RgbValue Colour(std::int32_t v) const {
        const std::int32_t red = v < 255 ? v : 255;
        const std::int32_t second = ClampInt(v - 255, 0, 255);  // 0 until red is full
        const std::int32_t third = v > 510 ? v - 510 : 0;       // 0 until the second is full
        RgbValue ramp = 0;
        switch (kRamp) {
            case Ramp::TwoStage: ramp = PackRgb(red, second, second); break;
            case Ramp::TowardYellow: ramp = PackRgb(red, second, third); break;
            case Ramp::TowardMagenta: ramp = PackRgb(red, third, second); break;
        }
        return RotateHue(ramp, hue, false);
    }
    std::int32_t hue;
};

constexpr ModeSpec kModes[] = {
    {
        .mode = ModeColorReduce,
        .menuCaption = "減色",
        .section = MenuSection::Colours,
        .labels = {"減色（７２９色）", "減色（１２５色）", "減色（２７色）", "減色（８色）"},
        .name = "colour-reduce",
        .formerName = "color-reduce",
        .reads = 0,
        .slots = {Kernel<EachPixel, Posterise<16>>,
                   Kernel<EachPixel, Posterise<32>>,
                   Kernel<EachPixel, Posterise<64>>,
                   Kernel<EachPixel, Posterise<128>>},
    },
    {
        .mode = ModeTintMono2,
        .menuCaption = "色白黒（二段）",
        .section = MenuSection::Colours,
        .labels = {"色白黒（二段：明度＝最大＋最小）", "色白黒（二段：明度＝総和）", "－", "－"},
        .name = "tint-mono-2",
        .formerName = "tint-mono2",
        .reads = ReadsHue,
        .hueSwatch = AllSlots,
        .slots = {Kernel<TableOverKey, TintedMonochrome<Tone::Lightness2, Ramp::TwoStage>>,
                   Kernel<TableOverKey, TintedMonochrome<Tone::Sum2, Ramp::TwoStage>>,
                   Kernel<EachPixel, White>,
                   Kernel<EachPixel, White>},
    },
    {
        .mode = ModeTintMono3,
        .menuCaption = "色白黒（三段）",
        .section = MenuSection::Colours,
        .labels = {"色白黒（三段：赤⇒黄、明度＝最大＋最小）", "色白黒（三段：赤⇒紫、明度＝最大＋最小）", "色白黒（三段：赤⇒黄、明度＝総和）", "色白黒（三段：赤⇒紫、明度＝総和）"},
        .name = "tint-mono-3",
        .formerName = "tint-mono3",
        .reads = ReadsHue,
        .hueSwatch = AllSlots,
        .slots = {Kernel<TableOverKey, TintedMonochrome<Tone::Lightness3, Ramp::TowardYellow>>,
                   Kernel<TableOverKey, TintedMonochrome<Tone::Lightness3, Ramp::TowardMagenta>>,
                   Kernel<TableOverKey, TintedMonochrome<Tone::Sum3, Ramp::TowardYellow>>,
                   Kernel<TableOverKey, TintedMonochrome<Tone::Sum3, Ramp::TowardMagenta>>},
    },
};

}  // namespace

std::span<const ModeSpec> ColourReductionModes() { return kModes; }

}  // namespace prismview

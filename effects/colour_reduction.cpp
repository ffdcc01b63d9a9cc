// Modes 16, 17 and 18: posterisation, and monochrome ramps through the
// chosen hue (black, hue, white; or black, hue, the next or previous corner
// of the wheel, white).
#include <array>

#include "core/colour.h"
#include "effects/effect_table.h"

namespace prismview {

namespace {

// Rounds a channel to the nearest multiple of 2 * kStep (halves round up),
// writing the top multiple, 256, as 255.
template <std::int32_t kStep>
constexpr std::int32_t Reduce(std::int32_t c) {
    const std::int32_t q = (c / kStep + 1) / 2 * 2 * kStep;
    return q >= 255 ? 255 : q;
}

template <std::int32_t kStep>
void ColourReduce(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    ForEachPixel(c, out, first, last, [](const Pixel& p, std::int32_t, std::int32_t) {
        return PackRgb(Reduce<kStep>(p.r), Reduce<kStep>(p.g), Reduce<kStep>(p.b));
    });
}

enum class Tone { Lightness2, Sum2, Lightness3, Sum3 };
enum class Ramp { TwoStage, TowardYellow, TowardMagenta };

// The tone value: a lightness brought onto the length of the ramp.
template <Tone kTone>
constexpr std::int32_t ToneOf(const Pixel& p) {
    switch (kTone) {
        case Tone::Lightness2: return p.max + p.min;
        case Tone::Sum2: return 2 * (p.r + p.g + p.b) / 3;
        case Tone::Lightness3: return 3 * (p.max + p.min) / 2;
        case Tone::Sum3: return p.r + p.g + p.b;
    }
    return 0;
}

// The red-based ramp colour at tone v, before it is turned to the chosen hue.
template <Ramp kRamp>
constexpr RgbValue RampColour(std::int32_t v) {
    const std::int32_t red = v < 255 ? v : 255;
    const std::int32_t second = ClampInt(v - 255, 0, 255);  // 0 until red is full
    const std::int32_t third = v > 510 ? v - 510 : 0;       // 0 until the second is full
    switch (kRamp) {
        case Ramp::TwoStage: return PackRgb(red, second, second);
        case Ramp::TowardYellow: return PackRgb(red, second, third);
        case Ramp::TowardMagenta: return PackRgb(red, third, second);
    }
    return 0;
}

// The output depends only on the tone, so each band turns the whole ramp
// once and looks every pixel up.
template <Tone kTone, Ramp kRamp>
void TintedMonochrome(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    constexpr std::int32_t kTop = kTone == Tone::Lightness2 || kTone == Tone::Sum2 ? 510 : 765;
    std::array<RgbValue, kTop + 1> colours;
    for (std::int32_t v = 0; v <= kTop; ++v)
        colours[static_cast<std::size_t>(v)] = RotateHue(RampColour<kRamp>(v), c.params.hue, false);
    ForEachPixel(c, out, first, last, [&colours](const Pixel& p, std::int32_t, std::int32_t) {
        return colours[static_cast<std::size_t>(ToneOf<kTone>(p))];
    });
}

void White(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    ForEachPixel(c, out, first, last, [](const Pixel&, std::int32_t, std::int32_t) -> RgbValue { return 0xFFFFFFu; });
}

}  // namespace

void AddColourReductionEffects(EffectTable& table) {
    table[ModeColorReduce].runners = {ColourReduce<16>, ColourReduce<32>, ColourReduce<64>, ColourReduce<128>};
    table[ModeTintMono2].runners = {TintedMonochrome<Tone::Lightness2, Ramp::TwoStage>,
                                    TintedMonochrome<Tone::Sum2, Ramp::TwoStage>, White, White};
    table[ModeTintMono3].runners = {
        TintedMonochrome<Tone::Lightness3, Ramp::TowardYellow>, TintedMonochrome<Tone::Lightness3, Ramp::TowardMagenta>,
        TintedMonochrome<Tone::Sum3, Ramp::TowardYellow>, TintedMonochrome<Tone::Sum3, Ramp::TowardMagenta>};
}

}  // namespace prismview

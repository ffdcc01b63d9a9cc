// Modes 6, 7 and 15: mirroring and turning the hue, and painting a pure hue
// chosen by the pixel's lightness.
#include <array>

#include "core/colour.h"
#include "effects/effect_table.h"

namespace prismview {

namespace {

// Exact channel exchanges: the output takes (source channel kToR, kToG,
// kToB), 0 = red, 1 = green, 2 = blue. They never go through RotateHue,
// whose truncation could lower the middle channel.
template <int kToR, int kToG, int kToB>
void Exchange(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    ForEachPixel(c, out, first, last, [](const Pixel& p, std::int32_t, std::int32_t) {
        const std::int32_t channels[3] = {p.r, p.g, p.b};
        return PackRgb(channels[kToR], channels[kToG], channels[kToB]);
    });
}

// Half way round the wheel, exactly: c' = L - c.
void HueInversion(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    ForEachPixel(c, out, first, last, [](const Pixel& p, std::int32_t, std::int32_t) {
        const std::int32_t l = p.max + p.min;
        return PackRgb(l - p.r, l - p.g, l - p.b);
    });
}

// Mirrors about the line through the chosen hue, or turns by it.
template <bool kMirror>
void AboutChosenHue(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const std::int32_t hue = c.params.hue;
    ForEachPixel(c, out, first, last,
                 [hue](const Pixel& p, std::int32_t, std::int32_t) { return RotateHue(p.value, hue, kMirror); });
}

// Mode 15: the hue position is the chosen hue plus (or minus) the lightness
// scaled so that black to white spans one turn. The result depends only on
// the lightness, so each band looks it up in a table of one turn.
template <bool kSum, bool kForward>
void LightnessToHue(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    constexpr std::int32_t kTop = kSum ? 765 : 510, kScale = kSum ? 2 : 3;
    const std::int32_t hue = FloorMod(c.params.hue, HueSteps);
    std::array<RgbValue, kTop + 1> colours;
    for (std::int32_t lightness = 0; lightness <= kTop; ++lightness) {
        const std::int32_t turn = kScale * lightness;
        colours[static_cast<std::size_t>(lightness)] = HueColour(FloorMod(kForward ? hue + turn : hue - turn, HueSteps));
    }
    ForEachPixel(c, out, first, last, [&colours](const Pixel& p, std::int32_t, std::int32_t) {
        return colours[static_cast<std::size_t>(kSum ? p.r + p.g + p.b : p.max + p.min)];
    });
}

}  // namespace

void AddHueEffects(EffectTable& table) {
    table[ModeHueLineInvert].runners = {Exchange<0, 2, 1>, Exchange<2, 1, 0>, Exchange<1, 0, 2>,
                                        AboutChosenHue<true>};
    table[ModeHueRotate].runners = {Exchange<2, 0, 1>, Exchange<1, 2, 0>, HueInversion, AboutChosenHue<false>};
    table[ModeLevelToHue].runners = {LightnessToHue<false, true>, LightnessToHue<true, true>,
                                     LightnessToHue<false, false>, LightnessToHue<true, false>};
}

}  // namespace prismview

// Mode 0: hue inversion, lightness inversion, the ordinary negative, white.
#include "effects/effect_table.h"

namespace prismview {

namespace {

// Exchanges the roles of the largest and smallest channel: c' = L - c.
void HueInversion(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    ForEachPixel(c, out, first, last, [](const Pixel& p, std::int32_t, std::int32_t) {
        const std::int32_t l = p.max + p.min;
        return PackRgb(l - p.r, l - p.g, l - p.b);
    });
}

// Moves every channel by 255 - L: L becomes 510 - L, hue and spread stay.
void LightnessInversion(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    ForEachPixel(c, out, first, last, [](const Pixel& p, std::int32_t, std::int32_t) {
        const std::int32_t shift = 255 - (p.max + p.min);
        return PackRgb(p.r + shift, p.g + shift, p.b + shift);
    });
}

void Negative(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    ForEachPixel(c, out, first, last,
                 [](const Pixel& p, std::int32_t, std::int32_t) { return p.value ^ 0xFFFFFFu; });
}

void White(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    ForEachPixel(c, out, first, last,
                 [](const Pixel&, std::int32_t, std::int32_t) -> RgbValue { return 0xFFFFFFu; });
}

}  // namespace

void AddInversionEffects(EffectTable& table) {
    table[ModeInvert].runners = {HueInversion, LightnessInversion, Negative, White};
}

}  // namespace prismview

// Modes 8 to 11: brighten, darken, saturate and grey by the level, each in
// four ways. "Additive" slots give every pixel the level itself;
// "simultaneous" slots scale it by the pixel's own remaining distance so
// that all pixels arrive together.
#include <cstdlib>

#include "core/colour.h"
#include "core/int_math.h"
#include "core/shifts.h"
#include "effects/effect_table.h"

namespace prismview {

namespace {

// The level is 0..510 wherever it is set; bounding it here keeps the
// products below in 32 bits whatever a caller passes.
inline std::int32_t Level(const ProcessingParams& params) { return ClampInt(params.level, 0, 510); }

// Modes 8 and 9. kDown negates the amount; kSimultaneous scales the level by
// the distance to white (brightening) or black (darkening) out of 255.
template <bool kDown, bool kSimultaneous, std::int32_t kBlend>
void Lightness(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const std::int32_t v = Level(c.params);
    ForEachPixel(c, out, first, last, [v](const Pixel& p, std::int32_t, std::int32_t) {
        const std::int32_t l = p.max + p.min;
        const std::int32_t amount = kSimultaneous ? (kDown ? l : 510 - l) * v / 255 : v;
        return ShiftLightness(p.value, kDown ? -amount : amount, kBlend);
    });
}

inline std::int32_t Headroom(const Pixel& p) { return 255 - std::abs(255 - p.max - p.min); }

// Additive: the same amount for every pixel; kGreyer narrows instead.
template <bool kGreyer, SaturationRule kRule>
void Saturate(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const std::int32_t v = Level(c.params), hue = c.params.hue;
    ForEachPixel(c, out, first, last, [v, hue](const Pixel& p, std::int32_t, std::int32_t) {
        return ShiftSaturation(p.value, kGreyer ? -v : v, kRule, hue);
    });
}

// Simultaneous saturation: the amount is proportional to the spread still
// missing. Black and white (no headroom) pass through.
template <SaturationRule kRule>
void SaturateTogether(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const std::int32_t v = Level(c.params), hue = c.params.hue;
    ForEachPixel(c, out, first, last, [v, hue](const Pixel& p, std::int32_t, std::int32_t) {
        const std::int32_t headroom = Headroom(p);
        if (headroom == 0) return p.value;
        return ShiftSaturation(p.value, DivideSmall(v * (headroom - (p.max - p.min)), headroom), kRule, hue);
    });
}

// Simultaneous greying: the amount is proportional to the spread.
void GreyTogether(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const std::int32_t v = Level(c.params), hue = c.params.hue;
    ForEachPixel(c, out, first, last, [v, hue](const Pixel& p, std::int32_t, std::int32_t) {
        const std::int32_t headroom = Headroom(p);
        if (headroom == 0) return p.value;
        return ShiftSaturation(p.value, -DivideSmall(v * (p.max - p.min), headroom), SatScaled, hue);
    });
}

void InvertSaturation(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const std::int32_t hue = c.params.hue;
    ForEachPixel(c, out, first, last, [hue](const Pixel& p, std::int32_t, std::int32_t) {
        return ShiftSaturation(p.value, 0, SatInvert, hue);
    });
}

}  // namespace

void AddLightnessSaturationEffects(EffectTable& table) {
    table[ModeBrighten].runners = {Lightness<false, false, 0>, Lightness<false, false, 1>, Lightness<false, true, 0>,
                                   Lightness<false, true, 1>};
    table[ModeDarken].runners = {Lightness<true, false, 0>, Lightness<true, false, 1>, Lightness<true, true, 0>,
                                 Lightness<true, true, 1>};
    table[ModeSaturation].runners = {Saturate<false, SatScaled>, Saturate<true, SatScaled>,
                                     SaturateTogether<SatScaled>, GreyTogether};
    table[ModeSaturation2].runners = {Saturate<false, SatKeepGrey>, SaturateTogether<SatKeepGrey>, InvertSaturation,
                                      Saturate<true, SatThroughGrey>};
}

}  // namespace prismview

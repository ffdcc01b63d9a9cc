// Modes 8 to 11: brighten, darken, saturate and grey by the level, each in
// four ways. "Additive" slots give every pixel the level itself;
// "simultaneous" slots scale it by the pixel's own remaining distance so
// that all pixels arrive together.
#include <cstdlib>

#include "core/colour.h"
#include "core/shifts.h"
#include "effects/effect_table.h"

namespace prismview {

namespace {

// The level is 0..510 wherever it is set; bounding it here keeps the
// products below in 32 bits whatever a caller passes.
inline std::int32_t Level(const ProcessingParams& params) { return ClampInt(params.level, kLevelRange.lo, kLevelRange.hi); }

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

// How a saturation slot finds a pixel's amount.
enum class Amount {
    Level,       // additive: the level itself
    MinusLevel,  // additive greying
    Missing,     // simultaneous saturation: proportional to the spread still missing
    Spread,      // simultaneous greying: proportional to the spread
    None,        // the saturation inversion ignores it
};

// Every amount, and so the whole shift, depends on a pixel through its max
// and min alone: each slot plans every pair once per pass (SaturationTable)
// and every pixel looks its pair up. A plan is kept in 64 bits, the pairs
// numbered max (max + 1) / 2 + min, so that the table stays in the cache:
// lo and hi in 16 bits each (bits 0..15, 16..31), then the fixed colour and
// whether it is the result (bits 32..55, bit 63).
std::size_t PairIndex(std::int32_t max, std::int32_t min) {
    return static_cast<std::size_t>(max * (max + 1) / 2 + min);
}
constexpr std::int32_t kPairs = 256 * 257 / 2;
constexpr std::uint64_t kFixed = std::uint64_t{1} << 63;

template <Amount kAmount, SaturationRule kRule>
void SaturationTable(const SlotContext& c, SlotTables& tables) {
    const std::int32_t v = Level(c.params), hue = c.params.hue;
    tables.wide.resize(kPairs);
    for (std::int32_t max = 0; max < 256; ++max)
        for (std::int32_t min = 0; min <= max; ++min) {
            const std::int32_t spread = max - min, headroom = 255 - std::abs(255 - max - min);
            SaturationPlan plan;
            if ((kAmount == Amount::Missing || kAmount == Amount::Spread) && headroom == 0) {
                plan.fixed = true;  // black and white pass through
                plan.colour = PackRgb(max, max, max);
            } else {
                std::int32_t amount = 0;
                switch (kAmount) {
                    case Amount::Level: amount = v; break;
                    case Amount::MinusLevel: amount = -v; break;
                    case Amount::Missing: amount = v * (headroom - spread) / headroom; break;
                    case Amount::Spread: amount = -v * spread / headroom; break;
                    case Amount::None: break;
                }
                plan = PlanSaturation(max, min, amount, kRule, hue);
            }
            tables.wide[PairIndex(max, min)] = (plan.fixed ? kFixed : 0) | std::uint64_t{plan.colour} << 32 |
                                               std::uint64_t{static_cast<std::uint16_t>(plan.hi)} << 16 |
                                               static_cast<std::uint16_t>(plan.lo);
        }
}

void PlannedSaturation(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const std::uint64_t* plans = c.tables.wide.data();
    ForEachPixel(c, out, first, last, [=](const Pixel& p, std::int32_t, std::int32_t) {
        const std::uint64_t packed = plans[PairIndex(p.max, p.min)];
        SaturationPlan plan;
        plan.lo = static_cast<std::int16_t>(packed & 0xFFFFu);
        plan.hi = static_cast<std::int16_t>((packed >> 16) & 0xFFFFu);
        plan.colour = static_cast<RgbValue>((packed >> 32) & 0xFFFFFFu);
        plan.fixed = (packed & kFixed) != 0;
        return ApplySaturation(plan, p);
    });
}

}  // namespace

void AddLightnessSaturationEffects(EffectTable& table) {
    table[ModeBrighten].runners = {Lightness<false, false, 0>, Lightness<false, false, 1>, Lightness<false, true, 0>,
                                   Lightness<false, true, 1>};
    table[ModeDarken].runners = {Lightness<true, false, 0>, Lightness<true, false, 1>, Lightness<true, true, 0>,
                                 Lightness<true, true, 1>};
    table[ModeSaturation].runners = {PlannedSaturation, PlannedSaturation, PlannedSaturation, PlannedSaturation};
    table[ModeSaturation].setups = {SaturationTable<Amount::Level, SatScaled>,
                                    SaturationTable<Amount::MinusLevel, SatScaled>,
                                    SaturationTable<Amount::Missing, SatScaled>, SaturationTable<Amount::Spread, SatScaled>};
    table[ModeSaturation2].runners = {PlannedSaturation, PlannedSaturation, PlannedSaturation, PlannedSaturation};
    table[ModeSaturation2].setups = {
        SaturationTable<Amount::Level, SatKeepGrey>, SaturationTable<Amount::Missing, SatKeepGrey>,
        SaturationTable<Amount::None, SatInvert>, SaturationTable<Amount::MinusLevel, SatThroughGrey>};
}

}  // namespace prismview

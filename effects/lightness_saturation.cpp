// Modes 8 to 11: brighten, darken, saturate and grey by the level, each in
// four ways. "Additive" slots give every pixel the level itself;
// "simultaneous" slots scale it by the pixel's own remaining distance so
// that all pixels arrive together.
#include <cstdlib>

#include "core/colour.h"
#include "effects/mode_table.h"
#include "effects/point_schedules.h"
#include "effects/vector_kernels.h"

namespace prismview {

namespace {

// The level is 0..510 wherever it is set; bounding it here keeps the
// products below in 32 bits whatever a caller passes.
inline std::int32_t Level(const ProcessingParams& params) {
    return ClampInt(params.level, kLevelRange.lo, kLevelRange.hi);
}

enum class Direction { Brighten, Darken };
enum class Pace { Additive, Simultaneous };
// How the lightness shift moves the channels: keeping their ratios as long
// as it can, or straight toward white or black.
enum class Blend : std::int32_t { KeepRatio = 0, Straight = 1 };

// Modes 8 and 9: L moves by the level, or (simultaneous) by the level scaled
// by the distance to white (brightening) or black (darkening) out of 255.
template <Direction kDirection, Pace kPace, Blend kBlend>
struct LightnessShift {
    explicit LightnessShift(const ProcessingParams& params) : level(Level(params)) {}
    void Row(const RgbValue* from, RgbValue* to, std::int32_t count) const {
        ShiftLightnessRun(from, to, count,
                          {level, kDirection == Direction::Darken, kPace == Pace::Simultaneous, kBlend == Blend::Straight});
    }
    std::int32_t level;
};

// How a saturation slot finds a pixel's amount.
enum class Amount {
    Level,       // additive: the level itself
    MinusLevel,  // additive greying
    Missing,     // simultaneous saturation: proportional to the spread still missing
    Spread,      // simultaneous greying: proportional to the spread
    None,        // the saturation inversion ignores it
};

// Modes 10 and 11: ShiftSaturation by the slot's amount, which depends on a
// pixel through its max and min alone, in two steps: the plan for the range
// min..max, then the channels stretched into it.
template <Amount kAmount, SaturationRule kRule>
struct SaturationShift {
    explicit SaturationShift(const ProcessingParams& params) : level(Level(params)), hue(params.hue) {}
    SaturationPlan Plan(std::int32_t max, std::int32_t min) const {
        const std::int32_t spread = max - min, headroom = 255 - std::abs(255 - max - min);
        const bool simultaneous = kAmount == Amount::Missing || kAmount == Amount::Spread;
        if (simultaneous && headroom == 0) {  // black and white pass through
            SaturationPlan plan;
            plan.Fix(PackRgb(max, max, max));
            return plan;
        }
        std::int32_t amount = 0;
        switch (kAmount) {
            case Amount::Level: amount = level; break;
            case Amount::MinusLevel: amount = -level; break;
            case Amount::Missing: amount = level * (headroom - spread) / headroom; break;
            case Amount::Spread: amount = -level * spread / headroom; break;
            case Amount::None: break;
        }
        return PlanSaturation(max, min, amount, kRule, hue);
    }
    std::int32_t level, hue;
};

using D = Direction;
using P = Pace;
using B = Blend;
using A = Amount;

constexpr ModeSpec kModes[] = {
    {
        .mode = ModeBrighten,
        .menuCaption = "明度（明るくする）",
        .section = MenuSection::Colours,
        .labels = {"明（加算的、彩度率固定）", "明（加算的）", "明（同時収束、彩度率固定）", "明（同時収束）"},
        .name = "brighten",
        .reads = ReadsLevel,
        .levelSwatch = AllSlots,
        .slots = {Kernel<VectorRows, LightnessShift<D::Brighten, P::Additive, B::KeepRatio>>,
                   Kernel<VectorRows, LightnessShift<D::Brighten, P::Additive, B::Straight>>,
                   Kernel<VectorRows, LightnessShift<D::Brighten, P::Simultaneous, B::KeepRatio>>,
                   Kernel<VectorRows, LightnessShift<D::Brighten, P::Simultaneous, B::Straight>>},
    },
    {
        .mode = ModeDarken,
        .menuCaption = "明度（暗くする）",
        .section = MenuSection::Colours,
        .labels = {"暗（加算的、彩度率固定）", "暗（加算的）", "暗（同時収束、彩度率固定）", "暗（同時収束）"},
        .name = "darken",
        .reads = ReadsLevel,
        .levelSwatch = AllSlots,
        .slots = {Kernel<VectorRows, LightnessShift<D::Darken, P::Additive, B::KeepRatio>>,
                   Kernel<VectorRows, LightnessShift<D::Darken, P::Additive, B::Straight>>,
                   Kernel<VectorRows, LightnessShift<D::Darken, P::Simultaneous, B::KeepRatio>>,
                   Kernel<VectorRows, LightnessShift<D::Darken, P::Simultaneous, B::Straight>>},
    },
    {
        .mode = ModeSaturation,
        .menuCaption = "彩度",
        .section = MenuSection::Colours,
        .labels = {"彩（加算的、灰⇒指定色）", "灰（加算的）", "彩（同時収束、灰⇒指定色）", "灰（同時収束）"},
        .name = "saturation",
        .reads = ReadsLevel | ReadsHue,
        .hueSwatch = Slot1 | Slot3,
        .levelSwatch = AllSlots,
        .slots = {Kernel<TableOverMaxMin, SaturationShift<A::Level, SatScaled>>,
                   Kernel<TableOverMaxMin, SaturationShift<A::MinusLevel, SatScaled>>,
                   Kernel<TableOverMaxMin, SaturationShift<A::Missing, SatScaled>>,
                   Kernel<TableOverMaxMin, SaturationShift<A::Spread, SatScaled>>},
    },
    {
        .mode = ModeSaturation2,
        .menuCaption = "彩度２",
        .section = MenuSection::Colours,
        .labels = {"彩（加算的、灰固定）", "彩（同時収束、灰固定）", "彩度反転？（灰⇒指定色）", "彩（加算的２、灰⇒指定色）"},
        .name = "saturation-2",
        .formerName = "saturation2",
        .reads = ReadsLevel | ReadsHue,
        .hueSwatch = Slot3 | Slot4,
        .levelSwatch = Slot1 | Slot2 | Slot4,
        .slots = {Kernel<TableOverMaxMin, SaturationShift<A::Level, SatKeepGrey>>,
                   Kernel<TableOverMaxMin, SaturationShift<A::Missing, SatKeepGrey>>,
                   Kernel<TableOverMaxMin, SaturationShift<A::None, SatInvert>>,
                   Kernel<TableOverMaxMin, SaturationShift<A::MinusLevel, SatThroughGrey>>},
    },
};

}  // namespace

std::span<const ModeSpec> LightnessSaturationModes() { return kModes; }

}  // namespace prismview

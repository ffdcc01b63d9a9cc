// Mode 0: hue inversion, lightness inversion, the ordinary negative, white.
#include "effects/inversions.h"

#include "effects/mode_table.h"
#include "effects/point_schedules.h"

namespace prismview {

namespace {

// Moves every channel by 255 - L: L becomes 510 - L, hue and spread stay.
struct LightnessInversion {
    explicit LightnessInversion(const ProcessingParams&) {}
    RgbValue operator()(const Pixel& p) const {
        const std::int32_t shift = 255 - (p.max + p.min);
        return PackRgb(p.r + shift, p.g + shift, p.b + shift);
    }
};

struct Negative {
    explicit Negative(const ProcessingParams&) {}
    RgbValue operator()(const Pixel& p) const { return p.value ^ 0xFFFFFFu; }
};

constexpr ModeSpec kModes[] = {
    {
        .mode = ModeInvert,
        .menuCaption = "反転",
        .section = MenuSection::Colours,
        .labels = {"色相反転", "明度反転", "通常反転", "－"},
        .name = "invert",
        .reads = 0,
        .slots = {Kernel<EachPixel, HueInversion>,
                   Kernel<EachPixel, LightnessInversion>,
                   Kernel<EachPixel, Negative>,
                   Kernel<EachPixel, White>},
    },
};

}  // namespace

std::span<const ModeSpec> InversionModes() { return kModes; }

}  // namespace prismview

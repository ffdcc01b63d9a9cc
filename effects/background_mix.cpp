// Mode 12: the picture combined with the background colour, with the level
// as the strength: a proportional mix, a scatter of background dots, and a
// lighter-of and darker-of comparison.
#include "core/colour.h"
#include "effects/mode_table.h"
#include "effects/point_schedules.h"

namespace prismview {

namespace {

// The mixing ratio out of 255. The level is 0..510 wherever it is set; the
// lower bound keeps every channel in 0..255 whatever a caller passes.
inline std::int32_t Ratio(const ProcessingParams& params) { return ClampInt(params.level, 0, 255); }

// Each channel of the source s with the background's channel b.
struct Mix {
    explicit Mix(const ProcessingParams& params) : a(Ratio(params)) {}
    std::int32_t Channel(std::int32_t s, std::int32_t b) const { return (s * (255 - a) + b * a) / 255; }
    std::int32_t a;
};

struct Lighter {
    explicit Lighter(const ProcessingParams& params) : a(Ratio(params)) {}
    std::int32_t Channel(std::int32_t s, std::int32_t b) const {
        const std::int32_t floor = b * a / 255;
        return s > floor ? s : floor;
    }
    std::int32_t a;
};

struct Darker {
    explicit Darker(const ProcessingParams& params) : a(Ratio(params)) {}
    std::int32_t Channel(std::int32_t s, std::int32_t b) const {
        const std::int32_t ceiling = 255 - (255 - b) * a / 255;
        return s < ceiling ? s : ceiling;
    }
    std::int32_t a;
};

// The background colour where the dot value lies below the raw level (from
// 255 on everywhere), the pixel elsewhere.
struct Scatter {
    explicit Scatter(const ProcessingParams& params)
        : level(params.level), background(params.backgroundColor & 0xFFFFFFu) {}
    RgbValue operator()(const Pixel& p, std::int32_t noise) const { return noise % 255 < level ? background : p.value; }
    std::int32_t level;
    RgbValue background;
};

constexpr ModeSpec kModes[] = {
    {
        .mode = ModeBackgroundMix,
        .menuCaption = "背景色と混合",
        .section = MenuSection::Colours,
        .labels = {"背景色と混合（中間色）", "背景色と混合（点々）", "背景色と混合（比較明）", "背景色と混合（比較暗）"},
        .name = "background-mix",
        .reads = ReadsLevel | ReadsBackground,
        .levelSwatch = AllSlots,
        .slots = {Kernel<EachChannel, Mix>,
                   Kernel<EachPixelWithDots, Scatter>,
                   Kernel<EachChannel, Lighter>,
                   Kernel<EachChannel, Darker>},
    },
};

}  // namespace

std::span<const ModeSpec> BackgroundMixModes() { return kModes; }

}  // namespace prismview

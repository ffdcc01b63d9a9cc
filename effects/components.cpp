// Modes 1 and 2: the red, green and blue parts of a pixel (they OR together
// to the source) and its three complementary parts (they AND together to it),
// each with a fourth image along the chosen hue.
#include "core/colour.h"
#include "core/int_math.h"
#include "effects/mode_table.h"
#include "effects/point_schedules.h"
#include "effects/vector_kernels.h"

namespace prismview {

namespace {

// The channels of kKeep, with those of kFill set to full.
template <RgbValue kKeep, RgbValue kFill>
struct Part {
    explicit Part(const ProcessingParams&) {}
    RgbValue operator()(const Pixel& p) const { return (p.value & kKeep) | kFill; }
};
using RedPart = Part<0xFF0000u, 0>;
using GreenPart = Part<0x00FF00u, 0>;
using BluePart = Part<0x0000FFu, 0>;
using YellowPart = Part<0xFF0000u, 0x00FFFFu>;  // keeps red, the complement of blue
using MagentaPart = Part<0x00FF00u, 0xFF00FFu>;
using CyanPart = Part<0x0000FFu, 0xFFFF00u>;

enum class Along { Hue, Complement };

// How much of the pixel lies along the chosen hue: the red channel of the
// pixel turned back by the hue (0..255). The hue's colour scaled by that
// amount; the complementary image scales the distance to white instead.
template <Along kAlong>
struct AlongHue {
    static constexpr std::int32_t kKeys = 256;
    explicit AlongHue(const ProcessingParams& params) : hue(params.hue), colour(HueColour(params.hue)) {
        for (std::int32_t key = 0; key < kKeys; ++key) colours[static_cast<std::size_t>(key)] = Colour(key) | kOpaque;
    }
    // The amount of each pixel (RotateHue's red channel) and the look-up of
    // its colour, in vector lanes.
    void Row(const RgbValue* from, RgbValue* to, std::int32_t count) const {
        RotateHueRun(from, to, count, {WrapSub(HueSteps, hue), false, colours.data()});
    }
    RgbValue Colour(std::int32_t amount) const {
        const auto a = static_cast<std::uint32_t>(amount), rest = 255 - a;
        const auto r = static_cast<std::uint32_t>(RedOf(colour)), g = static_cast<std::uint32_t>(GreenOf(colour)),
                   b = static_cast<std::uint32_t>(BlueOf(colour));
        if (kAlong == Along::Complement)
            return (255 - r * rest / 255) << 16 | (255 - g * rest / 255) << 8 | (255 - b * rest / 255);
        return (r * a / 255) << 16 | (g * a / 255) << 8 | (b * a / 255);
    }
    std::int32_t hue;
    RgbValue colour;
    std::array<RgbValue, kKeys> colours{};
};

constexpr ModeSpec kModes[] = {
    {
        .mode = ModeRgbComponents,
        .menuCaption = "ＲＧＢ（ＯＲ）",
        .section = MenuSection::Colours,
        .labels = {"赤成分", "緑成分", "青成分", "任意（ＲＧＢ）"},
        .name = "rgb-components",
        .reads = ReadsHue,
        .hueSwatch = Slot4,
        .slots = {Kernel<EachPixel, RedPart>,
                   Kernel<EachPixel, GreenPart>,
                   Kernel<EachPixel, BluePart>,
                   Kernel<VectorRows, AlongHue<Along::Hue>>},
    },
    {
        .mode = ModeYcmComponents,
        .menuCaption = "ＹＣＭ（ＡＮＤ）",
        .section = MenuSection::Colours,
        .labels = {"黄成分", "マゼンタ成分", "シアン成分", "任意（ＹＣＭ）"},
        .name = "ycm-components",
        .reads = ReadsHue,
        .hueSwatch = Slot4,
        .slots = {Kernel<EachPixel, YellowPart>,
                   Kernel<EachPixel, MagentaPart>,
                   Kernel<EachPixel, CyanPart>,
                   Kernel<VectorRows, AlongHue<Along::Complement>>},
    },
};

}  // namespace

std::span<const ModeSpec> ComponentModes() { return kModes; }

}  // namespace prismview

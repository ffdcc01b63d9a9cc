// Modes 6, 7 and 15: mirroring and turning the hue, and painting a pure hue
// chosen by the pixel's lightness.
#include "core/colour.h"
#include "effects/inversions.h"
#include "effects/mode_table.h"
#include "effects/point_schedules.h"
#include "effects/vector_kernels.h"

namespace prismview {

namespace {

// Exact channel exchanges: red, green and blue of the output are the source
// channels kToR, kToG and kToB (0 red, 1 green, 2 blue). They never go
// through RotateHue, whose truncation could lower the middle channel.
template <int kToR, int kToG, int kToB>
struct Exchange {
    explicit Exchange(const ProcessingParams&) {}
    RgbValue operator()(const Pixel& p) const {
        const std::int32_t channels[3] = {p.r, p.g, p.b};
        return PackRgb(channels[kToR], channels[kToG], channels[kToB]);
    }
};
using MirrorGreenBlue = Exchange<0, 2, 1>;  // about the red line
using MirrorRedBlue = Exchange<2, 1, 0>;    // about the green line
using MirrorRedGreen = Exchange<1, 0, 2>;   // about the blue line
using TurnRedToBlue = Exchange<2, 0, 1>;    // a third of a turn
using TurnRedToGreen = Exchange<1, 2, 0>;   // two thirds

// Mirrored about the line through the chosen hue, or turned by it.
enum class About { Mirror, Turn };
template <About kAbout>
struct AboutChosenHue {
    explicit AboutChosenHue(const ProcessingParams& params) : hue(params.hue) {}
    void Row(const RgbValue* from, RgbValue* to, std::int32_t count) const {
        RotateHueRun(from, to, count, {hue, kAbout == About::Mirror, nullptr});
    }
    std::int32_t hue;
};

enum class Measure { MaxPlusMin, Sum };
enum class Direction { Forward, Backward };

// Mode 15: the pure hue at the chosen hue plus (or minus) the lightness,
// scaled so that black to white spans one turn of the wheel.
template <Measure kMeasure, Direction kDirection>
struct LightnessToHue {
    static constexpr bool kSum = kMeasure == Measure::Sum;
    static constexpr std::int32_t kKeys = kSum ? 766 : 511;
    explicit LightnessToHue(const ProcessingParams& params) : hue(FloorMod(params.hue, HueSteps)) {}
    std::int32_t Key(const Pixel& p) const { return kSum ? p.r + p.g + p.b : p.max + p.min; }
    RgbValue Colour(std::int32_t lightness) const {
        const std::int32_t turn = (kSum ? 2 : 3) * lightness;
        return HueColour(FloorMod(kDirection == Direction::Forward ? hue + turn : hue - turn, HueSteps));
    }
    std::int32_t hue;
};

constexpr ModeSpec kModes[] = {
    {
        .mode = ModeHueLineInvert,
        .menuCaption = "色相線反転",
        .section = MenuSection::Colours,
        .labels = {"緑青反転", "赤青反転", "赤緑反転", "任意（線反転）"},
        .name = "hue-line-invert",
        .reads = ReadsHue,
        .hueSwatch = Slot4,
        .slots = {Kernel<EachPixel, MirrorGreenBlue>,
                   Kernel<EachPixel, MirrorRedBlue>,
                   Kernel<EachPixel, MirrorRedGreen>,
                   Kernel<VectorRows, AboutChosenHue<About::Mirror>>},
    },
    {
        .mode = ModeHueRotate,
        .menuCaption = "色相回転",
        .section = MenuSection::Colours,
        .labels = {"赤⇒青", "赤⇒緑", "赤⇒シアン（色相反転）", "任意（回転）"},
        .name = "hue-rotate",
        .reads = ReadsHue,
        .hueSwatch = Slot4,
        .slots = {Kernel<EachPixel, TurnRedToBlue>,
                   Kernel<EachPixel, TurnRedToGreen>,
                   Kernel<EachPixel, HueInversion>,
                   Kernel<VectorRows, AboutChosenHue<About::Turn>>},
    },
    {
        .mode = ModeLevelToHue,
        .menuCaption = "明度⇒色相",
        .section = MenuSection::Colours,
        .labels = {"明度（最大＋最小）⇒色相（緑⇒青）", "明度（総和）⇒色相（緑⇒青）", "明度（最大＋最小）⇒色相（緑⇒赤）", "明度（総和）⇒色相（緑⇒赤）"},
        .name = "level-to-hue",
        .reads = ReadsHue,
        .hueSwatch = AllSlots,
        .slots = {Kernel<TableOverKey, LightnessToHue<Measure::MaxPlusMin, Direction::Forward>>,
                   Kernel<TableOverKey, LightnessToHue<Measure::Sum, Direction::Forward>>,
                   Kernel<TableOverKey, LightnessToHue<Measure::MaxPlusMin, Direction::Backward>>,
                   Kernel<TableOverKey, LightnessToHue<Measure::Sum, Direction::Backward>>},
    },
};

}  // namespace

std::span<const ModeSpec> HueModes() { return kModes; }

}  // namespace prismview

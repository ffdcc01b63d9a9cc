// Modes 1 and 2: the red, green and blue parts of a pixel (they OR together
// to the source) and its three complementary parts (they AND together to it),
// each with a fourth image along the chosen hue.
#include <array>

#include "core/colour.h"
#include "core/int_math.h"
#include "effects/effect_table.h"

namespace prismview {

namespace {

template <std::uint32_t kMask, std::uint32_t kFill>
void Component(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    ForEachPixel(c, out, first, last,
                 [](const Pixel& p, std::int32_t, std::int32_t) { return (p.value & kMask) | kFill; });
}

// The red channel of the source turned back by the chosen hue: how much of
// the pixel lies along that hue.
inline std::uint32_t AmountAlongHue(RgbValue value, std::int32_t hue) {
    return static_cast<std::uint32_t>(RedOf(RotateHue(value, WrapSub(HueSteps, hue), false)));
}

// The output depends on the amount along the hue alone (0..255): each range
// of rows looks it up in a table of the 256 colours.
template <bool kComplement>
void AlongHue(const SlotContext& c, const TargetRows& out, std::int32_t first, std::int32_t last) {
    const std::int32_t hue = c.params.hue;
    const RgbValue h = HueColour(hue);
    const std::uint32_t hr = static_cast<std::uint32_t>(RedOf(h)), hg = static_cast<std::uint32_t>(GreenOf(h)),
                        hb = static_cast<std::uint32_t>(BlueOf(h));
    std::array<RgbValue, 256> colours;
    for (std::uint32_t a = 0; a < 256; ++a) {
        const std::uint32_t rest = 255 - a;
        colours[a] = kComplement ? (255 - hr * rest / 255) << 16 | (255 - hg * rest / 255) << 8 | (255 - hb * rest / 255)
                                 : (hr * a / 255) << 16 | (hg * a / 255) << 8 | (hb * a / 255);
    }
    ForEachPixel(c, out, first, last, [&colours, hue](const Pixel& p, std::int32_t, std::int32_t) {
        return colours[AmountAlongHue(p.value, hue)];
    });
}

}  // namespace

void AddComponentEffects(EffectTable& table) {
    table[ModeRgbComponents].runners = {Component<0xFF0000u, 0>, Component<0x00FF00u, 0>,
                                      Component<0x0000FFu, 0>, AlongHue<false>};
    table[ModeYcmComponents].runners = {Component<0xFF0000u, 0x00FFFFu>, Component<0x00FF00u, 0xFF00FFu>,
                                      Component<0x0000FFu, 0xFFFF00u>, AlongHue<true>};
}

}  // namespace prismview

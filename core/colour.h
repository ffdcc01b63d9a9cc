// The colour model shared by the effects: hue wheel, dot noise and the small
// integer helpers that bring a sampling position back into the image.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/pixels.h"

namespace prismview {

constexpr std::int32_t HueSteps = 1530;

// x * 255 / d (truncated) for 0 <= x <= d <= 255: how far a channel x above
// the minimum lies across a spread d, on 0..255. 0 for d = 0 (a grey), so
// that an effect may form it for every pixel and select afterwards.
inline std::int32_t ScaleTo255(std::int32_t x, std::int32_t d) { return d == 0 ? 0 : x * 255 / d; }

// The hue position of a colour, 0..1530 (pure red and the colours with R the
// maximum and G = B give 1530, which is 0 on the wheel); meaningless for a
// grey, which has no hue.
std::int32_t HueOf(RgbValue colour);

// The colour terms of one colour, as a probe shows them: the channels, the
// hue on the wheel (none for a grey), L = max + min and T = R + G + B.
struct ColourTerms {
    RgbValue colour = 0;
    std::int32_t r = 0, g = 0, b = 0;
    std::optional<std::int32_t> hue;
    std::int32_t l = 0, t = 0;
};
ColourTerms TermsOf(RgbValue colour);
// "#RRGGBB R G B H hue L l T t", the hue "—" for a grey.
std::string TermsText(const ColourTerms& terms);

// Turns a colour by `angle` steps of the hue wheel (or mirrors it about the
// line through `angle`), keeping max and min. Greys come back unchanged.
RgbValue RotateHue(RgbValue colour, std::int32_t angle, bool mirror);

// The same over a run of pixels (opaque), in vector lanes (core/hue_lanes.cpp,
// the one code of both): RotateHue of every pixel by `angle` (any 32-bit
// value), turned or mirrored. With `colours` (256 entries), each pixel's
// result is colours[red of the turned pixel] instead.
struct HueRun {
    std::int32_t angle = 0;
    bool mirror = false;
    const RgbValue* colours = nullptr;
};
void RotateHueRun(const RgbValue* from, RgbValue* to, std::int32_t count, const HueRun& run);
// HueOf of every pixel of a run.
void HuesOfRun(const RgbValue* from, std::int32_t* hues, std::int32_t count);

// The fully saturated colour at a position of the hue wheel.
RgbValue HueColour(std::int32_t hue);

// The pseudo-random dot noise of the pixel at buffer index `index`,
// 0..2000000; a dot mode reduces it by its own modulus.
std::int32_t DotNoiseRaw(std::int32_t index);

// a reduced into 0..n-1 (floor modulo for n > 0); 0 when n == 0.
std::int32_t FloorMod(std::int32_t a, std::int32_t n);

// v limited to lo..hi; the upper bound is applied last.
constexpr std::int32_t ClampInt(std::int32_t v, std::int32_t lo, std::int32_t hi) {
    if (v < lo) v = lo;
    if (v > hi) v = hi;
    return v;
}

// Moves a point outside the image back along the line toward the centre onto
// the image's edge. Where that line is undefined (the point is level with a
// centre that itself lies outside), the point is left outside the image so
// that the caller falls back to the background colour.
void ClipTowardCentre(std::int32_t& x, std::int32_t& y, std::int32_t cx, std::int32_t cy,
                      std::int32_t width, std::int32_t height);

}  // namespace prismview

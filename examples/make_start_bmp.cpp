// Draws the sample picture examples/start.bmp: hue bands, grey and
// saturation ramps and a few sharp-edged shapes, so that every processing
// mode has something to show. Usage: make-start-bmp OUTPUT.bmp
#include <cstdio>

#include "core/colour.h"
#include "io/bmp_file.h"

using namespace prismview;

namespace {

constexpr std::int32_t kWidth = 256, kHeight = 192;

// Picture coordinates here count rows from the top, as one draws.
RgbValue Background(std::int32_t x, std::int32_t y) {
    if (y < 64) return HueColour(x * HueSteps / kWidth);  // full hue wheel across the width
    if (y < 96) {                                         // the same hues, fading toward grey 128
        const RgbValue hue = HueColour(x * HueSteps / kWidth);
        const std::int32_t t = y - 64;                    // 0..31
        auto mix = [&](std::int32_t c) { return c + (128 - c) * t / 32; };
        return PackRgb(mix(RedOf(hue)), mix(GreenOf(hue)), mix(BlueOf(hue)));
    }
    if (y < 128) return PackRgb(x, x, x);                 // grey ramp black to white
    // Lower part: a warm-to-cool gradient with a vertical lightness ramp.
    const std::int32_t v = 255 - (y - 128) * 3;
    return PackRgb(v * x / 255, v * 160 / 255, v * (255 - x) / 255);
}

RgbValue Shapes(std::int32_t x, std::int32_t y, RgbValue under) {
    const std::int32_t dx = x - 60, dy = y - 160;
    if (dx * dx + dy * dy <= 22 * 22) return 0xFFFFFFu;                // white disc
    if (x >= 110 && x < 150 && y >= 140 && y < 180) return 0x000000u;  // black square
    if (y >= 136 && y < 186 && x >= 170 && x < 240) {                  // yellow triangle
        const std::int32_t half = (y - 136) * 35 / 50;
        if (x >= 205 - half && x <= 205 + half) return 0xFFD700u;
    }
    if (x >= 8 && x < 40 && y >= 100 && y < 124) return 0x2050C0u;     // blue bar over the grey ramp
    return under;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-start-bmp OUTPUT.bmp\n");
        return 2;
    }
    BitmapHandle bitmap = Bitmap::Create(kWidth, kHeight);
    if (!bitmap) return 1;
    for (std::int32_t row = 0; row < kHeight; ++row)
        for (std::int32_t x = 0; x < kWidth; ++x)
            bitmap->Scanline(row)[x] = 0xFF000000u | Shapes(x, row, Background(x, row));
    std::string reason;
    if (WriteBmpFile(argv[1], *bitmap, &reason) != WriteResult::Written) {
        std::fprintf(stderr, "make-start-bmp: cannot write %s: %s\n", argv[1], reason.c_str());
        return 1;
    }
    return 0;
}

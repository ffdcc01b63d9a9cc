#include "app/preview.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "core/colour.h"
#include "core/downscale.h"
#include "effects/mode_table.h"
#include "support/test_support.h"

namespace prismview {
namespace {

TEST(PreviewParams, TheModesLengthsShrinkWithThePicture) {
    ProcessingParams params;
    params.waveAmplitude = 16;
    params.centerX = 10;
    params.centerY = -7;
    params.waveFreqNum = 3;
    params.waveFreqDen = 32;
    const Scale quarter{1, 4}, gallery{391, 4000};
    const ProcessingParams ripple = PreviewParams(*FindMode(ModeRipple), params, quarter);
    EXPECT_EQ(ripple.waveAmplitude, 4);
    EXPECT_EQ(ripple.centerX, 2);  // 2.5 to the even neighbour
    EXPECT_EQ(ripple.centerY, -2);
    EXPECT_EQ(ripple.waveFreqNum, 12);  // 3/32 a pixel becomes 12/32: a quarter of the wavelength
    EXPECT_EQ(ripple.waveFreqDen, 32);
    const ProcessingParams wave = PreviewParams(*FindMode(ModeWave), params, gallery);
    EXPECT_EQ(wave.waveFreqNum, 3 * 4000);
    EXPECT_EQ(wave.waveFreqDen, 32 * 391);
    EXPECT_EQ(wave.centerX, 10);  // the straight waves have no centre
    // The vortex's frequency is an angle and the slide's a slope: they stay.
    EXPECT_EQ(PreviewParams(*FindMode(ModeVortex), params, quarter).waveFreqNum, 3);
    EXPECT_EQ(PreviewParams(*FindMode(ModeVortex), params, quarter).waveAmplitude, 4);
    EXPECT_EQ(PreviewParams(*FindMode(ModeSlide), params, quarter).waveAmplitude, 16);
    EXPECT_EQ(PreviewParams(*FindMode(ModeSlide), params, quarter).centerY, -2);
    // A fraction too big for 32 bits keeps its numerator and rounds the
    // denominator, never to 0 (which would switch the wave off).
    params.waveFreqNum = 1 << 30;
    params.waveFreqDen = 3;
    const ProcessingParams big = PreviewParams(*FindMode(ModeRipple), params, Scale{1, 7});
    EXPECT_EQ(big.waveFreqNum, 1 << 30);
    EXPECT_EQ(big.waveFreqDen, 1);
    // Colour modes and scale 1 change nothing.
    EXPECT_EQ(PreviewParams(*FindMode(ModeHueRotate), params, quarter).waveAmplitude, 16);
    EXPECT_EQ(PreviewParams(*FindMode(ModeRipple), params, Scale{}).waveAmplitude, 16);
}

// The mean difference per channel between two pictures of one size.
double MeanDifference(const PixelBuffer& a, const PixelBuffer& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift : {0, 8, 16})
            sum += std::abs(static_cast<int>((a.pixels[i] >> shift) & 255) - static_cast<int>((b.pixels[i] >> shift) & 255));
    return sum / (3.0 * static_cast<double>(a.pixels.size()));
}

// For each distortion, the preview of a picture with a clear pattern looks
// like the exact pictures shrunk (area averages of 4 x 4 blocks). Measured
// mean differences per channel at a quarter: waves 15 to 17, ripples 20 to
// 22 (the preview samples rings 8 pixels apart where the shrunk exact
// picture averages them), single wave and ripple below 2, vortex 9.5 to 11,
// slide 4 to 6.5; made without scaling the lengths, waves and ripples are 71
// to 85 off and the vortex's outer twist 59.
TEST(Preview, DistortionsLookLikeTheExactPicturesShrunk) {
    constexpr std::int32_t w = 480, h = 320;
    const PixelBuffer picture = test::MakeBuffer(w, h, [](std::int32_t x, std::int32_t y) {
        const bool check = ((x / 40) + (y / 40)) % 2 == 0;
        return HueColour(x * 1529 / w) ^ (check ? 0u : 0x808080u) ^ static_cast<RgbValue>(y * 255 / h);
    });
    BitmapHandle full = Bitmap::Create(w, h);
    ASSERT_TRUE(WritePixels(*full, picture));
    const Scale quarter{1, 4};
    const PixelBuffer small = ReadPixels(*Downscale(*full, w / 4, h / 4));
    for (const ModeSpec* mode : AllModes()) {
        if (mode->section != MenuSection::Distortions) continue;
        ProcessingParams params;
        params.effectMode = mode->mode;
        params.waveAmplitude = 24;
        params.centerX = 40;
        params.centerY = -20;
        const std::vector<PixelBuffer> exact = test::RunPass(picture, params);
        const std::vector<PixelBuffer> preview = test::RunPass(small, PreviewParams(*mode, params, quarter));
        const std::vector<PixelBuffer> unscaled = test::RunPass(small, params);
        for (int slot = 0; slot < 4; ++slot) {
            BitmapHandle exactBitmap = Bitmap::Create(w, h);
            ASSERT_TRUE(WritePixels(*exactBitmap, exact[slot]));
            const PixelBuffer shrunk = ReadPixels(*Downscale(*exactBitmap, w / 4, h / 4));
            const double difference = MeanDifference(preview[slot], shrunk);
            EXPECT_LT(difference, 25.0) << mode->name << " slot " << slot + 1;
            const double without = MeanDifference(unscaled[slot], shrunk);
            EXPECT_TRUE(without < 20.0 || difference * 2 < without) << mode->name << " slot " << slot + 1;
        }
    }
}

}  // namespace
}  // namespace prismview

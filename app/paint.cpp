#include "app/paint.h"

#include <algorithm>
#include <limits>

#include "core/colour.h"
#include "resources/strings.h"

namespace prismview {

namespace {

constexpr RgbValue kBlack = 0x000000;
constexpr RgbValue kWhite = 0xFFFFFF;

// Pictures wider than a fifth of the coordinate range would overflow the
// grid arithmetic; such tiles lie far outside any screen anyway.
std::int32_t Saturate(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// x + d without overflow, for the swatches beside a picture of any width.
std::int32_t SaturatingAdd(std::int32_t x, std::int32_t d) { return Saturate(std::int64_t{x} + d); }

void DrawHueSwatch(Canvas& canvas, const AppState& state) {
    const std::int32_t x = state.images.width;
    const std::int32_t right = SaturatingAdd(x, 32);
    const RgbValue colour = HueColour(state.hue);
    canvas.FillRect({x, 0, right, 16}, colour);
    canvas.FillRect({x, 16, right, 32}, colour ^ 0xFFFFFFu);  // 255 minus each component
    canvas.DrawText(right, 0, kHueSwatchText);
}

void DrawLevelSwatch(Canvas& canvas, const AppState& state) {
    const std::int32_t x = state.images.width;
    const auto grey = static_cast<RgbValue>(state.level / 2);
    const std::int32_t right = SaturatingAdd(x, 32);
    canvas.FillRect({x, 48, right, 80}, grey * 0x010101u);
    canvas.DrawText(right, 48, kLevelSwatchText);
}

}  // namespace

Rect TileRect(const AppState& state, std::int32_t index) {
    if (state.columns <= 0) return {0, 0, 0, 0};  // no arrangement, no tile (as in HitTestTile)
    const std::int64_t column = index % state.columns;
    const std::int64_t row = index / state.columns;
    const std::int64_t w = state.images.width;
    const std::int64_t h = state.images.height;
    return {Saturate(column * w), Saturate(row * h), Saturate((column + 1) * w), Saturate((row + 1) * h)};
}

Swatches SwatchesFor(std::int32_t effectMode, std::int32_t selectedImage) {
    // Bit s set: the swatch shows when slot s is shown.
    struct Row {
        std::int32_t mode;
        unsigned hueSlots;
        unsigned levelSlots;
    };
    constexpr unsigned S1 = 1u << 1, S2 = 1u << 2, S3 = 1u << 3, S4 = 1u << 4;
    constexpr Row kRows[] = {
        {ModeRgbComponents, S4, 0},
        {ModeYcmComponents, S4, 0},
        {ModeHueLineInvert, S4, 0},
        {ModeHueRotate, S4, 0},
        {ModeBrighten, 0, S1 | S2 | S3 | S4},
        {ModeDarken, 0, S1 | S2 | S3 | S4},
        {ModeSaturation, S1 | S3, S1 | S2 | S3 | S4},
        {ModeSaturation2, S3 | S4, S1 | S2 | S4},
        {ModeBackgroundMix, 0, S1 | S2 | S3 | S4},
        {ModeLevelToHue, S1 | S2 | S3 | S4, 0},
        {ModeTintMono2, S1 | S2 | S3 | S4, 0},
        {ModeTintMono3, S1 | S2 | S3 | S4, 0},
    };
    Swatches result;
    if (selectedImage < 1 || selectedImage > 4) return result;
    const unsigned slot = 1u << selectedImage;
    for (const Row& row : kRows) {
        if (row.mode != effectMode) continue;
        result.hue = (row.hueSlots & slot) != 0;
        result.level = (row.levelSlots & slot) != 0;
    }
    return result;
}

void DrawBitmap(Canvas& canvas, const Bitmap* bitmap, std::int32_t x, std::int32_t y, std::int32_t width,
                std::int32_t height) {
    if (!bitmap) return;
    width = std::min(width, bitmap->Width());
    height = std::min(height, bitmap->Height());
    if (width <= 0 || height <= 0) return;
    canvas.DrawImage(x, y, *bitmap, width, height);
}

void PaintMainWindow(Canvas& canvas, const AppState& state) {
    const ImageSet& images = state.images;
    if (!images.Loaded()) {
        canvas.DrawText(0, 0, kOpenRequestText);
    } else if (state.selectedImage >= 0 && state.selectedImage < kSlotCount) {
        const std::int32_t slot = state.selectedImage;
        DrawBitmap(canvas, images.bitmaps[slot].get(), 0, 0, images.width, images.height);
        canvas.DrawText(0, images.height, state.labels[slot]);
    } else {
        for (std::int32_t i = 0; i < kSlotCount; ++i) {
            const Rect tile = TileRect(state, i);
            DrawBitmap(canvas, images.bitmaps[i].get(), tile.left, tile.top, images.width, images.height);
        }
        const std::int32_t hover = state.hoverImage;
        if (hover >= 0 && hover < kSlotCount) {
            const Rect tile = TileRect(state, hover);
            canvas.FrameRect(tile, kBlack);
            canvas.FrameRect({tile.left + 1, tile.top + 1, tile.right - 1, tile.bottom - 1}, kWhite);
            canvas.DrawText(tile.left + 1, tile.top + 1, state.labels[hover]);
        }
    }
    const Swatches swatches = SwatchesFor(state.effectMode, state.selectedImage);
    if (swatches.hue) DrawHueSwatch(canvas, state);
    if (swatches.level) DrawLevelSwatch(canvas, state);
}

}  // namespace prismview

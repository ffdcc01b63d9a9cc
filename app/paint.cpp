#include "app/paint.h"

#include <algorithm>
#include <limits>

#include "core/colour.h"
#include "effects/mode_table.h"
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

// The swatches stand right of the shown image, wherever the scale and the
// scroll offset put it; (x, y) is their top left corner.
Rect SwatchRect(std::int64_t x, std::int64_t y, std::int32_t top, std::int32_t bottom) {
    return {Saturate(x), Saturate(y + top), Saturate(x + kSwatchWidth), Saturate(y + bottom)};
}

void DrawHueSwatch(Canvas& canvas, const AppState& state, std::int64_t x, std::int64_t y) {
    const RgbValue colour = HueColour(state.hue);
    constexpr std::int32_t middle = kHueSwatchBottom / 2;
    canvas.FillRect(SwatchRect(x, y, 0, middle), colour);
    canvas.FillRect(SwatchRect(x, y, middle, kHueSwatchBottom), colour ^ 0xFFFFFFu);  // 255 minus each component
    canvas.DrawText(Saturate(x + kSwatchWidth), Saturate(y), kHueSwatchText);
}

void DrawLevelSwatch(Canvas& canvas, const AppState& state, std::int64_t x, std::int64_t y) {
    const auto grey = static_cast<RgbValue>(state.level / 2);
    canvas.FillRect(SwatchRect(x, y, kLevelSwatchTop, kLevelSwatchBottom), grey * 0x010101u);
    canvas.DrawText(Saturate(x + kSwatchWidth), Saturate(y + kLevelSwatchTop), kLevelSwatchText);
}

}  // namespace

Rect TileRect(const AppState& state, std::int32_t index) {
    if (state.columns <= 0) return {0, 0, 0, 0};  // no arrangement, no tile (as in HitTestTile)
    const std::int64_t column = index % state.columns;
    const std::int64_t row = index / state.columns;
    const Size shown = ShownSize(state);
    const std::int64_t w = shown.width;
    const std::int64_t h = shown.height;
    const std::int64_t x = -std::int64_t{state.view.scrollX};
    const std::int64_t y = -std::int64_t{state.view.scrollY};
    return {Saturate(x + column * w), Saturate(y + row * h), Saturate(x + (column + 1) * w),
            Saturate(y + (row + 1) * h)};
}

Swatches SwatchesFor(std::int32_t effectMode, std::int32_t selectedImage) {
    const ModeSpec* mode = FindMode(effectMode);
    if (!mode) return {};
    return {HasSlot(mode->hueSwatch, selectedImage), HasSlot(mode->levelSwatch, selectedImage)};
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
    // The pictures at the view's scale, the whole picture moved by the scroll
    // offset; texts and swatches keep their size.
    const Size shown = ShownSize(state);
    const std::int32_t left = -state.view.scrollX;
    const std::int32_t top = -state.view.scrollY;
    if (!images.Loaded()) {
        canvas.DrawText(0, 0, kOpenRequestText);
    } else if (state.selectedImage >= 0 && state.selectedImage < kSlotCount) {
        const std::int32_t slot = state.selectedImage;
        DrawBitmap(canvas, ShownBitmap(state, slot), left, top, shown.width, shown.height);
        canvas.DrawText(left, Saturate(std::int64_t{top} + shown.height), state.labels[slot]);
    } else {
        for (std::int32_t i = 0; i < kSlotCount; ++i) {
            const Rect tile = TileRect(state, i);
            DrawBitmap(canvas, ShownBitmap(state, i), tile.left, tile.top, shown.width, shown.height);
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
    const std::int64_t swatchLeft = std::int64_t{left} + shown.width;
    if (swatches.hue) DrawHueSwatch(canvas, state, swatchLeft, top);
    if (swatches.level) DrawLevelSwatch(canvas, state, swatchLeft, top);
}

}  // namespace prismview

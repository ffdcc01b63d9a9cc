#include "app/layout.h"

#include "effects/mode_table.h"

namespace prismview {

Swatches SwatchesFor(std::int32_t effectMode, std::int32_t selectedImage) {
    const ModeSpec* mode = FindMode(effectMode);
    if (!mode) return {};
    return {HasSlot(mode->hueSwatch, selectedImage), HasSlot(mode->levelSwatch, selectedImage)};
}

std::int64_t TilesAcross(std::int32_t columns) { return std::clamp(columns, 1, kSlotCount); }
std::int64_t TilesDown(std::int32_t columns) { return (kSlotCount + TilesAcross(columns) - 1) / TilesAcross(columns); }

Size ScaledSize(Size picture, const Scale& scale) {
    auto scaled = [&](std::int64_t v) { return std::max(0, Saturate(v * scale.num / scale.den)); };
    return {scaled(picture.width), scaled(picture.height)};
}

Size ContentSize(const ViewState& view, std::int32_t columns, Size picture, const Scale& scale, Swatches swatches) {
    const Size shown = ScaledSize(picture, scale);
    if (view.Gallery()) {
        const std::int64_t rowHeight = std::int64_t{shown.height} + (view.captions ? view.textHeight : 0);
        return {Saturate(shown.width * TilesAcross(columns)), Saturate(rowHeight * TilesDown(columns))};
    }
    const std::int32_t text = view.textHeight;
    std::int64_t height = std::int64_t{shown.height} + text;  // the caption below the image
    // Each swatch has its text to the right of its top edge.
    if (swatches.hue) height = std::max<std::int64_t>(height, std::max(kHueSwatchBottom, text));
    if (swatches.level)
        height = std::max<std::int64_t>(height, kLevelSwatchTop + std::max(kLevelSwatchBottom - kLevelSwatchTop, text));
    const std::int64_t swatchRoom = swatches.Any() ? kSwatchWidth + view.swatchTextWidth : 0;
    return {Saturate(shown.width + swatchRoom), Saturate(height)};
}

Layout::Layout(const ViewFit& fit)
    : shown_(fit.shown),
      captionHeight_(fit.captionHeight),
      columns_(fit.columns), left_(-std::int64_t{fit.scrollX}), top_(-std::int64_t{fit.scrollY}) {}

Rect Layout::Tile(std::int32_t slot) const {
    if (columns_ <= 0) return {};
    const std::int64_t column = slot % columns_;
    const std::int64_t row = slot / columns_;
    const std::int64_t w = shown_.width, h = shown_.height;
    const std::int64_t pitch = h + captionHeight_;  // a row of tiles and the line of their captions
    return {Saturate(left_ + column * w), Saturate(top_ + row * pitch), Saturate(left_ + (column + 1) * w),
            Saturate(top_ + row * pitch + h)};
}

std::int32_t Layout::TileAt(Point point) const {
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot)
        if (Tile(slot).Contains(point)) return slot;
    return -1;
}

Rect Layout::InnerFrame(std::int32_t slot) const {
    const Rect tile = Tile(slot);
    return {Saturate(std::int64_t{tile.left} + 1), Saturate(std::int64_t{tile.top} + 1),
            Saturate(std::int64_t{tile.right} - 1), Saturate(std::int64_t{tile.bottom} - 1)};
}

Point Layout::TileLabel(std::int32_t slot) const {
    const Rect inner = InnerFrame(slot);
    return {inner.left, inner.top};
}

Point Layout::Caption() const { return {Saturate(left_), Saturate(top_ + shown_.height)}; }

Rect Layout::TileCaption(std::int32_t slot) const {
    if (captionHeight_ <= 0) return {};
    const Rect tile = Tile(slot);
    return {tile.left, tile.bottom, tile.right, Saturate(std::int64_t{tile.bottom} + captionHeight_)};
}

Rect Layout::SwatchRect(std::int32_t top, std::int32_t bottom) const {
    const std::int64_t x = left_ + shown_.width;
    return {Saturate(x), Saturate(top_ + top), Saturate(x + kSwatchWidth), Saturate(top_ + bottom)};
}

Rect Layout::HueSwatch() const { return SwatchRect(0, kHueSwatchBottom / 2); }
Rect Layout::HueComplementSwatch() const { return SwatchRect(kHueSwatchBottom / 2, kHueSwatchBottom); }
Rect Layout::LevelSwatch() const { return SwatchRect(kLevelSwatchTop, kLevelSwatchBottom); }
Point Layout::HueText() const { return {Saturate(left_ + shown_.width + kSwatchWidth), Saturate(top_)}; }
Point Layout::LevelText() const {
    return {Saturate(left_ + shown_.width + kSwatchWidth), Saturate(top_ + kLevelSwatchTop)};
}

}  // namespace prismview

#include "app/view.h"

#include <algorithm>
#include <limits>

#include "app/app_state.h"
#include "app/paint.h"
#include "core/downscale.h"
#include "app/menu.h"

namespace prismview {

namespace {

// No screen comes near this; it keeps every product below in 64 bits.
constexpr std::int64_t kLargestClient = std::int64_t{1} << 24;

std::int32_t Saturate(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, std::numeric_limits<std::int32_t>::max()));
}

bool Gallery(const AppState& state) { return state.selectedImage < 0 || state.selectedImage >= kSlotCount; }

// Tiles side by side and one above the other in the gallery.
std::int64_t Across(const AppState& state) { return std::clamp(state.columns, 1, kSlotCount); }
std::int64_t Down(const AppState& state) { return (kSlotCount + Across(state) - 1) / Across(state); }

// The width the swatches take right of the single image, 0 without any.
std::int32_t SwatchRoom(const AppState& state) {
    const Swatches swatches = SwatchesFor(state.effectMode, state.selectedImage);
    return swatches.hue || swatches.level ? kSwatchWidth + state.view.swatchTextWidth : 0;
}

Size Scaled(const AppState& state, const Scale& scale) {
    return {Saturate(state.images.width * scale.num / scale.den), Saturate(state.images.height * scale.num / scale.den)};
}

Size MaxScroll(const ViewState& view) {
    if (!view.actualSize) return {};
    return {std::max(0, view.content.width - view.viewport.width),
            std::max(0, view.content.height - view.viewport.height)};
}

}  // namespace

Size ShownSize(const AppState& state) { return Scaled(state, state.view.scale); }

Scale FitScale(const AppState& state) {
    const ViewState& view = state.view;
    const std::int64_t w = state.images.width;
    const std::int64_t h = state.images.height;
    if (view.actualSize || !state.images.Loaded() || w <= 0 || h <= 0 || view.client.width <= 0 ||
        view.client.height <= 0)
        return {};
    std::int64_t roomWidth = std::min<std::int64_t>(view.client.width, kLargestClient);
    std::int64_t roomHeight = std::min<std::int64_t>(view.client.height, kLargestClient);
    std::int64_t needWidth = w, needHeight = h;
    if (Gallery(state)) {
        needWidth *= Across(state);
        needHeight *= Down(state);
    } else {
        // Texts keep their size: only the picture gives way to them.
        roomWidth -= SwatchRoom(state);
        roomHeight -= view.textHeight;
    }
    if (needWidth <= roomWidth && needHeight <= roomHeight) return {};
    Scale scale = roomWidth * needHeight <= roomHeight * needWidth ? Scale{roomWidth, needWidth}
                                                                    : Scale{roomHeight, needHeight};
    // Never below one screen pixel per picture: a window too small even for
    // that shows the pictures cut off.
    if (scale.num <= 0 || w * scale.num < scale.den || h * scale.num < scale.den) scale = {1, std::min(w, h)};
    return scale;
}

Size ContentSize(const AppState& state, const Scale& scale) {
    if (!state.images.Loaded()) return {};
    const Size shown = Scaled(state, scale);
    if (Gallery(state)) return {Saturate(shown.width * Across(state)), Saturate(shown.height * Down(state))};
    const Swatches swatches = SwatchesFor(state.effectMode, state.selectedImage);
    const std::int32_t text = state.view.textHeight;
    std::int64_t height = std::int64_t{shown.height} + text;  // the caption below the image
    // Each swatch has its text to the right of its top edge.
    if (swatches.hue) height = std::max<std::int64_t>(height, std::max(kHueSwatchBottom, text));
    if (swatches.level)
        height = std::max<std::int64_t>(height, kLevelSwatchTop + std::max(kLevelSwatchBottom - kLevelSwatchTop, text));
    return {Saturate(std::int64_t{shown.width} + SwatchRoom(state)), Saturate(height)};
}

void FitView(AppState& state) {
    ViewState& view = state.view;
    view.scale = FitScale(state);
    view.content = ContentSize(state, view.scale);
    // Only 1:1 scrolls: a shrunk view fits by construction. A bar along one
    // edge takes room from the other direction, which may then need its own.
    const std::int32_t bar = view.scrollBarExtent;
    bool across = false, down = false;
    if (view.actualSize) {
        across = view.content.width > view.client.width;
        down = view.content.height > view.client.height;
        if (across) down = view.content.height > view.client.height - bar;
        if (down) across = view.content.width > view.client.width - bar;
        if (across) down = view.content.height > view.client.height - bar;
    }
    view.horizontalBar = across;
    view.verticalBar = down;
    view.viewport = {std::max(0, view.client.width - (down ? bar : 0)),
                     std::max(0, view.client.height - (across ? bar : 0))};
    const Size limit = MaxScroll(view);
    view.scrollX = std::clamp(view.scrollX, 0, limit.width);
    view.scrollY = std::clamp(view.scrollY, 0, limit.height);
}

bool WantsScaledCopy(const AppState& state, std::int32_t slot) {
    return state.view.scale.Shrinks() && (Gallery(state) || state.selectedImage == slot);
}

void RefreshView(AppState& state, bool picturesChanged) {
    FitView(state);
    ImageSet& images = state.images;
    const Size shown = ShownSize(state);
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
        BitmapHandle& copy = images.scaled[static_cast<std::size_t>(slot)];
        const Bitmap* picture = images.bitmaps[static_cast<std::size_t>(slot)].get();
        const bool wanted = picture && WantsScaledCopy(state, slot);
        const bool current =
            copy && !picturesChanged && copy->Width() == shown.width && copy->Height() == shown.height;
        if (wanted && current) continue;
        copy.reset();  // before the new one: a big picture's copies need not exist twice
        if (wanted) copy = Downscale(*picture, shown.width, shown.height);
    }
}

const Bitmap* ShownBitmap(const AppState& state, std::int32_t slot) {
    const auto index = static_cast<std::size_t>(slot);
    if (!state.view.scale.Shrinks()) return state.images.bitmaps[index].get();
    const Bitmap* copy = state.images.scaled[index].get();
    const Size shown = ShownSize(state);
    return copy && copy->Width() == shown.width && copy->Height() == shown.height ? copy : nullptr;
}

void ScrollTo(Window& window, AppState& state, std::int64_t x, std::int64_t y) {
    ViewState& view = state.view;
    const Size limit = MaxScroll(view);
    const auto newX = static_cast<std::int32_t>(std::clamp<std::int64_t>(x, 0, limit.width));
    const auto newY = static_cast<std::int32_t>(std::clamp<std::int64_t>(y, 0, limit.height));
    if (newX == view.scrollX && newY == view.scrollY) return;
    view.scrollX = newX;
    view.scrollY = newY;
    window.RequestRepaint();
}

void OnWheel(Window& window, AppState& state, std::int32_t deltaX, std::int32_t deltaY, bool shift) {
    if (shift && deltaX == 0) std::swap(deltaX, deltaY);
    ScrollTo(window, state, std::int64_t{state.view.scrollX} - deltaX, std::int64_t{state.view.scrollY} - deltaY);
}

void ToggleActualSize(Window& window, AppState& state) {
    state.view.actualSize = !state.view.actualSize;
    state.view.scrollX = state.view.scrollY = 0;
    RefreshView(state, false);
    window.SetMenuCheck(CmdActualSize, state.view.actualSize);
    window.RequestRepaint();
}

}  // namespace prismview

#include "app/view.h"

#include <algorithm>

#include "core/downscale.h"

namespace prismview {

namespace {

// No screen comes near this; it keeps every product below in 64 bits.
constexpr std::int64_t kLargestClient = std::int64_t{1} << 24;

Size PictureSize(const AppState& state) { return {state.shown.images.width, state.shown.images.height}; }

Size MaxScroll(const ViewState& view) {
    if (!view.actualSize) return {};
    return {std::max(0, view.content.width - view.viewport.width),
            std::max(0, view.content.height - view.viewport.height)};
}

}  // namespace

Swatches ShownSwatches(const AppState& state) {
    const ProcessingParams* madeWith = state.shown.madeWith ? &*state.shown.madeWith : nullptr;
    return madeWith ? SwatchesFor(madeWith->effectMode, state.view.selectedImage) : Swatches{};
}

Layout LayoutOf(const AppState& state) { return Layout(state.view, PictureSize(state)); }

Size ShownSize(const AppState& state) { return ScaledSize(PictureSize(state), state.view.scale); }

Scale FitScale(const AppState& state) {
    const ViewState& view = state.view;
    const std::int64_t w = state.shown.images.width;
    const std::int64_t h = state.shown.images.height;
    if (view.actualSize || !state.shown.images.Loaded() || w <= 0 || h <= 0 || view.client.width <= 0 ||
        view.client.height <= 0)
        return {};
    std::int64_t roomWidth = std::min<std::int64_t>(view.client.width, kLargestClient);
    std::int64_t roomHeight = std::min<std::int64_t>(view.client.height, kLargestClient);
    std::int64_t needWidth = w, needHeight = h;
    if (view.Gallery()) {
        needWidth *= TilesAcross(view.columns);
        needHeight *= TilesDown(view.columns);
    } else {
        // Texts keep their size: only the picture gives way to them.
        roomWidth -= ShownSwatches(state).Any() ? kSwatchWidth + view.swatchTextWidth : 0;
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
    if (!state.shown.images.Loaded()) return {};
    return prismview::ContentSize(state.view, PictureSize(state), scale, ShownSwatches(state));
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

bool WantsScaledCopy(const ViewState& view, std::int32_t slot) {
    return view.scale.Shrinks() && (view.Gallery() || view.selectedImage == slot);
}

void RefreshView(AppState& state, bool picturesChanged) {
    FitView(state);
    ImageSet& images = state.shown.images;
    const Size shown = ShownSize(state);
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
        BitmapHandle& copy = images.scaled[static_cast<std::size_t>(slot)];
        const Bitmap* picture = images.bitmaps[static_cast<std::size_t>(slot)].get();
        const bool wanted = picture && WantsScaledCopy(state.view, slot);
        const bool current =
            copy && !picturesChanged && copy->Width() == shown.width && copy->Height() == shown.height;
        if (wanted && current) continue;
        copy.reset();  // before the new one: a big picture's copies need not exist twice
        if (wanted) copy = Downscale(*picture, shown.width, shown.height);
    }
}

const Bitmap* ShownBitmap(const AppState& state, std::int32_t slot) {
    const auto index = static_cast<std::size_t>(slot);
    if (!state.view.scale.Shrinks()) return state.shown.images.bitmaps[index].get();
    const Size shown = ShownSize(state);
    auto ofShownSize = [&](const Bitmap* b) { return b && b->Width() == shown.width && b->Height() == shown.height; };
    if (state.shown.previewing && slot > 0 && ofShownSize(state.shown.preview.bitmaps[index].get()))
        return state.shown.preview.bitmaps[index].get();
    const Bitmap* copy = state.shown.images.scaled[index].get();
    return ofShownSize(copy) ? copy : nullptr;
}

void ScrollTo(Window& window, ViewState& view, std::int64_t x, std::int64_t y) {
    const Size limit = MaxScroll(view);
    const auto newX = static_cast<std::int32_t>(std::clamp<std::int64_t>(x, 0, limit.width));
    const auto newY = static_cast<std::int32_t>(std::clamp<std::int64_t>(y, 0, limit.height));
    if (newX == view.scrollX && newY == view.scrollY) return;
    view.scrollX = newX;
    view.scrollY = newY;
    window.RequestRepaint();
}

void OnWheel(Window& window, ViewState& view, std::int32_t deltaX, std::int32_t deltaY, bool shift) {
    if (shift && deltaX == 0) std::swap(deltaX, deltaY);
    ScrollTo(window, view, std::int64_t{view.scrollX} - deltaX, std::int64_t{view.scrollY} - deltaY);
}

void ToggleActualSize(Window& window, AppState& state) {
    state.view.actualSize = !state.view.actualSize;
    state.view.scrollX = state.view.scrollY = 0;
    RefreshView(state, false);
    window.SetMenuCheck(Command::ActualSize, state.view.actualSize);
    window.RequestRepaint();
}

}  // namespace prismview

#include "app/view.h"

#include <algorithm>
#include <limits>

#include "core/downscale.h"

namespace prismview {

namespace {

// No screen comes near this; it keeps every product below in 64 bits.
constexpr std::int64_t kLargestClient = std::int64_t{1} << 24;

Size PictureSize(const AppState& state) { return {state.shown.images.width, state.shown.images.height}; }

Size MaxScroll(const ViewState& view) {
    if (!view.Scrolls()) return {};
    return {std::max(0, view.content.width - view.viewport.width),
            std::max(0, view.content.height - view.viewport.height)};
}

// The largest scale, at most 1, at which the pictures fit in that many columns.
Scale FitFor(const AppState& state, std::int32_t columns) {
    const ViewState& view = state.view;
    const std::int64_t w = state.shown.images.width;
    const std::int64_t h = state.shown.images.height;
    if (!state.shown.images.Loaded() || w <= 0 || h <= 0 || view.client.width <= 0 ||
        view.client.height <= 0)
        return {};
    std::int64_t roomWidth = std::min<std::int64_t>(view.client.width, kLargestClient);
    std::int64_t roomHeight = std::min<std::int64_t>(view.client.height, kLargestClient);
    std::int64_t needWidth = w, needHeight = h;
    if (view.Gallery()) {
        needWidth *= TilesAcross(columns);
        needHeight *= TilesDown(columns);
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

// The arrangement of 1 to 5 columns at which the fitted tiles are largest;
// of equals, the fewest columns.
std::int32_t BestColumns(const AppState& state) {
    std::int32_t best = state.view.columns;
    Scale bestScale{0, 1};
    for (std::int32_t columns = 1; columns <= kSlotCount; ++columns) {
        const Scale scale = FitFor(state, columns);
        if (scale.num * bestScale.den > bestScale.num * scale.den) {
            best = columns;
            bestScale = scale;
        }
    }
    return best;
}

}  // namespace

Swatches ShownSwatches(const AppState& state) {
    const ProcessingParams* madeWith = state.shown.madeWith ? &*state.shown.madeWith : nullptr;
    return madeWith ? SwatchesFor(madeWith->effectMode, state.view.selectedImage) : Swatches{};
}

Scale FitScale(const AppState& state) {
    return state.view.Scrolls() ? Scale{} : FitFor(state, state.view.columns);
}

Layout LayoutOf(const AppState& state) { return Layout(state.view, PictureSize(state)); }

Size ShownSize(const AppState& state) { return ScaledSize(PictureSize(state), state.view.scale); }

Size ContentSize(const AppState& state, const Scale& scale) {
    if (!state.shown.images.Loaded()) return {};
    return prismview::ContentSize(state.view, PictureSize(state), scale, ShownSwatches(state));
}

void FitView(AppState& state) {
    ViewState& view = state.view;
    if (view.autoColumns) view.columns = BestColumns(state);
    view.scale = view.actualSize ? Scale{} : view.zoom ? *view.zoom : FitScale(state);
    view.content = ContentSize(state, view.scale);
    // Only 1:1 and the zoom steps scroll: a fitted view fits by construction.
    // A bar along one edge takes room from the other direction, which may
    // then need its own.
    const std::int32_t bar = view.scrollBarExtent;
    bool across = false, down = false;
    if (view.Scrolls()) {
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

void ScrollByKey(Window& window, ViewState& view, ScrollMove move, bool sideways) {
    const std::int64_t page = std::max(1, (sideways ? view.viewport.width : view.viewport.height) * 9 / 10);
    const std::int64_t now = sideways ? view.scrollX : view.scrollY;
    std::int64_t to = now;
    switch (move) {
        case ScrollMove::PageBack: to = now - page; break;
        case ScrollMove::PageForward: to = now + page; break;
        case ScrollMove::Start: to = 0; break;
        case ScrollMove::End: to = std::numeric_limits<std::int32_t>::max(); break;
    }
    if (sideways) ScrollTo(window, view, to, view.scrollY);
    else ScrollTo(window, view, view.scrollX, to);
}

void ToggleActualSize(Window& window, AppState& state) {
    ViewState& view = state.view;
    // The content point at the middle of the view stays there (the
    // content's middle along a side it fits in whole).
    const Scale before = view.scale;
    auto middle = [](std::int32_t scroll, std::int32_t viewport, std::int32_t content) {
        return content <= viewport ? content / 2 : std::int64_t{scroll} + viewport / 2;
    };
    const std::int64_t middleX = middle(view.scrollX, view.viewport.width, view.content.width);
    const std::int64_t middleY = middle(view.scrollY, view.viewport.height, view.content.height);
    view.actualSize = !view.actualSize;
    view.zoom.reset();
    RefreshView(state, false);
    const Scale after = view.scale;
    auto moved = [&](std::int64_t point, std::int32_t half) {
        return point * after.num * before.den / std::max<std::int64_t>(1, after.den * before.num) - half;
    };
    const Size limit = MaxScroll(view);
    view.scrollX = static_cast<std::int32_t>(std::clamp<std::int64_t>(moved(middleX, view.viewport.width / 2), 0, limit.width));
    view.scrollY = static_cast<std::int32_t>(std::clamp<std::int64_t>(moved(middleY, view.viewport.height / 2), 0, limit.height));
    window.SetMenuCheck(Command::ActualSize, view.actualSize);
    window.RequestRepaint();
}

std::span<const Scale> ZoomSteps() {
    static constexpr Scale kSteps[] = {{1, 16}, {1, 12}, {1, 8}, {1, 6}, {1, 4}, {1, 3}, {1, 2}, {2, 3}, {1, 1},
                                       {3, 2},  {2, 1},  {3, 1}, {4, 1}, {6, 1}, {8, 1}, {12, 1}, {16, 1}, {24, 1}, {32, 1}};
    return kSteps;
}

void Zoom(Window& window, AppState& state, std::int32_t steps, std::optional<Point> about) {
    ViewState& view = state.view;
    if (steps == 0 || !state.shown.images.Loaded()) return;
    const Scale now = view.scale;
    const std::span<const Scale> all = ZoomSteps();
    // The next step beyond the scale shown now, then on from there.
    auto larger = [&](const Scale& a, const Scale& b) { return a.num * b.den > b.num * a.den; };
    std::optional<std::size_t> at;
    if (steps > 0) {
        for (std::size_t i = 0; i < all.size() && !at; ++i)
            if (larger(all[i], now)) at = i;
        if (!at) return;  // already the largest
        *at = std::min(all.size() - 1, *at + static_cast<std::size_t>(steps - 1));
    } else {
        for (std::size_t i = all.size(); i-- > 0 && !at;)
            if (larger(now, all[i])) at = i;
        if (!at) return;
        const std::size_t back = static_cast<std::size_t>(-static_cast<std::int64_t>(steps) - 1);
        *at = *at >= back ? *at - back : 0;
    }
    const Scale next = all[*at];
    const Point anchor = about.value_or(Point{view.viewport.width / 2, view.viewport.height / 2});
    // The content point under the anchor, at the new scale.
    const double ratio = static_cast<double>(next.num) * static_cast<double>(now.den) /
                         (static_cast<double>(std::max<std::int64_t>(now.num, 1)) * static_cast<double>(next.den));
    auto keep = [&](std::int32_t scroll, std::int32_t offset) {
        return static_cast<std::int64_t>(std::clamp((double{1} * scroll + offset) * ratio - offset, -1e15, 1e15));
    };
    const std::int64_t scrollX = keep(view.scrollX, anchor.x), scrollY = keep(view.scrollY, anchor.y);
    // A step that arrives at 1:1 is the 1:1 view, as if chosen with 等倍表示.
    const bool actual = next == Scale{};
    view.zoom = actual ? std::nullopt : std::optional<Scale>(next);
    view.actualSize = actual;
    RefreshView(state, false);
    window.SetMenuCheck(Command::ActualSize, actual);
    ScrollTo(window, view, scrollX, scrollY);
    window.RequestRepaint();
}

void StartNewPicture(AppState& state, Size before, bool opened) {
    ViewState& view = state.view;
    if (opened) {
        view.zoom.reset();
        view.scrollX = view.scrollY = 0;
    }
    if (before.width != state.shown.images.width || before.height != state.shown.images.height) view.pinned.clear();
}

void FitToWindow(Window& window, AppState& state) {
    state.view.zoom.reset();
    state.view.actualSize = false;
    state.view.scrollX = state.view.scrollY = 0;
    RefreshView(state, false);
    window.SetMenuCheck(Command::ActualSize, false);
    window.RequestRepaint();
}

void ToggleStatusBar(Window& window, AppState& state) {
    state.view.statusBar = !state.view.statusBar;
    window.ShowStatusBar(state.view.statusBar);
    window.SetMenuCheck(Command::StatusBar, state.view.statusBar);
}

}  // namespace prismview

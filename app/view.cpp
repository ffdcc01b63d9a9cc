#include "app/view.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "core/downscale.h"
#include "resources/strings.h"

namespace prismview {

namespace {

// No screen comes near this; it keeps every product below in 64 bits.
constexpr std::int64_t kLargestClient = std::int64_t{1} << 24;

Size PictureSize(const AppState& state) { return {state.shown.images.width, state.shown.images.height}; }

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
        if (view.captions) roomHeight -= std::int64_t{view.textHeight} * TilesDown(columns);
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

// The arrangement shown: with autoColumns the one that shows the tiles largest.
std::int32_t ColumnsShown(const AppState& state) {
    return state.view.autoColumns ? BestColumns(state) : state.view.columns;
}

Size ContentAt(const AppState& state, std::int32_t columns, const Scale& scale) {
    if (!state.shown.images.Loaded()) return {};
    return prismview::ContentSize(state.view, columns, PictureSize(state), scale, ShownSwatches(state));
}

}  // namespace

Swatches ShownSwatches(const AppState& state) {
    const ProcessingParams* madeWith = state.shown.madeWith ? &*state.shown.madeWith : nullptr;
    return madeWith ? SwatchesFor(madeWith->effectMode, state.view.selectedImage) : Swatches{};
}

ViewFit FitOf(const AppState& state) {
    const ViewState& view = state.view;
    ViewFit fit;
    fit.columns = ColumnsShown(state);
    fit.scale = view.actualSize ? Scale{} : view.zoom ? *view.zoom : FitFor(state, fit.columns);
    fit.shown = ScaledSize(PictureSize(state), fit.scale);
    fit.captionHeight = view.Gallery() && view.captions ? view.textHeight : 0;
    fit.content = ContentAt(state, fit.columns, fit.scale);
    // Only 1:1 and the zoom steps scroll: a fitted view fits by construction.
    // A bar along one edge takes room from the other direction, which may
    // then need its own.
    const std::int32_t bar = view.scrollBarExtent;
    bool across = false, down = false;
    if (view.Scrolls()) {
        across = fit.content.width > view.client.width;
        down = fit.content.height > view.client.height;
        if (across) down = fit.content.height > view.client.height - bar;
        if (down) across = fit.content.width > view.client.width - bar;
        if (across) down = fit.content.height > view.client.height - bar;
    }
    fit.horizontalBar = across;
    fit.verticalBar = down;
    fit.viewport = {std::max(0, view.client.width - (down ? bar : 0)),
                    std::max(0, view.client.height - (across ? bar : 0))};
    if (view.Scrolls())
        fit.maxScroll = {std::max(0, fit.content.width - fit.viewport.width),
                         std::max(0, fit.content.height - fit.viewport.height)};
    fit.scrollX = std::clamp(view.scrollX, 0, fit.maxScroll.width);
    fit.scrollY = std::clamp(view.scrollY, 0, fit.maxScroll.height);
    if (fit.scale.Shrinks() || !state.shown.images.Loaded()) return fit;
    // The picture rows of the derived pictures inside the viewport.
    const std::int32_t height = state.shown.images.height;
    const Layout layout(fit);
    const Rect viewport{0, 0, fit.viewport.width, fit.viewport.height};
    std::int64_t top = height, bottom = 0;
    for (std::int32_t slot = 1; slot < kSlotCount; ++slot) {
        if (!view.Gallery() && view.selectedImage != slot) continue;
        const Rect place = layout.Tile(view.Gallery() ? slot : 0);
        const std::int32_t from = std::max(place.top, viewport.top), to = std::min(place.bottom, viewport.bottom);
        if (from >= to || std::max(place.left, viewport.left) >= std::min(place.right, viewport.right)) continue;
        // Screen rows to picture rows: a picture row covers num / den screen rows.
        const Scale& scale = fit.scale;
        top = std::min<std::int64_t>(top, (std::int64_t{from} - place.top) * scale.den / scale.num);
        bottom = std::max<std::int64_t>(
            bottom, std::min<std::int64_t>(height, ((std::int64_t{to} - place.top) * scale.den + scale.num - 1) / scale.num));
    }
    if (top < bottom) {
        fit.rowsTop = static_cast<std::int32_t>(top);
        fit.rowsBottom = static_cast<std::int32_t>(bottom);
    }
    return fit;
}

Layout LayoutOf(const AppState& state) { return Layout(FitOf(state)); }

Size ShownSize(const AppState& state) { return FitOf(state).shown; }

Size ContentSize(const AppState& state, const Scale& scale) { return ContentAt(state, ColumnsShown(state), scale); }

void KeepScrollInLimits(AppState& state) {
    const ViewFit fit = FitOf(state);
    state.view.scrollX = fit.scrollX;
    state.view.scrollY = fit.scrollY;
}

void MakeShownCopies(AppState& state) {
    const ViewFit fit = FitOf(state);
    ImageSet& images = state.shown.images;
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
        BitmapHandle& copy = images.scaled[static_cast<std::size_t>(slot)];
        const Bitmap* picture = images.bitmaps[static_cast<std::size_t>(slot)].get();
        const bool wanted = picture && WantsScaledCopy(state.view, fit, slot);
        const bool current = copy && copy->Width() == fit.shown.width && copy->Height() == fit.shown.height;
        if (wanted && current) continue;
        copy.reset();  // before the new one: a big picture's copies need not exist twice
        if (wanted) copy = Downscale(*picture, fit.shown.width, fit.shown.height);
    }
}

const Bitmap* ShownBitmap(const AppState& state, std::int32_t slot) {
    // Comparing, a derived tile shows the base in its place; a blank one stays blank.
    if (state.view.comparing && slot > 0 && state.shown.Label(slot) != kBlankLabel) slot = 0;
    const auto index = static_cast<std::size_t>(slot);
    const ViewFit fit = FitOf(state);
    if (!fit.scale.Shrinks()) return state.shown.images.bitmaps[index].get();
    const Size shown = fit.shown;
    auto ofShownSize = [&](const Bitmap* b) { return b && b->Width() == shown.width && b->Height() == shown.height; };
    if (state.shown.previewing && slot > 0 && ofShownSize(state.shown.preview.bitmaps[index].get()))
        return state.shown.preview.bitmaps[index].get();
    const Bitmap* copy = state.shown.images.scaled[index].get();
    return ofShownSize(copy) ? copy : nullptr;
}

void ScrollTo(Window& window, AppState& state, std::int64_t x, std::int64_t y) {
    const ViewFit fit = FitOf(state);
    const auto newX = static_cast<std::int32_t>(std::clamp<std::int64_t>(x, 0, fit.maxScroll.width));
    const auto newY = static_cast<std::int32_t>(std::clamp<std::int64_t>(y, 0, fit.maxScroll.height));
    if (newX == fit.scrollX && newY == fit.scrollY) return;
    state.view.scrollX = newX;
    state.view.scrollY = newY;
    window.RequestRepaint();
}

void OnWheel(Window& window, AppState& state, std::int32_t deltaX, std::int32_t deltaY, bool shift) {
    if (state.view.browser) return;  // it always fits: the view below keeps its place
    if (shift && deltaX == 0) std::swap(deltaX, deltaY);
    const ViewFit fit = FitOf(state);
    ScrollTo(window, state, std::int64_t{fit.scrollX} - deltaX, std::int64_t{fit.scrollY} - deltaY);
}

void ScrollByKey(Window& window, AppState& state, ScrollMove move, bool sideways) {
    if (state.view.browser) return;
    const ViewFit fit = FitOf(state);
    const std::int64_t page = std::max(1, (sideways ? fit.viewport.width : fit.viewport.height) * 9 / 10);
    const std::int64_t now = sideways ? fit.scrollX : fit.scrollY;
    std::int64_t to = now;
    switch (move) {
        case ScrollMove::PageBack: to = now - page; break;
        case ScrollMove::PageForward: to = now + page; break;
        case ScrollMove::Start: to = 0; break;
        case ScrollMove::End: to = std::numeric_limits<std::int32_t>::max(); break;
    }
    if (sideways) ScrollTo(window, state, to, fit.scrollY);
    else ScrollTo(window, state, fit.scrollX, to);
}

void ToggleActualSize(Window& window, AppState& state) {
    ViewState& view = state.view;
    // The content point at the middle of the view stays there (the
    // content's middle along a side it fits in whole).
    const ViewFit before = FitOf(state);
    auto middle = [](std::int32_t scroll, std::int32_t viewport, std::int32_t content) {
        return content <= viewport ? content / 2 : std::int64_t{scroll} + viewport / 2;
    };
    const std::int64_t middleX = middle(before.scrollX, before.viewport.width, before.content.width);
    const std::int64_t middleY = middle(before.scrollY, before.viewport.height, before.content.height);
    view.actualSize = !view.actualSize;
    view.zoom.reset();
    const ViewFit after = FitOf(state);
    auto moved = [&](std::int64_t point, std::int32_t half) {
        return point * after.scale.num * before.scale.den / std::max<std::int64_t>(1, after.scale.den * before.scale.num) -
               half;
    };
    const Size limit = after.maxScroll;
    view.scrollX = static_cast<std::int32_t>(std::clamp<std::int64_t>(moved(middleX, after.viewport.width / 2), 0, limit.width));
    view.scrollY = static_cast<std::int32_t>(std::clamp<std::int64_t>(moved(middleY, after.viewport.height / 2), 0, limit.height));
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
    const ViewFit fit = FitOf(state);
    const Scale now = fit.scale;
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
    const Point anchor = about.value_or(Point{fit.viewport.width / 2, fit.viewport.height / 2});
    // The content point under the anchor, at the new scale.
    const double ratio = static_cast<double>(next.num) * static_cast<double>(now.den) /
                         (static_cast<double>(std::max<std::int64_t>(now.num, 1)) * static_cast<double>(next.den));
    auto keep = [&](std::int32_t scroll, std::int32_t offset) {
        return static_cast<std::int64_t>(std::clamp((double{1} * scroll + offset) * ratio - offset, -1e15, 1e15));
    };
    const std::int64_t scrollX = keep(fit.scrollX, anchor.x), scrollY = keep(fit.scrollY, anchor.y);
    // A step that arrives at 1:1 is the 1:1 view, as if chosen with 等倍表示.
    const bool actual = next == Scale{};
    view.zoom = actual ? std::nullopt : std::optional<Scale>(next);
    view.actualSize = actual;
    window.SetMenuCheck(Command::ActualSize, actual);
    ScrollTo(window, state, scrollX, scrollY);
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
    window.SetMenuCheck(Command::ActualSize, false);
    window.RequestRepaint();
}

void ToggleCaptions(Window& window, AppState& state) {
    state.view.captions = !state.view.captions;
    window.SetMenuCheck(Command::Captions, state.view.captions);
    window.RequestRepaint();
}

void ToggleSplitView(Window& window, AppState& state) {
    state.view.split = !state.view.split;
    state.view.splitDragging = false;
    window.SetMenuCheck(Command::SplitView, state.view.split);
    window.RequestRepaint();
}

std::optional<std::int32_t> SplitLineX(const AppState& state) {
    const ViewState& view = state.view;
    const std::int32_t width = state.shown.images.width;
    if (!view.split || view.browser || view.Gallery() || view.selectedImage == 0 || width <= 0 ||
        !state.shown.images.bitmaps[static_cast<std::size_t>(view.selectedImage)] ||
        state.shown.Label(view.selectedImage) == kBlankLabel)
        return std::nullopt;
    const Rect tile = LayoutOf(state).Tile(0);
    const std::int64_t column = std::clamp(view.splitColumn.value_or(width / 2), 0, width);
    return Saturate(tile.left + column * (std::int64_t{tile.right} - tile.left) / width);
}

bool GrabsSplitLine(const AppState& state, Point point) {
    constexpr std::int64_t kGrab = 5;  // screen pixels either side of the line
    const std::optional<std::int32_t> line = SplitLineX(state);
    if (!line) return false;
    const Rect tile = LayoutOf(state).Tile(0);
    return point.y >= tile.top && point.y < tile.bottom && std::abs(std::int64_t{point.x} - *line) <= kGrab;
}

void DragSplitLine(Window& window, AppState& state, std::int32_t x) {
    if (!SplitLineX(state)) return;
    const Rect tile = LayoutOf(state).Tile(0);
    const std::int64_t tileWidth = std::int64_t{tile.right} - tile.left;
    const std::int64_t width = state.shown.images.width;
    if (tileWidth <= 0) return;
    // The picture column nearest the screen column.
    const std::int64_t column = ((std::int64_t{x} - tile.left) * width * 2 + tileWidth) / (tileWidth * 2);
    const auto clamped = static_cast<std::int32_t>(std::clamp<std::int64_t>(column, 0, width));
    if (state.view.splitColumn == clamped) return;
    state.view.splitColumn = clamped;
    window.RequestRepaint();
}

void ToggleStatusBar(Window& window, AppState& state) {
    state.view.statusBar = !state.view.statusBar;
    window.ShowStatusBar(state.view.statusBar);
    window.SetMenuCheck(Command::StatusBar, state.view.statusBar);
}

}  // namespace prismview

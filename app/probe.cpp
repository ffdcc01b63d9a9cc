#include "app/probe.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/view.h"
#include "core/colour.h"
#include "resources/strings.h"

namespace prismview {

namespace {

// The picture column (or row) a screen offset within a tile shows: the
// middle of the block of picture pixels it stands for (itself at scale 1,
// its block's one pixel when enlarged).
std::int32_t PictureOffset(std::int64_t screen, std::int64_t size, std::int64_t shown) {
    return static_cast<std::int32_t>((screen * size / shown + (screen + 1) * size / shown) / 2);
}

// The middle of the screen offsets within a tile that show a picture column.
std::int32_t ScreenOffset(std::int64_t picture, std::int64_t size, std::int64_t shown) {
    if (size <= 0 || shown <= 0) return 0;  // no picture, or a client area too small to show one
    if (shown >= size) {
        const std::int64_t first = (picture * shown + size - 1) / size;
        const std::int64_t end = ((picture + 1) * shown + size - 1) / size;
        return static_cast<std::int32_t>((first + end - 1) / 2);
    }
    std::int64_t s = picture * shown / size;
    while (s > 0 && s * size / shown > picture) --s;
    while ((s + 1) * size / shown <= picture) ++s;
    return static_cast<std::int32_t>(s);
}

// Where the pictures stand: every tile in the gallery, the first tile's
// place in the single view.
std::vector<std::int32_t> Places(const ViewState& view) {
    if (!view.Gallery()) return {0};
    return {0, 1, 2, 3, 4};
}

}  // namespace

std::optional<Point> PicturePointAt(const AppState& state, Point client) {
    const ImageSet& images = state.shown.images;
    if (!images.Loaded() || client.x < 0 || client.y < 0) return std::nullopt;
    const Size viewport = state.view.viewport;
    if (viewport.width > 0 && viewport.height > 0 && (client.x >= viewport.width || client.y >= viewport.height))
        return std::nullopt;  // under a scroll bar, or beyond the client area
    const Layout layout = LayoutOf(state);
    const Size shown = layout.Shown();
    if (shown.width <= 0 || shown.height <= 0) return std::nullopt;
    for (std::int32_t place : Places(state.view)) {
        const Rect tile = layout.Tile(place);
        if (!tile.Contains(client)) continue;
        return Point{PictureOffset(std::int64_t{client.x} - tile.left, images.width, shown.width),
                     PictureOffset(std::int64_t{client.y} - tile.top, images.height, shown.height)};
    }
    return std::nullopt;
}

Point ScreenPointOf(const AppState& state, std::int32_t slot, Point picture) {
    const Layout layout = LayoutOf(state);
    const Rect tile = layout.Tile(state.view.Gallery() ? slot : 0);
    const Size shown = layout.Shown();
    const ImageSet& images = state.shown.images;
    return {Saturate(std::int64_t{tile.left} + ScreenOffset(picture.x, images.width, shown.width)),
            Saturate(std::int64_t{tile.top} + ScreenOffset(picture.y, images.height, shown.height))};
}

std::optional<RgbValue> ColourAt(const ImageSet& images, std::int32_t slot, Point picture) {
    if (slot < 0 || slot >= kSlotCount) return std::nullopt;
    const Bitmap* bitmap = images.bitmaps[static_cast<std::size_t>(slot)].get();
    if (!bitmap || picture.x < 0 || picture.y < 0 || picture.x >= bitmap->Width() || picture.y >= bitmap->Height())
        return std::nullopt;
    return bitmap->Scanline(picture.y)[picture.x] & 0xFFFFFFu;
}

std::vector<std::string> ProbeLines(const AppState& state) {
    std::vector<Point> points;
    if (state.view.probe) points.push_back(*state.view.probe);
    points.insert(points.end(), state.view.pinned.begin(), state.view.pinned.end());
    std::vector<std::string> lines;
    for (const Point& p : points) {
        std::string line = "(";
        line += std::to_string(p.x);
        line += ", ";
        line += std::to_string(p.y);
        line += ")";
        for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
            if (!ShowsPicture(state, slot)) continue;
            const std::optional<RgbValue> colour = ColourAt(state.shown.images, slot, p);
            line += "  " + std::to_string(slot) + ": " + (colour ? TermsText(TermsOf(*colour)) : "—");
        }
        lines.push_back(line);
    }
    return lines;
}

void TogglePin(Window& window, AppState& state, Point client) {
    const std::optional<Point> picture = PicturePointAt(state, client);
    if (!picture) return;
    std::vector<Point>& pinned = state.view.pinned;
    // A pinned probe whose mark on this tile lies within three screen pixels.
    const Layout layout = LayoutOf(state);
    std::int32_t slot = 0;
    for (std::int32_t place : Places(state.view))
        if (layout.Tile(place).Contains(client)) slot = place;
    const auto near = std::find_if(pinned.begin(), pinned.end(), [&](const Point& p) {
        const Point mark = ScreenPointOf(state, slot, p);
        return std::abs(std::int64_t{mark.x} - client.x) <= 3 && std::abs(std::int64_t{mark.y} - client.y) <= 3;
    });
    if (near != pinned.end()) {
        pinned.erase(near);
    } else {
        if (pinned.size() == kMaxPinnedProbes) pinned.erase(pinned.begin());
        pinned.push_back(*picture);
    }
    window.RequestRepaint();
}

void FollowPointer(AppState& state) {
    ViewState& view = state.view;
    if (!view.pointer) return;
    view.hoverImage = LayoutOf(state).TileAt(*view.pointer);
    view.probe = PicturePointAt(state, *view.pointer);
}

bool ShowsPicture(const AppState& state, std::int32_t slot) {
    return slot == 0 || (slot > 0 && slot < kSlotCount && state.shown.Label(slot) != kBlankLabel);
}

}  // namespace prismview

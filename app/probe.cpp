#include "app/probe.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/browser.h"
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
    const ViewFit fit = FitOf(state);
    const Size viewport = fit.viewport;
    if (viewport.width > 0 && viewport.height > 0 && (client.x >= viewport.width || client.y >= viewport.height))
        return std::nullopt;  // under a scroll bar, or beyond the client area
    const Layout layout(fit);
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

std::vector<ProbeRow> ProbeRows(const AppState& state) {
    std::vector<ProbeRow> rows;
    auto add = [&](std::int32_t number, Point point) {
        ProbeRow row{number, point, {}};
        for (std::int32_t slot = 0; slot < kSlotCount; ++slot)
            if (ShowsPicture(state, slot)) row.colours[static_cast<std::size_t>(slot)] = ColourAt(state.shown.images, slot, point);
        rows.push_back(row);
    };
    if (state.view.probe) add(0, *state.view.probe);
    for (std::size_t i = 0; i < state.view.pinned.size(); ++i) add(static_cast<std::int32_t>(i + 1), state.view.pinned[i]);
    return rows;
}

std::string ProbeTableCsv(const AppState& state) {
    std::string csv = "probe,x,y,image,colour,r,g,b,hue,l,t,caption\n";
    for (const ProbeRow& row : ProbeRows(state)) {
        for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
            const std::optional<RgbValue>& colour = row.colours[static_cast<std::size_t>(slot)];
            if (!colour) continue;
            const ColourTerms terms = TermsOf(*colour);
            char values[80];
            std::snprintf(values, sizeof values, "%d,%d,%d,#%06X,%d,%d,%d,%s,%d,%d,", row.point.x, row.point.y, slot,
                          static_cast<unsigned>(*colour), terms.r, terms.g, terms.b,
                          terms.hue ? std::to_string(*terms.hue).c_str() : "", terms.l, terms.t);
            std::string caption(state.shown.Label(slot));
            for (std::size_t at = caption.find('"'); at != std::string::npos; at = caption.find('"', at + 2))
                caption.insert(at, 1, '"');
            csv += (row.number == 0 ? std::string("pointer") : std::to_string(row.number)) + "," + values + "\"" + caption +
                   "\"\n";
        }
    }
    return csv;
}

std::string PointerProbeLine(const AppState& state) {
    const ViewState& view = state.view;
    if (!view.probe) return {};
    std::string line = "(" + std::to_string(view.probe->x) + ", " + std::to_string(view.probe->y) + ")";
    const std::int32_t slot = view.Gallery() ? view.hoverImage : view.selectedImage;
    if (!ShowsPicture(state, slot)) return line;
    const std::optional<RgbValue> colour = ColourAt(state.shown.images, slot, *view.probe);
    return line + "  " + std::to_string(slot) + ": " + (colour ? TermsText(TermsOf(*colour)) : "—");
}

void TogglePin(Window& window, AppState& state, Point client) {
    const std::optional<Point> picture = PicturePointAt(state, client);
    if (!picture) return;
    ViewState& view = state.view;
    std::vector<Point>& pinned = view.pinned;
    // A pinned probe whose mark on this tile lies within three screen pixels.
    const Layout layout = LayoutOf(state);
    std::int32_t slot = 0;
    for (std::int32_t place : Places(view))
        if (layout.Tile(place).Contains(client)) slot = place;
    const auto near = std::find_if(pinned.begin(), pinned.end(), [&](const Point& p) {
        const Point mark = ScreenPointOf(state, slot, p);
        return std::abs(std::int64_t{mark.x} - client.x) <= 3 && std::abs(std::int64_t{mark.y} - client.y) <= 3;
    });
    view.notice.clear();
    if (near != pinned.end()) {
        pinned.erase(near);
    } else if (pinned.size() == kMaxPinnedProbes) {
        view.notice = std::string(kPinsFullText);
    } else {
        pinned.push_back(*picture);
        if (!view.probePanel) ToggleProbePanel(window, state);
    }
    window.RequestRepaint();
}

void RemovePin(Window& window, AppState& state, std::int32_t number) {
    std::vector<Point>& pinned = state.view.pinned;
    if (number < 1 || static_cast<std::size_t>(number) > pinned.size()) return;
    pinned.erase(pinned.begin() + (number - 1));
    state.view.notice.clear();
    window.RequestRepaint();
}

void ClearPins(Window& window, AppState& state) {
    state.view.pinned.clear();
    state.view.notice.clear();
    window.RequestRepaint();
}

void ToggleProbePanel(Window& window, AppState& state) {
    state.view.probePanel = !state.view.probePanel;
    window.ShowProbePanel(state.view.probePanel);
    window.SetMenuCheck(Command::ProbePanel, state.view.probePanel);
}

void FollowPointer(AppState& state) {
    ViewState& view = state.view;
    if (!view.pointer) return;
    if (view.browser) {
        view.browserHover = BrowserLayoutOf(state).At(*view.pointer);
        view.hoverImage = -1;
        view.probe.reset();
        return;
    }
    view.hoverImage = LayoutOf(state).TileAt(*view.pointer);
    view.probe = PicturePointAt(state, *view.pointer);
}

bool ShowsPicture(const AppState& state, std::int32_t slot) {
    return slot == 0 || (slot > 0 && slot < kSlotCount && state.shown.Label(slot) != kBlankLabel);
}

}  // namespace prismview

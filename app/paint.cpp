#include "app/paint.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/browser.h"
#include "app/probe.h"
#include "app/view.h"
#include "core/colour.h"
#include "resources/strings.h"

namespace prismview {

namespace {

constexpr RgbValue kBlack = 0x000000;
constexpr RgbValue kWhite = 0xFFFFFF;

void DrawSwatches(Canvas& canvas, const Layout& layout, Swatches swatches, const ProcessingParams& params) {
    if (swatches.hue) {
        const RgbValue colour = HueColour(params.hue);
        canvas.FillRect(layout.HueSwatch(), colour);
        canvas.FillRect(layout.HueComplementSwatch(), colour ^ 0xFFFFFFu);  // 255 minus each component
        canvas.DrawText(layout.HueText(), kHueSwatchText);
    }
    if (swatches.level) {
        const auto grey = static_cast<RgbValue>(params.level / 2);
        canvas.FillRect(layout.LevelSwatch(), grey * 0x010101u);
        canvas.DrawText(layout.LevelText(), kLevelSwatchText);
    }
}

// A probe's mark: a black cross nine pixels wide with a white edge, so that
// it shows on any colour; a pinned one has a square round its middle too.
void DrawProbeMark(Canvas& canvas, Point at, bool pinned) {
    const std::int64_t x = at.x, y = at.y;
    auto rect = [](std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
        return Rect{Saturate(l), Saturate(t), Saturate(r), Saturate(b)};
    };
    canvas.FillRect(rect(x - 5, y - 1, x + 6, y + 2), kWhite);
    canvas.FillRect(rect(x - 1, y - 5, x + 2, y + 6), kWhite);
    canvas.FillRect(rect(x - 4, y, x + 5, y + 1), kBlack);
    canvas.FillRect(rect(x, y - 4, x + 1, y + 5), kBlack);
    if (pinned) canvas.FrameRect(rect(x - 3, y - 3, x + 4, y + 4), kBlack);
}

// Every probe's mark on every picture shown: the same picture point on each.
void DrawProbes(Canvas& canvas, const AppState& state) {
    const ViewState& view = state.view;
    std::vector<std::int32_t> slots;
    if (view.Gallery()) slots = {0, 1, 2, 3, 4};
    else slots = {view.selectedImage};
    for (std::int32_t slot : slots) {
        if (!ShowsPicture(state, slot)) continue;  // a blank tile has nothing to probe
        for (std::size_t i = 0; i < view.pinned.size(); ++i) {
            const Point at = ScreenPointOf(state, slot, view.pinned[i]);
            DrawProbeMark(canvas, at, true);
            // Its number, as the probe panel lists it, below and right of the mark.
            canvas.DrawText({Saturate(std::int64_t{at.x} + 6), Saturate(std::int64_t{at.y} + 4)}, std::to_string(i + 1));
        }
        if (view.probe) DrawProbeMark(canvas, ScreenPointOf(state, slot, *view.probe), false);
    }
}

// The split of 比較: the base (drawn by `drawBase`) left of the line at
// screen column x, over the derived picture drawn already, and the line,
// white with a black middle so that it shows on any colour.
template <typename DrawBase>
void DrawSplit(Canvas& canvas, const Rect& tile, std::int32_t x, DrawBase drawBase) {
    canvas.ClipTo({tile.left, tile.top, x, tile.bottom});
    drawBase();
    canvas.Unclip();
    const std::int64_t at = x;
    canvas.FillRect({Saturate(at - 1), tile.top, Saturate(at + 2), tile.bottom}, kWhite);
    canvas.FillRect({x, tile.top, Saturate(at + 1), tile.bottom}, kBlack);
}

// Every mode's caption and thumbnails; the hovered one framed, with its
// slot's label, as the gallery frames its tile. Rows not (yet) made at the
// layout's size, and blank slots, draw nothing.
void PaintBrowser(Canvas& canvas, const AppState& state) {
    const BrowserLayout layout = BrowserLayoutOf(state);
    const Size size = layout.Thumbnail();
    const std::span<const ModeSpec* const> modes = BrowserModes();
    const BrowserPictures& browser = state.shown.browser;
    const std::vector<BrowserRow>& rows = browser.rows;
    // Rows of an older picture (its small base could not be made) are not this one's.
    const bool current = browser.base && browser.baseGeneration == state.shown.images.generation;
    for (std::size_t i = 0; i < modes.size(); ++i) {
        const auto row = static_cast<std::int32_t>(i);
        canvas.DrawText(layout.Caption(row), modes[i]->menuCaption);
        if (!current || i >= rows.size() || !rows[i].madeWith || rows[i].baseGeneration != browser.generation) continue;
        const ImageSet& thumbnails = rows[i].thumbnails;
        if (thumbnails.width != size.width || thumbnails.height != size.height) continue;
        for (std::int32_t slot = 1; slot < kSlotCount; ++slot) {
            const Rect place = layout.Thumb(row, slot);
            DrawBitmap(canvas, thumbnails.bitmaps[static_cast<std::size_t>(slot)].get(), {place.left, place.top}, size);
        }
    }
    const BrowserSpot hover = state.view.browserHover;
    if (!hover.Valid() || static_cast<std::size_t>(hover.row) >= modes.size()) return;
    const ModeSpec& mode = *modes[static_cast<std::size_t>(hover.row)];
    if (BlankSlot(mode, hover.slot)) return;
    canvas.FrameRect(layout.Thumb(hover.row, hover.slot), kBlack);
    const Rect inner = layout.InnerFrame(hover.row, hover.slot);
    canvas.FrameRect(inner, kWhite);
    canvas.DrawText({inner.left, inner.top}, mode.labels[static_cast<std::size_t>(hover.slot - 1)]);
}

}  // namespace

void DrawBitmap(Canvas& canvas, const Bitmap* bitmap, Point at, Size size) {
    if (!bitmap) return;
    const std::int32_t width = std::min(size.width, bitmap->Width());
    const std::int32_t height = std::min(size.height, bitmap->Height());
    if (width <= 0 || height <= 0) return;
    canvas.DrawImage(at, *bitmap, {width, height});
}

void PaintMainWindow(Canvas& canvas, const AppState& state) {
    const ShownPictures& shown = state.shown;
    const ViewState& view = state.view;
    // The pictures at the view's scale, the whole picture moved by the scroll
    // offset; texts and swatches keep their size.
    const ViewFit fit = FitOf(state);
    const Layout layout(fit);
    // The single image stands where the gallery's first tile does.
    auto drawPicture = [&](std::int32_t slot, std::int32_t place) {
        const Rect tile = layout.Tile(place);
        const Bitmap* bitmap = ShownBitmap(state, slot);
        if (fit.scale.Enlarges()) {
            if (bitmap) canvas.DrawImageEnlarged(tile, *bitmap);
        } else {
            DrawBitmap(canvas, bitmap, {tile.left, tile.top}, layout.Shown());
        }
    };
    if (!shown.images.Loaded()) {
        canvas.DrawText({0, 0}, kOpenRequestText);
    } else if (view.browser) {
        PaintBrowser(canvas, state);
        return;  // no probes, swatches or preview text over the thumbnails
    } else if (!view.Gallery()) {
        drawPicture(view.selectedImage, 0);
        if (const std::optional<std::int32_t> line = SplitLineX(state)) {
            DrawSplit(canvas, layout.Tile(0), *line, [&] { drawPicture(0, 0); });
            canvas.DrawText(layout.Caption(), std::string(shown.Label(0)) + " ｜ " + std::string(shown.Label(view.selectedImage)));
        } else {
            canvas.DrawText(layout.Caption(), shown.Label(view.selectedImage));
        }
    } else {
        for (std::int32_t slot = 0; slot < kSlotCount; ++slot) drawPicture(slot, slot);
        const std::int32_t hover = view.hoverImage;
        if (hover >= 0 && hover < kSlotCount) {
            canvas.FrameRect(layout.Tile(hover), kBlack);
            canvas.FrameRect(layout.InnerFrame(hover), kWhite);
            // With captions below the tiles the label is there already.
            if (fit.captionHeight == 0) canvas.DrawText(layout.TileLabel(hover), shown.Label(hover));
        }
        if (fit.captionHeight > 0) {
            for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
                const Rect line = layout.TileCaption(slot);
                canvas.ClipTo(line);  // a long caption ends at its tile's edge
                canvas.DrawText({line.left, line.top}, shown.Label(slot));
                canvas.Unclip();
            }
        }
    }
    if (shown.images.Loaded()) DrawProbes(canvas, state);
    if (shown.madeWith) DrawSwatches(canvas, layout, ShownSwatches(state), *shown.madeWith);
    // A preview is not the final picture: the status text stays over it.
    if (shown.previewing) canvas.DrawText({0, 0}, kRegenerateText);
}

}  // namespace prismview

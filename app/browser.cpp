#include "app/browser.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "app/layout.h"
#include "app/menu.h"
#include "app/preview.h"
#include "core/downscale.h"
#include "effects/mode_table.h"
#include "resources/strings.h"

namespace prismview {

namespace {

// More groups side by side than this never show the thumbnails larger on
// any screen shape the program meets: each takes a caption's width.
constexpr std::int32_t kMostGroups = 8;

bool Larger(const Scale& a, const Scale& b) { return a.num * b.den > b.num * a.den; }

// The thumbnails' slots of a mode: a bitmap of the row's size for each slot
// that is not blank, none for the blank ones.
bool FitRowBitmaps(BrowserRow& row, const ModeSpec& mode, Size size) {
    ImageSet& set = row.thumbnails;
    if (set.width != size.width || set.height != size.height) {
        ReleaseImages(set);
        set.width = size.width;
        set.height = size.height;
        row.madeWith.reset();
    }
    for (std::int32_t slot = 1; slot < kSlotCount; ++slot) {
        BitmapHandle& bitmap = set.bitmaps[static_cast<std::size_t>(slot)];
        if (BlankSlot(mode, slot)) bitmap.reset();
        else if (!bitmap) bitmap = Bitmap::Create(size.width, size.height);
        if (!BlankSlot(mode, slot) && !bitmap) return false;
    }
    return true;
}

}  // namespace

std::span<const ModeSpec* const> BrowserModes() {
    static const std::vector<const ModeSpec*> modes = [] {
        std::vector<const ModeSpec*> list;
        for (const MenuPopup& popup : MainMenu())
            for (const MenuItem& item : popup.items)
                if (item.action == MenuAction::SetEffectMode)
                    if (const ModeSpec* mode = FindMode(item.value)) list.push_back(mode);
        return list;
    }();
    return modes;
}

BrowserLayout::BrowserLayout(const ViewState& view, Size picture) {
    const std::int64_t count = std::max<std::int64_t>(1, static_cast<std::int64_t>(BrowserModes().size()));
    const std::int64_t w = picture.width, h = picture.height;
    captionWidth_ = std::max(0, view.captionWidth);
    const std::int64_t text = std::max(0, view.textHeight);
    if (w <= 0 || h <= 0) return;
    // Client sizes beyond any screen are taken as that: the products stay in 64 bits.
    const std::int64_t width = std::clamp<std::int64_t>(view.client.width, 0, std::int64_t{1} << 24);
    const std::int64_t height = std::clamp<std::int64_t>(view.client.height, 0, std::int64_t{1} << 24);
    std::optional<Scale> best;
    for (std::int32_t groups = 1; groups <= std::min<std::int64_t>(kMostGroups, count); ++groups) {
        const std::int64_t rows = (count + groups - 1) / groups;
        const std::int64_t groupRoom = (width - std::int64_t{groups - 1} * kBrowserGroupGap) / groups;
        const std::int64_t roomWidth = (groupRoom - captionWidth_ - 4 * kBrowserGap) / 4;
        const std::int64_t roomHeight = (height - (rows - 1) * kBrowserGap) / rows;
        // A row is as tall as its caption at least.
        if (roomWidth <= 0 || roomHeight <= 0 || roomHeight < text) continue;
        Scale scale = roomWidth * h <= roomHeight * w ? Scale{roomWidth, w} : Scale{roomHeight, h};
        if (!scale.Shrinks()) scale = {};
        if (!best || Larger(scale, *best)) {
            best = scale;
            groups_ = groups;
        }
    }
    scale_ = best.value_or(Scale{1, std::max(w, h)});
    // Never below a pixel: a window too small even for that shows them cut off.
    if (w * scale_.num < scale_.den || h * scale_.num < scale_.den) scale_ = {1, std::min(w, h)};
    thumbnail_ = ScaledSize(picture, scale_);
    rowsPerGroup_ = static_cast<std::int32_t>((count + groups_ - 1) / groups_);
    rowPitch_ = Saturate(std::max<std::int64_t>(thumbnail_.height, text) + kBrowserGap);
    groupPitch_ = Saturate(std::int64_t{captionWidth_} + 4 * (std::int64_t{thumbnail_.width} + kBrowserGap) +
                           kBrowserGroupGap);
    textTop_ = static_cast<std::int32_t>(std::max<std::int64_t>(0, (thumbnail_.height - text) / 2));
}

Point BrowserLayout::RowOrigin(std::int32_t row) const {
    const std::int64_t group = row / rowsPerGroup_, inGroup = row % rowsPerGroup_;
    return {Saturate(group * groupPitch_), Saturate(inGroup * rowPitch_)};
}

Rect BrowserLayout::Thumb(std::int32_t row, std::int32_t slot) const {
    if (row < 0 || row >= static_cast<std::int32_t>(BrowserModes().size()) || slot < 1 || slot >= kSlotCount)
        return {};
    const Point origin = RowOrigin(row);
    const std::int64_t left = std::int64_t{origin.x} + captionWidth_ + kBrowserGap +
                              std::int64_t{slot - 1} * (std::int64_t{thumbnail_.width} + kBrowserGap);
    return {Saturate(left), origin.y, Saturate(left + thumbnail_.width),
            Saturate(std::int64_t{origin.y} + thumbnail_.height)};
}

Point BrowserLayout::Caption(std::int32_t row) const {
    const Point origin = RowOrigin(row);
    return {origin.x, Saturate(std::int64_t{origin.y} + textTop_)};
}

Rect BrowserLayout::InnerFrame(std::int32_t row, std::int32_t slot) const {
    const Rect thumb = Thumb(row, slot);
    return {Saturate(std::int64_t{thumb.left} + 1), Saturate(std::int64_t{thumb.top} + 1),
            Saturate(std::int64_t{thumb.right} - 1), Saturate(std::int64_t{thumb.bottom} - 1)};
}

BrowserSpot BrowserLayout::At(Point point) const {
    const auto rows = static_cast<std::int32_t>(BrowserModes().size());
    for (std::int32_t row = 0; row < rows; ++row)
        for (std::int32_t slot = 1; slot < kSlotCount; ++slot)
            if (Thumb(row, slot).Contains(point)) return {row, slot};
    return {};
}

BrowserLayout BrowserLayoutOf(const AppState& state) {
    return BrowserLayout(state.view, {state.shown.images.width, state.shown.images.height});
}

bool BlankSlot(const ModeSpec& mode, std::int32_t slot) {
    return slot >= 1 && slot < kSlotCount && mode.labels[static_cast<std::size_t>(slot - 1)] == kBlankLabel;
}

bool MakeBrowserRow(BrowserRow& row, const Bitmap& smallBase, std::uint64_t baseGeneration, const ModeSpec& mode,
                    const ProcessingParams& params, const Scale& scale) {
    ProcessingParams asked = params;
    asked.effectMode = mode.mode;
    const ProcessingParams scaled = PreviewParams(mode, asked, scale);
    const Size size{smallBase.Width(), smallBase.Height()};
    const bool sameBase = row.baseGeneration == baseGeneration && row.thumbnails.width == size.width &&
                          row.thumbnails.height == size.height;
    if (sameBase && row.madeWith && SameImages(*row.madeWith, scaled)) return false;
    row.madeWith.reset();
    row.baseGeneration = baseGeneration;
    if (!FitRowBitmaps(row, mode, size)) return false;  // no memory: tried again at the next change
    PassOptions options;
    options.memory = &row.memory;
    options.base = &smallBase;
    ++row.passes;
    if (ProcessImages(row.thumbnails, &mode, scaled, options)) row.madeWith = scaled;
    return true;
}

void MakeBrowserPictures(AppState& state) {
    if (!state.view.browser) return;
    const ImageSet& images = state.shown.images;
    BrowserPictures& browser = state.shown.browser;
    if (!images.Loaded()) {
        browser.base.reset();
        return;
    }
    const BrowserLayout layout = BrowserLayoutOf(state);
    const Size size = layout.Thumbnail();
    if (size.width <= 0 || size.height <= 0) return;
    const bool current = browser.base && browser.baseGeneration == images.generation &&
                         browser.base->Width() == size.width && browser.base->Height() == size.height;
    if (!current) {
        browser.base.reset();  // before the new one: the old size is of no use
        browser.base = Downscale(*images.bitmaps[0], size.width, size.height);
        browser.baseGeneration = images.generation;
        browser.generation = NewImageGeneration();
        if (!browser.base) return;
    }
    const std::span<const ModeSpec* const> modes = BrowserModes();
    browser.rows.resize(modes.size());
    for (std::size_t i = 0; i < modes.size(); ++i)
        MakeBrowserRow(browser.rows[i], *browser.base, browser.generation, *modes[i], state.params,
                       layout.ThumbnailScale());
}

bool BrowserUpToDate(const AppState& state) {
    const ImageSet& images = state.shown.images;
    const BrowserPictures& browser = state.shown.browser;
    if (!images.Loaded()) return true;
    const BrowserLayout layout = BrowserLayoutOf(state);
    const Size size = layout.Thumbnail();
    if (!browser.base || browser.baseGeneration != images.generation || browser.base->Width() != size.width ||
        browser.base->Height() != size.height)
        return false;
    const std::span<const ModeSpec* const> modes = BrowserModes();
    if (browser.rows.size() != modes.size()) return false;
    for (std::size_t i = 0; i < modes.size(); ++i) {
        const BrowserRow& row = browser.rows[i];
        ProcessingParams asked = state.params;
        asked.effectMode = modes[i]->mode;
        if (row.baseGeneration != browser.generation || !row.madeWith ||
            !SameImages(*row.madeWith, PreviewParams(*modes[i], asked, layout.ThumbnailScale())))
            return false;
    }
    return true;
}

void ToggleBrowser(Window& window, AppState& state) {
    ViewState& view = state.view;
    view.browser = !view.browser;
    view.browserHover = {};
    if (view.browser) {
        view.hoverImage = -1;
        view.probe.reset();  // no picture point lies under the pointer there
        MakeBrowserPictures(state);
    }
    window.SetMenuCheck(Command::Browser, view.browser);
    window.RequestRepaint();
}

void CloseBrowser(Window& window, AppState& state) {
    if (!state.view.browser) return;
    state.view.browser = false;
    state.view.browserHover = {};
    window.SetMenuCheck(Command::Browser, false);
}

}  // namespace prismview

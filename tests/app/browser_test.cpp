#include "app/browser.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/commands.h"
#include "app/input.h"
#include "app/paint.h"
#include "app/preview.h"
#include "app/regenerate.h"
#include "core/downscale.h"
#include "effects/mode_table.h"
#include "support/recording_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

using test::RecordingWindow;

std::size_t RowOf(EffectMode mode) {
    const auto modes = BrowserModes();
    for (std::size_t i = 0; i < modes.size(); ++i)
        if (modes[i]->mode == mode) return i;
    ADD_FAILURE() << "mode " << mode << " has no row";
    return 0;
}

Point Middle(const Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// A 1200 x 600 picture in a 1440 x 900 window with the browser open and
// every thumbnail made.
struct Browsing {
    Browsing() {
        state.shown.images = test::MakeImageSet(test::Varied(1200, 600));
        state.view.client = {1440, 900};
        state.view.textHeight = 16;
        state.view.captionWidth = 120;
        Regenerate(window, state);
        OnCommand(window, state, Command::Browser);
    }
    std::vector<std::uint64_t> Passes() const {
        std::vector<std::uint64_t> passes;
        for (const BrowserRow& row : state.shown.browser.rows) passes.push_back(row.passes);
        return passes;
    }
    test::State state;
    RecordingWindow window;
};

TEST(Browser, AThumbnailIsItsModesSlotOnTheShrunkBaseWithScaledLengths) {
    Browsing b;
    b.state.params.hue = 300;
    b.state.params.waveAmplitude = 40;
    b.state.params.centerX = 90;
    b.state.params.centerY = -30;
    Regenerate(b.window, b.state);
    const BrowserLayout layout = BrowserLayoutOf(b.state);
    ASSERT_TRUE(layout.ThumbnailScale().Shrinks());
    const Size size = layout.Thumbnail();
    const PixelBuffer small = ReadPixels(*Downscale(*b.state.shown.images.bitmaps[0], size.width, size.height));
    ASSERT_TRUE(BrowserUpToDate(b.state));
    for (const EffectMode number : {ModeHueRotate, ModeRipple}) {
        const ModeSpec& mode = *FindMode(number);
        ProcessingParams params = b.state.params;
        params.effectMode = number;
        const ProcessingParams scaled = PreviewParams(mode, params, layout.ThumbnailScale());
        const BrowserRow& row = b.state.shown.browser.rows[RowOf(number)];
        for (int slot = 1; slot < kSlotCount; ++slot) {
            const Bitmap* thumbnail = row.thumbnails.bitmaps[static_cast<std::size_t>(slot)].get();
            ASSERT_NE(thumbnail, nullptr) << mode.name << " slot " << slot;
            EXPECT_TRUE(ReadPixels(*thumbnail) == test::RunSlot(small, scaled, slot)) << mode.name << " slot " << slot;
        }
    }
    // The ripple's lengths shrank with the picture: its amplitude is not 40 there.
    EXPECT_LT(b.state.shown.browser.rows[RowOf(ModeRipple)].madeWith->waveAmplitude, 40);
    // A blank slot has no picture to show.
    EXPECT_EQ(b.state.shown.browser.rows[RowOf(ModeInvert)].thumbnails.bitmaps[4], nullptr);
}

TEST(Browser, AChangeRedoesExactlyTheRowsWhoseScaledParametersChanged) {
    Browsing b;
    // Each row one pass more than `before` where its mode reads `reads` (all: ~0u).
    auto expectRedone = [&b](const std::vector<std::uint64_t>& before, unsigned reads) {
        const std::vector<std::uint64_t> now = b.Passes();
        ASSERT_EQ(now.size(), BrowserModes().size());
        for (std::size_t i = 0; i < now.size(); ++i)
            EXPECT_EQ(now[i], before[i] + (reads == ~0u || (BrowserModes()[i]->reads & reads) != 0 ? 1 : 0))
                << BrowserModes()[i]->name;
    };
    // Another mode changes none of the rows, which have modes of their own.
    SetEffectMode(b.window, b.state, ModeHueRotate);
    expectRedone(std::vector<std::uint64_t>(BrowserModes().size(), 0), ~0u);
    std::vector<std::uint64_t> passes = b.Passes();

    OnKeyDown(b.window, b.state, Key::Right);  // the hue
    expectRedone(passes, ReadsHue);
    EXPECT_TRUE(BrowserUpToDate(b.state));
    EXPECT_EQ(b.state.shown.madeWith->hue, b.state.params.hue);  // the current mode's exact pass ran too
    passes = b.Passes();

    // One more pixel of amplitude is the same length at this scale: the
    // modes that read it show the same thumbnails and none is redone.
    const Scale scale = BrowserLayoutOf(b.state).ThumbnailScale();
    ProcessingParams before = b.state.params, after = b.state.params;
    before.effectMode = after.effectMode = ModeWave;
    after.waveAmplitude += 1;
    const ModeSpec& wave = *FindMode(ModeWave);
    ASSERT_EQ(PreviewParams(wave, before, scale).waveAmplitude, PreviewParams(wave, after, scale).waveAmplitude);
    OnKeyDown(b.window, b.state, Key::Digit6);
    EXPECT_EQ(b.Passes(), passes);

    // Closed, nothing is made; opened again, only what changed meanwhile.
    OnKeyDown(b.window, b.state, Key::Tab);
    OnKeyDown(b.window, b.state, Key::Up);  // the level
    EXPECT_EQ(b.Passes(), passes);
    OnKeyDown(b.window, b.state, Key::Tab);
    expectRedone(passes, ReadsLevel);
    passes = b.Passes();

    // Another window size redoes every row.
    b.state.view.client = {1920, 1200};
    MakeBrowserPictures(b.state);
    expectRedone(passes, ~0u);
    EXPECT_EQ(b.state.shown.browser.rows[0].thumbnails.width, BrowserLayoutOf(b.state).Thumbnail().width);
}

TEST(Browser, AClickChoosesModeAndSlotAsOneUndoStep) {
    Browsing b;
    const std::int32_t startMode = b.state.params.effectMode;
    ASSERT_NE(startMode, ModeSaturation);
    EXPECT_TRUE(b.window.marks[Command::Browser]);
    const BrowserLayout layout = BrowserLayoutOf(b.state);

    // Between two thumbnails, and on a blank one: nothing happens.
    const Rect first = layout.Thumb(0, 1);
    OnLeftButtonDown(b.window, b.state, {first.right, first.top});
    OnLeftButtonDown(b.window, b.state, Middle(layout.Thumb(static_cast<std::int32_t>(RowOf(ModeInvert)), 4)));
    EXPECT_TRUE(b.state.view.browser);
    EXPECT_EQ(b.state.params.effectMode, startMode);
    EXPECT_FALSE(b.state.history.CanUndo());

    OnLeftButtonDown(b.window, b.state, Middle(layout.Thumb(static_cast<std::int32_t>(RowOf(ModeSaturation)), 2)));
    EXPECT_FALSE(b.state.view.browser);
    EXPECT_FALSE(b.window.marks[Command::Browser]);
    EXPECT_EQ(b.state.params.effectMode, ModeSaturation);
    EXPECT_EQ(b.state.view.selectedImage, 2);
    EXPECT_TRUE(b.window.marks[Command::ShowImage2]);
    EXPECT_TRUE(b.window.marks[ModeCommand(ModeSaturation)]);
    EXPECT_EQ(b.state.shown.madeWith->effectMode, ModeSaturation);

    UndoCommand(b.window, b.state, true);
    EXPECT_EQ(b.state.params.effectMode, startMode);
    EXPECT_FALSE(b.state.history.CanUndo());
    EXPECT_EQ(b.state.view.selectedImage, 2);  // the view is no step
    EXPECT_FALSE(b.state.view.browser);
}

TEST(Browser, TabAndEscapeGoBackToTheViewBefore) {
    Browsing b;  // opened from the gallery
    b.state.view.browserHover = {3, 1};
    OnKeyDown(b.window, b.state, Key::Escape);
    EXPECT_FALSE(b.state.view.browser);
    EXPECT_EQ(b.state.view.selectedImage, -1);
    OnKeyDown(b.window, b.state, Key::Escape);  // nothing to close
    EXPECT_FALSE(b.state.view.browser);

    OnKeyDown(b.window, b.state, Key::D);  // image 2 alone
    OnKeyDown(b.window, b.state, Key::Tab);
    EXPECT_TRUE(b.state.view.browser);
    EXPECT_EQ(b.state.view.browserHover, BrowserSpot{});  // a hover from before is gone
    OnKeyDown(b.window, b.state, Key::Left);  // keys go on changing the values
    EXPECT_TRUE(b.state.view.browser);
    OnKeyDown(b.window, b.state, Key::Tab);
    EXPECT_FALSE(b.state.view.browser);
    EXPECT_EQ(b.state.view.selectedImage, 2);
    EXPECT_FALSE(b.window.marks[Command::Browser]);

    // A view key or view item shows its view in place of the browser.
    OnKeyDown(b.window, b.state, Key::Tab);
    OnKeyDown(b.window, b.state, Key::S);
    EXPECT_FALSE(b.state.view.browser);
    EXPECT_EQ(b.state.view.selectedImage, 1);
    EXPECT_FALSE(b.window.marks[Command::Browser]);
}

TEST(Browser, HoverAndTheOtherButtonsInTheBrowser) {
    Browsing b;
    const BrowserLayout layout = BrowserLayoutOf(b.state);
    const Rect thumb = layout.Thumb(5, 3);
    OnMouseMove(b.window, b.state, Middle(thumb));
    EXPECT_EQ(b.state.view.browserHover, (BrowserSpot{5, 3}));
    EXPECT_FALSE(b.state.view.probe.has_value());
    // The centre's click and the pins have no picture point to act on.
    b.state.params.effectMode = ModeRipple;
    const ProcessingParams before = b.state.params;
    OnRightButtonDown(b.window, b.state, Middle(thumb));
    OnPinButtonDown(b.window, b.state, Middle(thumb));
    EXPECT_TRUE(b.state.params == before);
    EXPECT_TRUE(b.state.view.pinned.empty());
    OnMouseMove(b.window, b.state, {thumb.right + 1, thumb.top});
    EXPECT_FALSE(b.state.view.browserHover.Valid());
}

// Counts what the browser's paint draws.
struct CountingCanvas : Canvas {
    void DrawText(Point, std::string_view text) override { texts.emplace_back(text); }
    void DrawImage(Point, const Bitmap&, Size) override { ++images; }
    void DrawImageEnlarged(const Rect&, const Bitmap&) override { ++images; }
    void FrameRect(const Rect& r, RgbValue) override { frames.push_back(r); }
    void FillRect(const Rect&, RgbValue) override { ++fills; }
    void ClipTo(const Rect&) override {}
    void Unclip() override {}
    std::vector<std::string> texts;
    std::vector<Rect> frames;
    int images = 0, fills = 0;
};

TEST(Browser, PaintsEveryCaptionAndPictureButTheBlankOnes) {
    Browsing b;
    b.state.view.pinned = {{10, 10}};  // the gallery's marks stay off the thumbnails
    const std::int32_t invert = static_cast<std::int32_t>(RowOf(ModeInvert));
    int blank = 0;
    for (const ModeSpec* mode : BrowserModes())
        for (int slot = 1; slot < kSlotCount; ++slot) blank += BlankSlot(*mode, slot);
    ASSERT_GT(blank, 0);
    for (const BrowserSpot hover : {BrowserSpot{invert, 1}, BrowserSpot{invert, 4}}) {
        b.state.view.browserHover = hover;
        CountingCanvas canvas;
        PaintMainWindow(canvas, b.state);
        EXPECT_EQ(canvas.images, static_cast<int>(4 * BrowserModes().size()) - blank);
        EXPECT_EQ(canvas.fills, 0);
        const bool framed = hover.slot == 1;  // the blank slot 4 gets no frame
        EXPECT_EQ(canvas.frames.size(), framed ? 2u : 0u);
        EXPECT_EQ(canvas.texts.size(), BrowserModes().size() + (framed ? 1 : 0));
        if (framed) {
            EXPECT_EQ(canvas.frames[0], BrowserLayoutOf(b.state).Thumb(invert, 1));
            EXPECT_EQ(canvas.texts.back(), FindMode(ModeInvert)->labels[0]);
        }
    }
    // Rows made at another size (the window just grew), or of another
    // picture, draw nothing until made again.
    b.state.view.client = {1920, 1200};
    CountingCanvas resized;
    PaintMainWindow(resized, b.state);
    EXPECT_EQ(resized.images, 0);
    b.state.view.client = {1440, 900};
    b.state.shown.images.generation = NewImageGeneration();  // as after a new base
    CountingCanvas replaced;
    PaintMainWindow(replaced, b.state);
    EXPECT_EQ(replaced.images, 0);
}

TEST(BrowserLayout, EveryRowFitsAndABiggerWindowShowsThemLarger) {
    for (const Size picture : {Size{1920, 1080}, Size{4000, 3000}, Size{600, 4000}}) {
        ViewState view;
        view.client = {1440, 900};
        view.textHeight = 17;
        view.captionWidth = 150;
        const BrowserLayout layout(view, picture);
        const Size size = layout.Thumbnail();
        EXPECT_GT(size.width, 0);
        EXPECT_GT(size.height, 0);
        std::vector<Rect> all;
        const Rect client{0, 0, view.client.width, view.client.height};
        for (std::int32_t row = 0; row < static_cast<std::int32_t>(BrowserModes().size()); ++row) {
            const Point caption = layout.Caption(row);
            EXPECT_LE(caption.y + view.textHeight, client.bottom) << row;
            for (std::int32_t slot = 1; slot < kSlotCount; ++slot) {
                const Rect r = layout.Thumb(row, slot);
                EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
                    << picture.width << "x" << picture.height << " row " << row << " slot " << slot;
                EXPECT_GE(r.left, caption.x + view.captionWidth);  // the caption stands clear of its row
                EXPECT_EQ(layout.At(Middle(r)), (BrowserSpot{row, slot}));
                for (const Rect& other : all)
                    EXPECT_FALSE(r.left < other.right && other.left < r.right && r.top < other.bottom &&
                                 other.top < r.bottom);
                all.push_back(r);
            }
        }
        ViewState larger = view;
        larger.client = {2560, 1440};
        const Size bigger = BrowserLayout(larger, picture).Thumbnail();
        EXPECT_GT(bigger.width, size.width);
        EXPECT_GT(bigger.height, size.height);
    }
    // Never larger than the picture; a window too small still gives a pixel.
    ViewState view;
    view.client = {1440, 900};
    EXPECT_EQ(BrowserLayout(view, {40, 30}).Thumbnail(), (Size{40, 30}));
    view.client = {30, 20};
    view.captionWidth = 100;
    const Size tiny = BrowserLayout(view, {1000, 800}).Thumbnail();
    EXPECT_GE(tiny.width, 1);
    EXPECT_GE(tiny.height, 1);
}

}  // namespace
}  // namespace prismview

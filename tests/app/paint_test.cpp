#include "app/paint.h"

#include <gtest/gtest.h>

#include "effects/mode_table.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "app/view.h"
#include "support/recording_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

using test::RecordingWindow;

std::string Colour(RgbValue c) {
    char s[16];
    std::snprintf(s, sizeof s, "%06X", c);
    return s;
}

std::string RectText(const Rect& r) {
    char s[64];
    std::snprintf(s, sizeof s, "%d,%d-%d,%d", r.left, r.top, r.right, r.bottom);
    return s;
}

// Records every drawing call; images are named by their slot in the state,
// shrunk copies as "scaled" and their slot.
class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(const AppState& state) : state_(state) {}
    void DrawText(Point at, std::string_view text) override {
        calls.push_back("text " + std::to_string(at.x) + "," + std::to_string(at.y) + " " + std::string(text));
    }
    void DrawImage(Point at, const Bitmap& bitmap, Size size) override {
        std::string slot = "-1";
        for (int i = 0; i < kSlotCount; ++i) {
            if (state_.shown.images.bitmaps[i].get() == &bitmap) slot = std::to_string(i);
            if (state_.shown.images.scaled[i].get() == &bitmap) slot = "scaled " + std::to_string(i);
        }
        calls.push_back("image " + slot + " at " + std::to_string(at.x) + "," + std::to_string(at.y) + " " +
                        std::to_string(size.width) + "x" + std::to_string(size.height));
    }
    void DrawImageEnlarged(const Rect& r, const Bitmap& bitmap) override {
        for (int i = 0; i < kSlotCount; ++i)
            if (state_.shown.images.bitmaps[i].get() == &bitmap) calls.push_back("enlarged " + std::to_string(i) + " " + RectText(r));
    }
    void FrameRect(const Rect& r, RgbValue c) override { calls.push_back("frame " + RectText(r) + " " + Colour(c)); }
    void FillRect(const Rect& r, RgbValue c) override { calls.push_back("fill " + RectText(r) + " " + Colour(c)); }
    void ClipTo(const Rect& r) override { calls.push_back("clip " + RectText(r)); }
    void Unclip() override { calls.push_back("unclip"); }
    std::vector<std::string> calls;

private:
    const AppState& state_;
};

using Calls = std::vector<std::string>;

Calls Paint(const AppState& state) {
    RecordingCanvas canvas(state);
    PaintMainWindow(canvas, state);
    return canvas.calls;
}

void Load200x100(AppState& state) {
    state.shown.images = test::MakeImageSet(test::Varied(200, 100));
    state.shown.madeWith = ProcessingParams{};  // the default mode's labels: 色相反転, 明度反転, 通常反転, －
}

TEST(PaintMainWindow, AsksForAFileWhenNoImageIsLoaded) {
    const test::State state;
    EXPECT_EQ(Paint(state), Calls{"text 0,0 ＢＭＰを開いてください。"});
}

TEST(PaintMainWindow, SwatchesShowEvenWithoutAnImageAtTheKeptWidth) {
    test::State state;
    state.shown.madeWith.emplace();
    state.shown.madeWith->effectMode = ModeHueRotate;
    state.view.selectedImage = 4;
    EXPECT_EQ(Paint(state), (Calls{"text 0,0 ＢＭＰを開いてください。", "fill 0,0-32,16 FF0000",
                                   "fill 0,16-32,32 00FFFF", "text 32,0 ←→で指定"}));
    state.shown.images.width = 123;  // a failed paste keeps the size of the released image
    EXPECT_EQ(Paint(state)[1], "fill 123,0-155,16 FF0000");
}

TEST(PaintMainWindow, GalleryTilesOfEveryArrangement) {
    struct Case {
        std::int32_t columns;
        Calls expected;
    };
    const Case cases[] = {
        {1, {"image 0 at 0,0 200x100", "image 1 at 0,100 200x100", "image 2 at 0,200 200x100",
             "image 3 at 0,300 200x100", "image 4 at 0,400 200x100"}},
        {2, {"image 0 at 0,0 200x100", "image 1 at 200,0 200x100", "image 2 at 0,100 200x100",
             "image 3 at 200,100 200x100", "image 4 at 0,200 200x100"}},
        {3, {"image 0 at 0,0 200x100", "image 1 at 200,0 200x100", "image 2 at 400,0 200x100",
             "image 3 at 0,100 200x100", "image 4 at 200,100 200x100"}},
        {5, {"image 0 at 0,0 200x100", "image 1 at 200,0 200x100", "image 2 at 400,0 200x100",
             "image 3 at 600,0 200x100", "image 4 at 800,0 200x100"}},
    };
    for (const Case& c : cases) {
        test::State state;
        Load200x100(state);
        state.view.columns = c.columns;
        EXPECT_EQ(Paint(state), c.expected) << c.columns << " columns";
    }
}

TEST(PaintMainWindow, HoveredTileGetsTwoFramesAndItsLabel) {
    test::State state;
    Load200x100(state);
    state.view.hoverImage = 3;
    const Calls calls = Paint(state);
    ASSERT_EQ(calls.size(), 8u);
    EXPECT_EQ(Calls(calls.begin() + 5, calls.end()),
              (Calls{"frame 200,100-400,200 000000", "frame 201,101-399,199 FFFFFF", "text 201,101 通常反転"}));
}

TEST(PaintMainWindow, TheStatusTextStaysOverAPreview) {
    test::State state;
    Load200x100(state);
    EXPECT_EQ(Paint(state).back(), "image 4 at 0,200 200x100");
    state.shown.previewing = true;
    EXPECT_EQ(Paint(state).back(), "text 0,0 加工画像の作成をしてます。技術不足により、暫く時間が掛かりますm(__)m");
}

TEST(PaintMainWindow, ZoomedInPicturesAreDrawnEnlargedIntoTheirTiles) {
    test::State state;
    Load200x100(state);
    state.view.client = {300, 300};
    state.view.zoom = Scale{4, 1};
    MakeShownCopies(state);
    const Calls calls = Paint(state);
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(calls[0], "enlarged 0 0,0-800,400");
    EXPECT_EQ(calls[3], "enlarged 3 800,400-1600,800");
}

TEST(PaintMainWindow, SingleViewShowsTheImageAndItsLabelBelow) {
    test::State state;
    Load200x100(state);
    state.view.selectedImage = 2;
    state.view.hoverImage = 1;  // no frame outside the gallery
    EXPECT_EQ(Paint(state), (Calls{"image 2 at 0,0 200x100", "text 0,100 明度反転"}));
}

TEST(PaintMainWindow, TheBaseImageNeverHasASwatch) {
    for (std::int32_t mode = 0; mode < kModeCount; ++mode) {
        test::State state;
        Load200x100(state);
        state.view.selectedImage = 0;
        state.shown.madeWith->effectMode = mode;
        EXPECT_EQ(Paint(state), (Calls{"image 0 at 0,0 200x100", "text 0,100 ベース画像"})) << mode;
    }
}

TEST(PaintMainWindow, HueSwatchOfGreen) {
    test::State state;
    Load200x100(state);
    state.shown.madeWith->effectMode = ModeHueRotate;
    state.view.selectedImage = 4;
    state.shown.madeWith->hue = 510;
    state.params.hue = 100;  // asked for, not shown yet: the swatch shows the picture's hue
    EXPECT_EQ(Paint(state), (Calls{"image 4 at 0,0 200x100", "text 0,100 任意（回転）", "fill 200,0-232,16 00FF00",
                                   "fill 200,16-232,32 FF00FF", "text 232,0 ←→で指定"}));
}

TEST(PaintMainWindow, LevelSwatchTruncatesTheHalf) {
    test::State state;
    Load200x100(state);
    state.shown.madeWith->effectMode = ModeBrighten;
    state.view.selectedImage = 2;
    state.shown.madeWith->level = 255;
    EXPECT_EQ(Paint(state), (Calls{"image 2 at 0,0 200x100", "text 0,100 明（加算的）", "fill 200,48-232,80 7F7F7F",
                                   "text 232,48 ↑↓で指定"}));
    state.shown.madeWith->level = 510;
    EXPECT_EQ(Paint(state)[2], "fill 200,48-232,80 FFFFFF");
}

TEST(PaintMainWindow, BothSwatchesHueFirst) {
    test::State state;
    Load200x100(state);
    state.shown.madeWith->effectMode = ModeSaturation2;
    state.view.selectedImage = 4;
    const Calls calls = Paint(state);
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[2].rfind("fill 200,0-232,16", 0), 0u);
    EXPECT_EQ(calls[4], "text 232,0 ←→で指定");
    EXPECT_EQ(calls[5], "fill 200,48-232,80 000000");
    EXPECT_EQ(calls[6], "text 232,48 ↑↓で指定");
}

// The 200 x 100 pictures fitted into a client area, or at 1:1 in it.
void Fit200x100(AppState& state, std::int32_t clientWidth, std::int32_t clientHeight, bool actualSize = false) {
    Load200x100(state);
    state.view.client = {clientWidth, clientHeight};
    state.view.actualSize = actualSize;
    state.view.scrollBarExtent = 10;
    state.view.textHeight = 16;
    state.view.swatchTextWidth = 60;
    MakeShownCopies(state);
}

TEST(PaintMainWindow, ShrunkGalleryDrawsTheCopiesTheFrameAndAFullSizeLabel) {
    test::State state;
    Fit200x100(state, 200, 150);  // half size: tiles of 100 x 50
    state.view.hoverImage = 3;
    EXPECT_EQ(Paint(state), (Calls{"image scaled 0 at 0,0 100x50", "image scaled 1 at 100,0 100x50",
                                   "image scaled 2 at 0,50 100x50", "image scaled 3 at 100,50 100x50",
                                   "image scaled 4 at 0,100 100x50", "frame 100,50-200,100 000000",
                                   "frame 101,51-199,99 FFFFFF", "text 101,51 通常反転"}));
}

TEST(PaintMainWindow, ShrunkSingleViewPutsCaptionAndSwatchesBesideThePicture) {
    test::State state;
    Load200x100(state);
    state.shown.madeWith->effectMode = ModeSaturation2;  // slot 4: both swatches
    state.view = {.selectedImage = 4, .client = {192, 116}, .textHeight = 16, .swatchTextWidth = 60};
    MakeShownCopies(state);
    // (192 - 92) / 200 is less than (116 - 16) / 100: half size.
    const Calls calls = Paint(state);
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[0], "image scaled 4 at 0,0 100x50");
    EXPECT_EQ(calls[1], "text 0,50 彩（加算的２、灰⇒指定色）");
    EXPECT_EQ(calls[2].rfind("fill 100,0-132,16", 0), 0u);
    EXPECT_EQ(calls[4], "text 132,0 ←→で指定");
    EXPECT_EQ(calls[5], "fill 100,48-132,80 000000");
    EXPECT_EQ(calls[6], "text 132,48 ↑↓で指定");
}

TEST(PaintMainWindow, OneToOneMovesEverythingByTheScrollOffset) {
    test::State state;
    Fit200x100(state, 150, 100, true);  // 400 x 300 of tiles in a 140 x 90 viewport
    RecordingWindow window;
    ScrollTo(window, state, 130, 120);
    state.view.hoverImage = 3;
    EXPECT_EQ(Paint(state), (Calls{"image 0 at -130,-120 200x100", "image 1 at 70,-120 200x100",
                                   "image 2 at -130,-20 200x100", "image 3 at 70,-20 200x100",
                                   "image 4 at -130,80 200x100", "frame 70,-20-270,80 000000",
                                   "frame 71,-19-269,79 FFFFFF", "text 71,-19 通常反転"}));
    state.view.selectedImage = 2;
    state.shown.madeWith->effectMode = ModeBrighten;
    // 292 x 116 of content: less to scroll down.
    EXPECT_EQ(FitOf(state).scrollX, 130);
    EXPECT_EQ(FitOf(state).scrollY, 116 - 90);
    EXPECT_EQ(Paint(state), (Calls{"image 2 at -130,-26 200x100", "text -130,74 明（加算的）",
                                   "fill 70,22-102,54 000000", "text 102,22 ↑↓で指定"}));
}

// Captions that stay: each tile's caption on its own line below the tile,
// cut at the tile's edge, and the fit leaves room for those lines; the
// hovered tile keeps its frames but no label over its picture.
TEST(PaintMainWindow, CaptionsThatStayStandBelowTheirTilesAndCoverNoPicture) {
    test::State state;
    Fit200x100(state, 200, 182);  // without captions 200 x 150 would be room for half size
    const Calls without = Paint(state);
    state.view.captions = true;
    state.view.hoverImage = 1;
    // Three rows of tiles and their captions in 182 rows: 100 x 50 tiles no longer fit.
    const ViewFit fit = FitOf(state);
    EXPECT_EQ(fit.captionHeight, 16);
    EXPECT_LE(std::int64_t{fit.shown.height} * 3 + 16 * 3, 182);
    EXPECT_LT(fit.shown.width, 100);
    const Size shown = fit.shown;
    const std::int32_t pitch = shown.height + 16;
    MakeShownCopies(state);
    const Calls calls = Paint(state);
    auto size = [&] { return std::to_string(shown.width) + "x" + std::to_string(shown.height); };
    EXPECT_EQ(calls[3], "image scaled 3 at " + std::to_string(shown.width) + "," + std::to_string(pitch) + " " + size());
    EXPECT_EQ(calls[5], "frame " + std::to_string(shown.width) + ",0-" + std::to_string(2 * shown.width) + "," +
                            std::to_string(shown.height) + " 000000");
    EXPECT_EQ(calls[6].rfind("frame ", 0), 0u);
    // Then one clipped caption a tile, the blank one's too; nothing else.
    ASSERT_EQ(calls.size(), 7u + 3 * kSlotCount);
    const Rect line = Layout(fit).TileCaption(4);
    EXPECT_EQ(line.top, 2 * pitch + shown.height);
    EXPECT_EQ(calls[7 + 3 * 4], "clip 0," + std::to_string(line.top) + "-" + std::to_string(shown.width) + "," +
                                    std::to_string(line.top + 16));
    EXPECT_EQ(calls[7 + 3 * 4 + 1], "text 0," + std::to_string(line.top) + " －");
    EXPECT_EQ(calls[7 + 3 * 1 + 1].substr(calls[7 + 3 * 1 + 1].find(' ', 5) + 1), "色相反転");
    // The caption line is no tile; the single view is as it was.
    EXPECT_EQ(Layout(fit).TileAt({1, line.top + 1}), -1);
    state.view.selectedImage = 2;
    const Calls single = Paint(state);
    state.view.captions = false;
    EXPECT_EQ(Paint(state), single);
    state.view.selectedImage = -1;
    state.view.hoverImage = -1;
    MakeShownCopies(state);
    EXPECT_EQ(Paint(state), without);
}

// 比較 in the single view of a derived image: the derived picture, the base
// over it left of the line, the line, and a caption naming both; in the base's
// view, a blank tile's or the gallery nothing changes.
TEST(PaintMainWindow, TheSplitShowsTheBaseLeftOfItsLine) {
    test::State state;
    Load200x100(state);
    state.view.split = true;
    state.view.selectedImage = 2;
    EXPECT_EQ(Paint(state), (Calls{"image 2 at 0,0 200x100", "clip 0,0-100,100", "image 0 at 0,0 200x100", "unclip",
                                   "fill 99,0-102,100 FFFFFF", "fill 100,0-101,100 000000",
                                   "text 0,100 ベース画像 ｜ 明度反転"}));
    state.view.splitColumn = 200;  // the line at the right edge: all base
    EXPECT_EQ(Paint(state)[1], "clip 0,0-200,100");
    for (std::int32_t slot : {0, 4, -1}) {
        state.view.selectedImage = slot;
        const Calls split = Paint(state);
        state.view.split = false;
        EXPECT_EQ(Paint(state), split) << slot;
        state.view.split = true;
    }
}

// Shrunk, the single view keeps a copy of the base for the split and for the
// compare key, and lets it go with them.
TEST(PaintMainWindow, AShrunkSingleViewShowsTheBaseCopyToCompare) {
    test::State state;
    Fit200x100(state, 100, 66);  // the single view: half size, under its caption
    state.view.selectedImage = 1;
    ASSERT_EQ(FitOf(state).shown, (Size{100, 50}));
    MakeShownCopies(state);
    EXPECT_FALSE(state.shown.images.scaled[0]);
    state.view.split = true;
    MakeShownCopies(state);
    EXPECT_EQ(Paint(state)[2], "image scaled 0 at 0,0 100x50");
    state.view.split = false;
    state.view.comparing = true;
    MakeShownCopies(state);
    EXPECT_EQ(Paint(state)[0], "image scaled 0 at 0,0 100x50");
    state.view.comparing = false;
    MakeShownCopies(state);
    EXPECT_FALSE(state.shown.images.scaled[0]);
}

TEST(PaintMainWindow, SwatchesOfTheWidestPictureStopAtTheCoordinateRange) {
    struct Case {
        std::int32_t mode;
        Calls expected;
    };
    const std::string right = std::to_string(std::numeric_limits<std::int32_t>::max());
    const std::string left = std::to_string(std::numeric_limits<std::int32_t>::max() - 10);
    const Case cases[] = {
        {ModeHueRotate, {"fill " + left + ",0-" + right + ",16 FF0000", "fill " + left + ",16-" + right + ",32 00FFFF",
                         "text " + right + ",0 ←→で指定"}},
        {ModeBrighten, {"fill " + left + ",48-" + right + ",80 000000", "text " + right + ",48 ↑↓で指定"}},
    };
    for (const Case& c : cases) {
        test::State state;
        state.shown.madeWith.emplace();
        state.shown.images.width = std::numeric_limits<std::int32_t>::max() - 10;  // kept from a released image
        state.shown.madeWith->effectMode = c.mode;
        state.view.selectedImage = c.mode == ModeHueRotate ? 4 : 2;
        const Calls calls = Paint(state);
        EXPECT_EQ(Calls(calls.begin() + 1, calls.end()), c.expected) << c.mode;
    }
}

TEST(Layout, NoColumnsGiveNoTile) {
    for (const std::int32_t columns : {0, -1}) {
        test::State state;
        Load200x100(state);
        state.view.columns = columns;
        state.view.hoverImage = 2;
        for (std::int32_t i = 0; i < kSlotCount; ++i) EXPECT_EQ(RectText(LayoutOf(state).Tile(i)), "0,0-0,0") << columns;
        const Calls calls = Paint(state);  // no division by zero
        EXPECT_EQ(calls.back(), "text 1,1 明度反転") << columns;
    }
}

// A swatch stands beside a slot whose image follows its parameter (mode 17's
// two white slots share their mode's hue swatch), and nowhere else: not
// beside the base image, not in the gallery, not for an unknown mode.
TEST(SwatchesFor, OnlyBesideDerivedImagesThatFollowTheParameter) {
    const PixelBuffer picture = test::Varied(19, 13);
    for (const ModeSpec* mode : AllModes()) {
        ProcessingParams params;
        params.effectMode = mode->mode;
        params.hue = 250;
        params.level = 90;
        params.backgroundColor = 0x336699;
        const auto before = test::RunPass(picture, params);
        ProcessingParams hue = params, level = params;
        hue.hue = 1000;
        level.level = 400;
        const auto byHue = test::RunPass(picture, hue), byLevel = test::RunPass(picture, level);
        for (std::int32_t slot = 1; slot <= 4; ++slot) {
            const Swatches s = SwatchesFor(mode->mode, slot);
            const std::size_t i = static_cast<std::size_t>(slot - 1);
            const bool white = std::all_of(before[i].pixels.begin(), before[i].pixels.end(),
                                           [](RgbValue p) { return p == 0xFFFFFFu; });
            if (s.hue && !white) {
                EXPECT_NE(byHue[i], before[i]) << mode->name << " slot " << slot;
            }
            if (s.level) {
                EXPECT_NE(byLevel[i], before[i]) << mode->name << " slot " << slot;
            }
            if (byHue[i] != before[i]) {
                EXPECT_TRUE(s.hue) << mode->name << " slot " << slot;
            }
        }
        for (std::int32_t outside : {-1, 0, 5}) {
            EXPECT_FALSE(SwatchesFor(mode->mode, outside).hue);
            EXPECT_FALSE(SwatchesFor(mode->mode, outside).level);
        }
    }
    for (std::int32_t unknown : {-1, 19, 26}) EXPECT_FALSE(SwatchesFor(unknown, 1).hue || SwatchesFor(unknown, 1).level);
}

TEST(DrawBitmap, MissingBitmapsAndEmptySizesDrawNothing) {
    test::State state;
    Load200x100(state);
    RecordingCanvas canvas(state);
    DrawBitmap(canvas, nullptr, {0, 0}, {200, 100});
    DrawBitmap(canvas, state.shown.images.bitmaps[1].get(), {0, 0}, {0, 100});
    EXPECT_TRUE(canvas.calls.empty());
    DrawBitmap(canvas, state.shown.images.bitmaps[1].get(), {5, 6}, {500, 50});  // never beyond the bitmap
    EXPECT_EQ(canvas.calls, Calls{"image 1 at 5,6 200x50"});
}

}  // namespace
}  // namespace prismview

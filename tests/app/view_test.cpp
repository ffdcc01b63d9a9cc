#include "app/view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/input.h"
#include "app/paint.h"
#include "app/regenerate.h"
#include "app/status.h"
#include "resources/strings.h"
#include "core/downscale.h"
#include "app/menu.h"
#include "support/recording_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

using test::RecordingWindow;

// Only the size of the pictures counts for the scale: a state that has a
// base image and claims that size.
void GiveSize(AppState& state, std::int32_t width, std::int32_t height) {
    state.shown.images.bitmaps[0] = Bitmap::Create(1, 1);
    state.shown.images.width = width;
    state.shown.images.height = height;
}

// A 400 x 300 picture with its four derived images, in a client area of the given size.
void Show400x300(AppState& state, std::int32_t clientWidth, std::int32_t clientHeight, bool actualSize = false) {
    state.shown.images = test::MakeImageSet(test::Varied(400, 300));
    state.view.client = {clientWidth, clientHeight};
    state.view.actualSize = actualSize;
    state.view.scrollBarExtent = 10;
    state.view.textHeight = 16;
    state.view.swatchTextWidth = 60;
    RecordingWindow window;
    Regenerate(window, state);
    MakeShownCopies(state);  // as painting does first
}

TEST(FitOf, TheLargestScaleAtWhichTheViewFits) {
    struct Case {
        const char* name;
        std::int32_t width, height, columns, selected, mode, clientWidth, clientHeight;
        bool actualSize;
        Size shown;
    };
    const Case cases[] = {
        {"fits exactly", 200, 100, 2, -1, 0, 400, 300, false, {200, 100}},
        {"one pixel too narrow", 200, 100, 2, -1, 0, 399, 300, false, {199, 99}},
        {"as wide as the client in one column", 200, 100, 1, -1, 0, 200, 500, false, {200, 100}},
        {"as wide as the client in two columns", 400, 100, 2, -1, 0, 400, 1000, false, {200, 50}},
        {"photo, two columns: three rows decide", 4000, 3000, 2, -1, 0, 1440, 881, false, {391, 293}},
        {"photo, three columns", 4000, 3000, 3, -1, 0, 1440, 780, false, {480, 360}},
        {"photo, one row of five", 4000, 3000, 5, -1, 0, 1440, 780, false, {288, 216}},
        {"photo, one column", 4000, 3000, 1, -1, 0, 1440, 780, false, {208, 156}},
        {"single view keeps a line for the caption", 4000, 3000, 2, 2, ModeInvert, 1440, 780, false, {1018, 764}},
        {"single view makes room for the swatches", 4000, 1000, 2, 4, ModeHueRotate, 1440, 780, false, {1348, 337}},
        {"single view without swatches", 4000, 1000, 2, 3, ModeHueRotate, 1440, 780, false, {1440, 360}},
        {"single view that just fits with its caption", 200, 100, 2, 0, ModeInvert, 200, 116, false, {200, 100}},
        {"single view one line short", 200, 100, 2, 0, ModeInvert, 200, 115, false, {198, 99}},
        {"1:1 never shrinks", 4000, 3000, 2, -1, 0, 1440, 780, true, {4000, 3000}},
        {"client area not known yet", 4000, 3000, 2, -1, 0, 0, 0, false, {4000, 3000}},
        {"never below one pixel", 4000, 3000, 2, -1, 0, 3, 3, false, {1, 1}},
    };
    for (const Case& c : cases) {
        test::State state;
        GiveSize(state, c.width, c.height);
        state.shown.madeWith = ProcessingParams{.effectMode = c.mode};
        state.view = {.selectedImage = c.selected, .columns = c.columns, .actualSize = c.actualSize, .client = {c.clientWidth, c.clientHeight}, .textHeight = 16,
                      .swatchTextWidth = 60};
        EXPECT_EQ(ShownSize(state), c.shown) << c.name;
        EXPECT_EQ(FitOf(state).scale.Shrinks(), c.shown.width < c.width) << c.name;
    }
}

TEST(FitOf, OneToOneScrollBarsAndLimits) {
    // A 400 x 300 gallery in two columns is 800 x 900; bars are 10 thick.
    struct Case {
        std::int32_t clientWidth, clientHeight;
        bool across, down;
        Size viewport;
    };
    const Case cases[] = {
        {800, 900, false, false, {800, 900}},
        {800, 899, true, true, {790, 889}},    // the vertical bar takes the room the width needed
        {810, 899, false, true, {800, 899}},
        {799, 1000, true, false, {799, 990}},
        {300, 200, true, true, {290, 190}},
    };
    for (const Case& c : cases) {
        test::State state;
        GiveSize(state, 400, 300);
        state.view.actualSize = true;
        state.view.client = {c.clientWidth, c.clientHeight};
        state.view.scrollBarExtent = 10;
        state.view.scrollX = state.view.scrollY = 100000;
        const std::string name = std::to_string(c.clientWidth) + "x" + std::to_string(c.clientHeight);
        EXPECT_EQ(FitOf(state).content, (Size{800, 900})) << name;
        EXPECT_EQ(FitOf(state).horizontalBar, c.across) << name;
        EXPECT_EQ(FitOf(state).verticalBar, c.down) << name;
        EXPECT_EQ(FitOf(state).viewport, c.viewport) << name;
        EXPECT_EQ(FitOf(state).scrollX, std::max(0, 800 - c.viewport.width)) << name;  // shown within the limits
        EXPECT_EQ(FitOf(state).scrollY, std::max(0, 900 - c.viewport.height)) << name;
    }
}

TEST(ContentSize, TheSingleViewCountsItsCaptionAndSwatches) {
    test::State state;
    GiveSize(state, 200, 100);
    state.view.textHeight = 16;
    state.view.swatchTextWidth = 60;
    state.shown.madeWith = ProcessingParams{.effectMode = ModeSaturation};  // slot 1: both swatches; 2: the level swatch
    state.view.selectedImage = 1;
    EXPECT_EQ(ContentSize(state, {}), (Size{200 + 32 + 60, 116}));
    EXPECT_EQ(ContentSize(state, {1, 2}), (Size{100 + 32 + 60, 80}));  // the level swatch reaches lower
    state.view.selectedImage = 0;
    EXPECT_EQ(ContentSize(state, {}), (Size{200, 116}));
    EXPECT_EQ(ContentSize(test::State{}, {}), (Size{0, 0}));
}

TEST(OnWheel, ScrollsAtOneToOneShiftSideways) {
    test::State state;
    Show400x300(state, 300, 200, true);  // content 800 x 900 in a 290 x 190 viewport
    RecordingWindow window;
    OnWheel(window, state, 0, -120, false);
    EXPECT_EQ(state.view.scrollY, 120);
    OnWheel(window, state, 0, -120, true);
    EXPECT_EQ(state.view.scrollX, 120);
    EXPECT_EQ(state.view.scrollY, 120);
    OnWheel(window, state, -30, -500, true);  // already sideways: kept as it is
    EXPECT_EQ(state.view.scrollX, 150);
    EXPECT_EQ(state.view.scrollY, 620);
    OnWheel(window, state, 0, 1000, false);
    EXPECT_EQ(state.view.scrollY, 0);
    EXPECT_EQ(window.Count("repaint"), 4u);
    ScrollTo(window, state, 100000, 100000);
    EXPECT_EQ(state.view.scrollX, 510);
    EXPECT_EQ(state.view.scrollY, 710);
    ScrollTo(window, state, 510, 900);  // nothing moves: no repaint
    EXPECT_EQ(window.Count("repaint"), 5u);
    SetColumns(window, state, 5);  // 2000 x 300: less to scroll down
    EXPECT_EQ(FitOf(state).scrollY, 110);
    // Once shown there (the repaint stores it), the offset beyond forgotten.
    KeepScrollInLimits(state);
    SetColumns(window, state, 2);
    EXPECT_EQ(FitOf(state).scrollY, 110);

    test::State fitted;
    Show400x300(fitted, 300, 200);
    RecordingWindow other;
    OnWheel(other, fitted, 0, -120, false);
    EXPECT_EQ(fitted.view.scrollY, 0);
    EXPECT_TRUE(other.calls.empty());
}

TEST(TileAt, ShrunkTilesAnswerAsTheSamePicturePointsAt1To1) {
    // 400 x 300 pictures in two columns: at 1/4 every screen pixel shows a
    // block of 4 x 4 picture pixels, at 3/16 blocks of 5 or 6 by 5 or 6.
    struct Case {
        std::int32_t clientWidth, clientHeight, x, y, pictureX, pictureY, tile;
    };
    const Case cases[] = {
        {200, 225, 99, 74, 398, 298, 0},   {200, 225, 100, 0, 402, 2, 1},    {200, 225, 150, 80, 602, 322, 3},
        {200, 225, 100, 150, 402, 602, -1}, {200, 225, 0, 224, 2, 898, 4},   {200, 225, 0, 225, 2, 902, -1},
        {150, 170, 74, 55, 397, 297, 0},   {150, 170, 75, 56, 402, 302, 3},  {150, 170, 74, 167, 397, 897, 4},
        {150, 170, 74, 168, 397, 902, -1},
    };
    test::State full;
    GiveSize(full, 400, 300);
    for (const Case& c : cases) {
        test::State state;
        GiveSize(state, 400, 300);
        state.view.client = {c.clientWidth, c.clientHeight};
        ASSERT_TRUE(FitOf(state).scale.Shrinks());
        const std::string where = std::to_string(c.x) + "," + std::to_string(c.y);
        EXPECT_EQ(LayoutOf(state).TileAt({c.x, c.y}), c.tile) << where;
        EXPECT_EQ(LayoutOf(full).TileAt({c.pictureX, c.pictureY}), c.tile) << where;
    }
}

TEST(OnMouseMove, TheHoverFollowsTheScaleAndTheScrollOffset) {
    test::State state;
    Show400x300(state, 200, 225);  // tiles of 100 x 75
    RecordingWindow window;
    OnMouseMove(window, state, {150, 80});
    EXPECT_EQ(state.view.hoverImage, 3);
    OnMouseMove(window, state, {350, 80});  // right of the shrunk grid
    EXPECT_EQ(state.view.hoverImage, -1);

    test::State scrolled;
    Show400x300(scrolled, 300, 200, true);
    ScrollTo(window, scrolled, 250, 120);
    OnMouseMove(window, scrolled, {160, 190});  // content point 410, 310
    EXPECT_EQ(scrolled.view.hoverImage, 3);
    OnLeftButtonDown(window, scrolled, {10, 10});  // content point 260, 130
    EXPECT_EQ(scrolled.view.selectedImage, 0);
}

TEST(OnRightButtonDown, AShrunkClickSetsTheCentreOfTheSamePicturePointAt1To1) {
    struct Case {
        std::int32_t x, y, pictureX, pictureY;
        bool acts;
    };
    // At 1/4 screen pixel (50, 37) shows picture block 200..203 x 148..151, whose middle is (202, 150).
    const Case cases[] = {
        {50, 37, 202, 150, true}, {0, 0, 2, 2, true}, {99, 74, 398, 298, true}, {100, 0, 402, 2, false},
    };
    for (const Case& c : cases) {
        test::State state;
    Show400x300(state, 200, 225);
        state.params.effectMode = ModeRipple;
        test::State full;
        GiveSize(full, 400, 300);
        full.params.effectMode = ModeRipple;
        RecordingWindow window;
        OnRightButtonDown(window, state, {c.x, c.y});
        const CentreClick expected = CentreForClick(full, {c.pictureX, c.pictureY});
        const std::string where = std::to_string(c.x) + "," + std::to_string(c.y);
        EXPECT_EQ(expected.acts, c.acts) << where;
        if (!c.acts) {
            EXPECT_TRUE(window.calls.empty()) << where;
            continue;
        }
        EXPECT_EQ(state.params.centerX, expected.centerX) << where;
        EXPECT_EQ(state.params.centerY, expected.centerY) << where;
    }
    RecordingWindow window;
    test::State scrolled;
    Show400x300(scrolled, 300, 200, true);
    scrolled.params.effectMode = ModeSlide;
    ScrollTo(window, scrolled, 250, 120);
    OnRightButtonDown(window, scrolled, {10, 20});  // picture point 260, 140
    EXPECT_EQ(scrolled.params.centerX, 60);
    EXPECT_EQ(scrolled.params.centerY, 9);
    OnRightButtonDown(window, scrolled, {160, 20});  // 410: beyond the first tile
    EXPECT_EQ(scrolled.params.centerX, 60);
}

TEST(MakeShownCopies, ShrunkCopiesAreMadeOncePerPassAndChangeOfScale) {
    const std::int64_t before = Bitmap::LiveCount();
    test::State state;
    Show400x300(state, 200, 225);
    ASSERT_EQ(Bitmap::LiveCount(), before + 10 + test::kRunnerSet);  // five pictures and their five copies
    std::vector<const Bitmap*> copies;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const Bitmap* copy = ShownBitmap(state, slot);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(ReadPixels(*copy).pixels, ReadPixels(*Downscale(*state.shown.images.bitmaps[slot], 100, 75)).pixels);
        copies.push_back(copy);
    }
    // Nothing that only looks makes a copy: refits at the same scale, the hover.
    RecordingWindow window;
    MakeShownCopies(state);
    OnMouseMove(window, state, {150, 80});
    for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_EQ(ShownBitmap(state, slot), copies[slot]) << slot;

    // A pass changes the derived pictures: it makes their copies itself,
    // leaving nothing for the paint to make.
    state.params.effectMode = ModeRgbComponents;
    OnKeyDown(window, state, Key::Right);
    const std::int64_t afterPass = Bitmap::LiveCount();
    MakeShownCopies(state);
    EXPECT_EQ(Bitmap::LiveCount(), afterPass);
    EXPECT_EQ(ShownBitmap(state, 0), copies[0]);
    for (int slot = 1; slot < kSlotCount; ++slot)
        EXPECT_EQ(ReadPixels(*ShownBitmap(state, slot)).pixels,
                  ReadPixels(*Downscale(*state.shown.images.bitmaps[slot], 100, 75)).pixels)
            << slot;

    // The single view has a scale of its own and needs only its own copy.
    OnKeyDown(window, state, Key::D);
    MakeShownCopies(state);
    EXPECT_EQ(ShownSize(state), (Size{200, 150}));  // (225 - 16) / 300 is more than 200 / 400
    EXPECT_EQ(ShownBitmap(state, 2)->Width(), 200);
    EXPECT_EQ(state.shown.images.scaled[1], nullptr);
    EXPECT_EQ(Bitmap::LiveCount(), before + 6 + test::kRunnerSet);

    // 1:1 shows the pictures themselves.
    OnCommand(window, state, Command::ActualSize);
    MakeShownCopies(state);
    EXPECT_EQ(ShownBitmap(state, 2), state.shown.images.bitmaps[2].get());
    EXPECT_EQ(Bitmap::LiveCount(), before + 5 + test::kRunnerSet);
    OnCommand(window, state, Command::ActualSize);
    ReleaseImages(state.shown.images);
    state.runner.Cancel();
    EXPECT_EQ(Bitmap::LiveCount(), before);
}

// Held, the compare key puts the base in every derived tile at the same
// scale (the invert mode's blank fifth tile stays blank), says so in the
// status bar and changes nothing else; released, the derived tiles return.
TEST(SetComparing, DerivedTilesShowTheBaseWhileTheKeyIsHeld) {
    test::State state;
    Show400x300(state, 200, 225);
    RecordingWindow window;
    std::vector<const Bitmap*> shown;
    for (int slot = 0; slot < kSlotCount; ++slot) shown.push_back(ShownBitmap(state, slot));
    const ProcessingParams params = state.params;
    const auto statusBefore = StatusItems(state, std::nullopt);
    SetComparing(window, state, true);
    EXPECT_NE(std::find(window.calls.begin(), window.calls.end(), "repaint"), window.calls.end());
    for (int slot = 1; slot < kSlotCount; ++slot)
        EXPECT_EQ(ShownBitmap(state, slot), state.shown.Label(slot) == kBlankLabel ? shown[slot] : shown[0]) << slot;
    EXPECT_EQ(state.shown.Label(4), kBlankLabel);  // the invert mode has one blank tile
    const auto statusHeld = StatusItems(state, std::nullopt);
    ASSERT_EQ(statusHeld.size(), statusBefore.size() + 1);
    EXPECT_EQ(statusHeld.back().text, kComparingText);
    EXPECT_EQ(state.params, params);
    SetComparing(window, state, false);
    for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_EQ(ShownBitmap(state, slot), shown[slot]) << slot;
    EXPECT_EQ(StatusItems(state, std::nullopt).size(), statusBefore.size());
    ReleaseImages(state.shown.images);
    state.runner.Cancel();
}

// The split line follows a drag from where it stands, stays within the
// picture and keeps its picture column when the view is zoomed; a click
// away from it goes back to the gallery as before.
TEST(SplitView, TheLineIsDraggedWithinThePicture) {
    test::State state;
    Show400x300(state, 200, 225);  // half size: 200 x 150 on the screen
    RecordingWindow window;
    OnCommand(window, state, Command::SplitView);
    EXPECT_TRUE(state.view.split);
    EXPECT_NE(std::find(window.calls.begin(), window.calls.end(), "check 32835 on"), window.calls.end());
    EXPECT_FALSE(SplitLineX(state));  // the gallery: no line
    SelectImage(window, state, 1);
    ASSERT_EQ(SplitLineX(state), 100);
    EXPECT_FALSE(GrabsSplitLine(state, {110, 50}));
    EXPECT_FALSE(GrabsSplitLine(state, {100, 160}));  // below the picture
    OnLeftButtonDown(window, state, {103, 50});
    EXPECT_EQ(state.view.selectedImage, 1);  // a drag, not a click
    OnMouseMove(window, state, {50, 60});
    EXPECT_EQ(state.view.splitColumn, 100);
    EXPECT_EQ(SplitLineX(state), 50);
    OnMouseMove(window, state, {-40, 60});
    EXPECT_EQ(SplitLineX(state), 0);
    OnMouseMove(window, state, {900, 60});
    EXPECT_EQ(state.view.splitColumn, 400);
    OnLeftButtonUp(state);
    OnMouseMove(window, state, {20, 60});
    EXPECT_EQ(state.view.splitColumn, 400);  // the button is up: the line stays
    state.view.splitColumn = 100;
    state.view.actualSize = true;  // 1:1: the same column, twice as far from the edge
    EXPECT_EQ(SplitLineX(state), 100);
    state.view.actualSize = false;
    OnLeftButtonDown(window, state, {150, 50});
    EXPECT_EQ(state.view.selectedImage, -1);
    ReleaseImages(state.shown.images);
    state.runner.Cancel();
}

TEST(ToggleActualSize, HasItsOwnMarkApartFromTheOthers) {
    test::State state;
    Show400x300(state, 200, 225);
    RecordingWindow window;
    EXPECT_TRUE(OnCommand(window, state, Command::ActualSize));
    EXPECT_TRUE(state.view.actualSize);
    EXPECT_EQ(ShownSize(state), (Size{400, 300}));
    EXPECT_EQ(window.calls, (std::vector<std::string>{"check 32820 on", "repaint"}));
    EXPECT_EQ(window.Marked(), (std::vector<Command>{Command::ShowAll, Command{32778}, Command::Columns2, Command::ActualSize, Command::StatusBar}));
    OnKeyDown(window, state, Key::H);  // the 36 marks leave it alone
    EXPECT_EQ(window.Count("check"), 1u + 36u);
    OnCommand(window, state, Command::ActualSize);
    EXPECT_FALSE(state.view.actualSize);
    EXPECT_EQ(window.calls.back(), "repaint");
    EXPECT_EQ(window.Marked(), (std::vector<Command>{Command::ShowAll, Command{32778}, Command::Columns2, Command::StatusBar}));
    EXPECT_EQ(ShownSize(state), (Size{100, 75}));
}

TEST(Zoom, StepsFromTheShownScaleAndFitNeverEnlarges) {
    test::State state;
    state.shown.images = test::MakeImageSet(test::Varied(3, 2));
    state.view.client = {600, 400};
    MakeShownCopies(state);
    EXPECT_EQ(ShownSize(state), (Size{3, 2}));  // fitting never enlarges
    RecordingWindow window;
    Zoom(window, state, 1);
    EXPECT_EQ(FitOf(state).scale, (Scale{3, 2}));
    EXPECT_EQ(ShownSize(state), (Size{4, 3}));
    Zoom(window, state, 3);  // 2, 3, then 4
    EXPECT_EQ(ShownSize(state), (Size{12, 8}));
    EXPECT_TRUE(FitOf(state).scale.Enlarges());
    EXPECT_EQ(ShownBitmap(state, 2), state.shown.images.bitmaps[2].get());  // drawn enlarged, never copied
    Zoom(window, state, -1);
    EXPECT_EQ(FitOf(state).scale, (Scale{3, 1}));
    Zoom(window, state, 100);
    EXPECT_EQ(FitOf(state).scale, (Scale{32, 1}));
    Zoom(window, state, 1);  // the largest step stays
    EXPECT_EQ(FitOf(state).scale, (Scale{32, 1}));
    EXPECT_EQ(ShownSize(state), (Size{96, 64}));
    OnCommand(window, state, Command::FitToWindow);
    EXPECT_FALSE(state.view.zoom.has_value());
    EXPECT_EQ(FitOf(state).scale, (Scale{}));
    EXPECT_EQ(state.view.scrollX, 0);

    // Zooming out of a fitted 400 x 300 picture goes on from the fitted scale.
    test::State fitted;
    Show400x300(fitted, 200, 225);  // fitted at a quarter
    Zoom(window, fitted, -1);
    MakeShownCopies(fitted);
    EXPECT_EQ(FitOf(fitted).scale, (Scale{1, 6}));
    EXPECT_EQ(ReadPixels(*ShownBitmap(fitted, 3)), ReadPixels(*Downscale(*fitted.shown.images.bitmaps[3], 66, 50)));
}

TEST(Arrangement, TheAutomaticOneShowsTheTilesLargestAndFollowsTheWindow) {
    test::State state;
    GiveSize(state, 1000, 750);
    state.view.client = {1440, 900};
    RecordingWindow window;
    OnCommand(window, state, Command::ColumnsAuto);
    EXPECT_TRUE(state.view.autoColumns);
    EXPECT_EQ(FitOf(state).columns, 3);  // 1440 / 3000 beats 900 / 2250 and the other counts
    EXPECT_TRUE(window.marks[Command::ColumnsAuto]);
    EXPECT_FALSE(window.marks[Command::Columns2]);
    state.view.client = {700, 1400};  // a tall window
    EXPECT_EQ(FitOf(state).columns, 1);
    OnCommand(window, state, Command::Columns2);
    EXPECT_FALSE(state.view.autoColumns);
    EXPECT_EQ(FitOf(state).columns, 2);
    EXPECT_FALSE(window.marks[Command::ColumnsAuto]);
}

}  // namespace
}  // namespace prismview

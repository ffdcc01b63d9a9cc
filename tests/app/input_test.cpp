#include "app/input.h"

#include <gtest/gtest.h>

#include "app/regenerate.h"
#include "effects/mode_table.h"

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "support/recording_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

using test::RecordingWindow;

// An image set of 200 x 100 pictures, the size of the worked examples.
AppState StateWith200x100() {
    AppState state;
    state.images = test::MakeImageSet(test::Varied(200, 100));
    return state;
}

struct KeyCase {
    const char* name;
    std::uint32_t key;
    std::function<void(AppState&)> before;
    std::function<std::int64_t(const AppState&)> field;
    std::int64_t expected;
    KeyEffect effect;
};

TEST(ApplyKey, EveryKeyOfTheTable) {
    auto hue = [](const AppState& s) { return s.hue; };
    auto level = [](const AppState& s) { return s.level; };
    auto none = [](AppState&) {};
    const std::vector<KeyCase> cases = {
        {"Left wraps below 0", VkLeft, [](AppState& s) { s.hue = 3; }, hue, 1528, KeyEffect::Parameter},
        {"Right wraps past 1529", VkRight, [](AppState& s) { s.hue = 1528; }, hue, 3, KeyEffect::Parameter},
        {"Right by a big step", VkRight, [](AppState& s) { s.hue = 1529; s.hueStep = 255; }, hue, 254,
         KeyEffect::Parameter},
        {"Left from 0 by 1", VkLeft, [](AppState& s) { s.hueStep = 1; }, hue, 1529, KeyEffect::Parameter},
        {"Up clamps at 510", VkUp, [](AppState& s) { s.level = 508; }, level, 510, KeyEffect::Parameter},
        {"Up by the step", VkUp, [](AppState& s) { s.level = 100; s.levelStep = 7; }, level, 107,
         KeyEffect::Parameter},
        {"Down clamps at 0", VkDown, [](AppState& s) { s.level = 3; }, level, 0, KeyEffect::Parameter},
        {"1", '1', none, [](const AppState& s) { return s.waveFreqNum; }, 0, KeyEffect::Parameter},
        {"2", '2', none, [](const AppState& s) { return s.waveFreqNum; }, 2, KeyEffect::Parameter},
        {"3", '3', none, [](const AppState& s) { return s.waveFreqDen; }, 31, KeyEffect::Parameter},
        {"4", '4', none, [](const AppState& s) { return s.waveFreqDen; }, 33, KeyEffect::Parameter},
        {"5", '5', none, [](const AppState& s) { return s.waveAmplitude; }, 15, KeyEffect::Parameter},
        {"6", '6', none, [](const AppState& s) { return s.waveAmplitude; }, 17, KeyEffect::Parameter},
        {"7", '7', none, [](const AppState& s) { return s.wavePhase; }, -1, KeyEffect::Parameter},
        {"8", '8', none, [](const AppState& s) { return s.wavePhase; }, 1, KeyEffect::Parameter},
        {"9", '9', none, [](const AppState& s) { return s.wavePhaseDen; }, 31, KeyEffect::Parameter},
        {"0", '0', none, [](const AppState& s) { return s.wavePhaseDen; }, 33, KeyEffect::Parameter},
        {"Q", 'Q', none, [](const AppState& s) { return s.centerX; }, -2, KeyEffect::Parameter},
        {"W", 'W', none, [](const AppState& s) { return s.centerX; }, 2, KeyEffect::Parameter},
        {"E", 'E', none, [](const AppState& s) { return s.centerY; }, -2, KeyEffect::Parameter},
        {"R", 'R', none, [](const AppState& s) { return s.centerY; }, 2, KeyEffect::Parameter},
        {"Q with a negative step moves right", 'Q', [](AppState& s) { s.centerStep = -2; },
         [](const AppState& s) { return s.centerX; }, 2, KeyEffect::Parameter},
        {"O sets", 'O', none, [](const AppState& s) { return s.startFromEnd; }, 1, KeyEffect::Parameter},
        {"O clears", 'O', [](AppState& s) { s.startFromEnd = 1; }, [](const AppState& s) { return s.startFromEnd; }, 0,
         KeyEffect::Parameter},
        {"A", 'A', none, [](const AppState& s) { return s.selectedImage; }, 0, KeyEffect::View},
        {"S", 'S', none, [](const AppState& s) { return s.selectedImage; }, 1, KeyEffect::View},
        {"D", 'D', none, [](const AppState& s) { return s.selectedImage; }, 2, KeyEffect::View},
        {"F", 'F', none, [](const AppState& s) { return s.selectedImage; }, 3, KeyEffect::View},
        {"G", 'G', none, [](const AppState& s) { return s.selectedImage; }, 4, KeyEffect::View},
        {"H", 'H', [](AppState& s) { s.selectedImage = 2; }, [](const AppState& s) { return s.selectedImage; }, -1,
         KeyEffect::View},
        {"wave numerator wraps at the bottom", '1', [](AppState& s) { s.waveFreqNum = INT_MIN; },
         [](const AppState& s) { return s.waveFreqNum; }, INT_MAX, KeyEffect::Parameter},
        {"3 goes on below zero", '3', [](AppState& s) { s.waveFreqDen = 0; },
         [](const AppState& s) { return s.waveFreqDen; }, -1, KeyEffect::Parameter},
        {"C alone has no action", 'C', none, hue, 0, KeyEffect::None},
        {"keypad 0 has no action", 0x60, none, [](const AppState& s) { return s.wavePhaseDen; }, 32, KeyEffect::None},
        {"centre wraps at the top", 'W', [](AppState& s) { s.centerX = INT_MAX; },
         [](const AppState& s) { return s.centerX; }, INT_MIN + 1, KeyEffect::Parameter},
    };
    for (const KeyCase& c : cases) {
        AppState state;
        c.before(state);
        EXPECT_EQ(ApplyKey(state, c.key), c.effect) << c.name;
        EXPECT_EQ(c.field(state), c.expected) << c.name;
    }
}

TEST(OnKeyDown, ParameterKeysRegenerateThenRepaintEvenWithoutImage) {
    AppState state;
    state.effectMode = ModeRgbComponents;
    RecordingWindow window;
    OnKeyDown(window, state, VkRight);
    EXPECT_EQ(window.calls, (std::vector<std::string>{
                                "status 加工画像の作成をしてます。技術不足により、暫く時間が掛かりますm(__)m",
                                "repaint"}));
    EXPECT_EQ(state.labels[1], "赤成分");  // the pass ran, with nothing to process
}

TEST(OnKeyDown, ViewKeysMarkTheMenuAndDoNotRegenerate) {
    AppState state;
    RecordingWindow window;
    OnKeyDown(window, state, 'D');
    EXPECT_EQ(window.Count("status"), 0u);
    EXPECT_EQ(window.Count("check"), 35u);
    EXPECT_EQ(window.calls.back(), "repaint");
    EXPECT_EQ(window.Marked(), (std::vector<std::uint16_t>{CmdShowImage2, 32778, CmdColumns2}));
}

TEST(OnKeyDown, KeysWithoutActionStillRepaint) {
    AppState state;
    RecordingWindow window;
    OnKeyDown(window, state, 'C');
    OnKeyDown(window, state, 0x60);  // keypad 0
    EXPECT_EQ(window.calls, (std::vector<std::string>{"repaint", "repaint"}));
}

struct HitCase {
    std::int32_t columns, x, y, expected;
};

TEST(HitTestTile, EveryArrangement) {
    const AppState base = StateWith200x100();
    const HitCase cases[] = {
        // two columns: rows of 2, 2 and 1
        {2, 0, 0, 0}, {2, 199, 99, 0}, {2, 200, 0, 1}, {2, 399, 99, 1}, {2, 400, 0, -1},
        {2, 0, 100, 2}, {2, 200, 100, 3}, {2, 0, 200, 4}, {2, 199, 299, 4},
        {2, 200, 200, -1},  // the empty place right of tile 4
        {2, 0, 300, -1},
        // one column
        {1, 0, 400, 4}, {1, 199, 499, 4}, {1, 200, 0, -1}, {1, 0, 500, -1},
        // three columns: rows of 3 and 2
        {3, 400, 0, 2}, {3, 599, 99, 2}, {3, 0, 100, 3}, {3, 200, 100, 4}, {3, 400, 100, -1}, {3, 600, 0, -1},
        // one row of five
        {5, 800, 0, 4}, {5, 999, 99, 4}, {5, 1000, 0, -1}, {5, 0, 100, -1},
    };
    for (const HitCase& c : cases) {
        AppState state;
        state.images.width = base.images.width;
        state.images.height = base.images.height;
        state.columns = c.columns;
        EXPECT_EQ(HitTestTile(state, c.x, c.y), c.expected) << c.columns << " columns at " << c.x << "," << c.y;
    }
}

TEST(HitTestTile, NothingIsHitWithAnEmptySize) {
    AppState state;
    for (std::int32_t columns : {1, 2, 3, 5}) {
        state.columns = columns;
        EXPECT_EQ(HitTestTile(state, 0, 0), -1);
    }
    state.images.width = 10;  // a failed paste keeps the width, but the height may be 0 after a failed load
    EXPECT_EQ(HitTestTile(state, 0, 0), -1);
}

TEST(OnMouseMove, RepaintsOnlyWhenTheHoveredTileChanges) {
    AppState state = StateWith200x100();
    RecordingWindow window;
    OnMouseMove(window, state, 10, 10);
    EXPECT_EQ(state.hoverImage, 0);
    OnMouseMove(window, state, 150, 90);  // same tile
    EXPECT_EQ(window.Count("repaint"), 1u);
    OnMouseMove(window, state, 250, 150);
    EXPECT_EQ(state.hoverImage, 3);
    OnMouseMove(window, state, 250, 250);  // the empty grid place
    EXPECT_EQ(state.hoverImage, -1);
    OnMouseMove(window, state, 600, 600);
    EXPECT_EQ(window.Count("repaint"), 3u);
    state.selectedImage = 1;  // the hover follows the grid in the single view too
    OnMouseMove(window, state, 0, 0);
    EXPECT_EQ(state.hoverImage, 0);
    EXPECT_EQ(window.Count("repaint"), 4u);
}

TEST(OnLeftButtonDown, SelectsFromTheGalleryAndReturnsFromAnywhere) {
    AppState state = StateWith200x100();
    RecordingWindow window;
    OnLeftButtonDown(window, state, 250, 200);  // beside tile 4: stays in the gallery
    EXPECT_EQ(state.selectedImage, -1);
    OnLeftButtonDown(window, state, 300, 150);
    EXPECT_EQ(state.selectedImage, 3);
    OnLeftButtonDown(window, state, 1000, 1000);  // outside the image
    EXPECT_EQ(state.selectedImage, -1);
    OnLeftButtonDown(window, state, 5, 5);
    OnLeftButtonDown(window, state, 5, 5);  // the shown image itself
    EXPECT_EQ(state.selectedImage, -1);
    EXPECT_EQ(window.calls, std::vector<std::string>(5, "repaint"));
}

TEST(MenuChecks, ClicksLeaveTheViewMarksKeysAndMenuMoveThem) {
    AppState state = StateWith200x100();
    RecordingWindow window;
    const std::vector<std::uint16_t> atStart{CmdShowAll, 32778, CmdColumns2};
    EXPECT_EQ(window.Marked(), atStart);
    OnLeftButtonDown(window, state, 50, 150);  // selects image 2
    EXPECT_EQ(state.selectedImage, 2);
    EXPECT_EQ(window.Marked(), atStart);
    OnKeyDown(window, state, 'H');
    OnKeyDown(window, state, 'D');
    EXPECT_EQ(window.Marked(), (std::vector<std::uint16_t>{CmdShowImage2, 32778, CmdColumns2}));
    OnLeftButtonDown(window, state, 50, 50);  // back to the gallery
    EXPECT_EQ(state.selectedImage, -1);
    EXPECT_EQ(window.Marked(), (std::vector<std::uint16_t>{CmdShowImage2, 32778, CmdColumns2}));
    OnCommand(window, state, 32806);  // スライド
    OnCommand(window, state, CmdColumns5);
    OnCommand(window, state, CmdShowImage4);
    EXPECT_EQ(window.Marked(), (std::vector<std::uint16_t>{32806, CmdShowImage4, CmdColumns5}));
}

TEST(MenuChecks, ThirtyFiveCallsInViewModeArrangementOrder) {
    AppState state;
    state.selectedImage = 4;
    state.effectMode = ModeSlide;
    state.columns = 1;
    RecordingWindow window;
    UpdateMenuChecks(window, state);
    const std::vector<std::string> expected = {
        "check 32773 off", "check 32774 off", "check 32775 off", "check 32776 off", "check 32810 on",
        "check 32777 off", "check 32778 off", "check 32779 off", "check 32780 off", "check 32781 off",
        "check 32803 off", "check 32811 off", "check 32782 off", "check 32783 off", "check 32787 off",
        "check 32791 off", "check 32792 off", "check 32794 off", "check 32804 off", "check 32805 off",
        "check 32813 off", "check 32814 off", "check 32815 off", "check 32816 off", "check 32817 off",
        "check 32795 off", "check 32802 off", "check 32799 off", "check 32801 off", "check 32796 off",
        "check 32806 on",  "check 32793 on",  "check 32789 off", "check 32790 off", "check 32812 off",
    };
    EXPECT_EQ(window.calls, expected);
}

struct RightCase {
    std::int32_t mode, x, y;
    bool acts;
    std::int32_t centerX, centerY;
};

TEST(OnRightButtonDown, SetsTheCentreOnlyInCentreModesInsideTheFirstTile) {
    const RightCase cases[] = {
        {ModeRipple, 100, 49, true, 0, 0},
        {ModeSingleRipple, 0, 0, true, -100, 49},
        {ModeVortex, 199, 99, true, 99, -50},
        {ModeSlide, 150, 10, true, 50, 39},
        {ModeRipple, 200, 0, false, 0, 0},  // tile 1
        {ModeRipple, 0, 100, false, 0, 0},  // tile 2
        {ModeWave, 100, 49, false, 0, 0},
        {ModeSingleWave, 100, 49, false, 0, 0},
        {ModeInvert, 100, 49, false, 0, 0},
    };
    for (const RightCase& c : cases) {
        AppState state = StateWith200x100();
        state.effectMode = c.mode;
        state.centerX = 7;
        state.centerY = 8;
        RecordingWindow window;
        OnRightButtonDown(window, state, static_cast<std::uint16_t>(c.x), static_cast<std::uint16_t>(c.y));
        const std::string where = std::to_string(c.mode) + " at " + std::to_string(c.x) + "," + std::to_string(c.y);
        if (c.acts) {
            EXPECT_EQ(state.centerX, c.centerX) << where;
            EXPECT_EQ(state.centerY, c.centerY) << where;
            EXPECT_EQ(window.Count("status"), 1u) << where;
            EXPECT_EQ(window.calls.back(), "repaint") << where;
        } else {
            EXPECT_EQ(state.centerX, 7) << where;
            EXPECT_EQ(state.centerY, 8) << where;
            EXPECT_TRUE(window.calls.empty()) << where;
        }
    }
}

// Driven by the mode records: Right changes the images of exactly the modes
// that read the hue, and a right click in the first tile moves the centre
// of exactly the modes that use it.
TEST(ModeRecords, RightChangesWhatReadsTheHueAndARightClickMovesWhatUsesTheCentre) {
    for (const ModeSpec* mode : AllModes()) {
        AppState state;
        state.images = test::MakeImageSet(test::Varied(40, 20));
        state.effectMode = mode->mode;
        state.level = 90;
        RecordingWindow window;
        Regenerate(window, state);
        std::vector<PixelBuffer> before;
        for (int slot = 1; slot <= 4; ++slot) before.push_back(ReadPixels(*state.images.bitmaps[slot]));
        OnKeyDown(window, state, VkRight);
        bool changed = false;
        for (int slot = 1; slot <= 4; ++slot) changed |= ReadPixels(*state.images.bitmaps[slot]) != before[slot - 1];
        EXPECT_EQ(changed, (mode->reads & ReadsHue) != 0) << mode->name;

        OnRightButtonDown(window, state, 3, 4);
        EXPECT_EQ(state.centerX != 0 || state.centerY != 0, mode->UsesCentre()) << mode->name;
    }
}

TEST(OnCommand, ModeCommandsRegenerateMarkAndRepaint) {
    AppState state = StateWith200x100();
    RecordingWindow window;
    ASSERT_TRUE(OnCommand(window, state, 32779));
    EXPECT_EQ(state.effectMode, ModeRgbComponents);
    EXPECT_EQ(state.labels[4], "任意（ＲＧＢ）");
    ASSERT_EQ(window.calls.size(), 1u + 35u + 1u);
    EXPECT_EQ(window.calls.front().rfind("status ", 0), 0u);
    EXPECT_EQ(window.calls.back(), "repaint");
}

TEST(OnCommand, EveryItemOfTheMenuIsKnownAndOthersAreNot) {
    for (const MenuPopup& popup : MainMenu())
        for (const MenuItem& item : popup.items) {
            if (item.id == 0 || item.id == CmdExit) continue;
            AppState state;
            RecordingWindow window;
            EXPECT_TRUE(OnCommand(window, state, item.id)) << item.caption;
        }
    for (std::uint16_t id : {0, 1, 103, 106, 32770, 32785, 32807, 32818}) {
        AppState state;
        RecordingWindow window;
        EXPECT_FALSE(OnCommand(window, state, id)) << id;
        EXPECT_TRUE(window.calls.empty());
    }
}

TEST(OnCommand, ExitReleasesTheImagesThenDestroysTheWindow) {
    const std::int64_t before = Bitmap::LiveCount();
    AppState state = StateWith200x100();
    EXPECT_EQ(Bitmap::LiveCount(), before + 5);
    RecordingWindow window;
    EXPECT_TRUE(OnCommand(window, state, CmdExit));
    EXPECT_EQ(Bitmap::LiveCount(), before);
    EXPECT_FALSE(state.images.Loaded());
    EXPECT_EQ(window.calls, std::vector<std::string>{"destroy"});
}

}  // namespace
}  // namespace prismview

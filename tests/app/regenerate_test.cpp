#include "app/regenerate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/recording_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

// Records what the logic asks of the window, with the state of the images
// at that moment.
class RecordingWindow : public test::RecordingWindow {
public:
    explicit RecordingWindow(const AppState& state) : state_(state) {}
    void DrawStatusText(std::string_view text) override {
        texts.emplace_back(text);
        labelWhenDrawn = state_.shown.Label(1);
    }
    void RequestRepaint() override { ++repaints; }
    int repaints = 0;
    std::vector<std::string> texts;
    std::string labelWhenDrawn;

private:
    const AppState& state_;
};

TEST(Regenerate, ShowsTheProgressTextBeforeThePass) {
    test::State state;
    state.shown.images = test::MakeImageSet(test::Picture(1, 1, {0xFF0000}));
    state.params.effectMode = ModeRgbComponents;
    RecordingWindow window(state);
    Regenerate(window, state);
    ASSERT_EQ(window.texts.size(), 1u);
    EXPECT_EQ(window.texts[0], "加工画像の作成をしてます。技術不足により、暫く時間が掛かりますm(__)m");
    EXPECT_EQ(window.labelWhenDrawn, "");  // the pass had not run yet
    EXPECT_EQ(state.shown.Label(1), "赤成分");
    EXPECT_EQ(ReadPixels(*state.shown.images.bitmaps[1]).pixels[0], 0xFF0000u);
    EXPECT_EQ(window.repaints, 0);  // repainting is the caller's business
}

TEST(AppStateDefaults, EveryRunStartsFromTheSameValues) {
    const AppState state;
    EXPECT_EQ(state.params.effectMode, ModeInvert);
    EXPECT_EQ(state.view.selectedImage, -1);
    EXPECT_EQ(state.view.hoverImage, -1);
    EXPECT_EQ(state.view.columns, 2);
    EXPECT_EQ(state.params.hue, 0);
    EXPECT_EQ(state.steps.hueStep, 5u);
    EXPECT_EQ(state.params.level, 0);
    EXPECT_EQ(state.steps.levelStep, 5);
    EXPECT_EQ(state.params.backgroundColor, 0u);
    EXPECT_EQ(state.params.waveFreqNum, 1);
    EXPECT_EQ(state.params.waveFreqDen, 32);
    EXPECT_EQ(state.params.waveAmplitude, 16);
    EXPECT_EQ(state.params.wavePhase, 0);
    EXPECT_EQ(state.params.wavePhaseDen, 32);
    EXPECT_EQ(state.params.overflowMode, OverflowBackground);
    EXPECT_EQ(state.params.centerX, 0);
    EXPECT_EQ(state.params.centerY, 0);
    EXPECT_EQ(state.steps.centerStep, 2);
    EXPECT_EQ(state.params.startFromEnd, 0);
    EXPECT_EQ(state.shown.Label(0), "ベース画像");
    for (int slot = 1; slot <= 4; ++slot) EXPECT_EQ(state.shown.Label(slot), "");
    EXPECT_FALSE(state.shown.images.Loaded());
    EXPECT_EQ(state.shown.images.width, 0);
    for (std::uint32_t c : state.dialogs.customColors) EXPECT_EQ(c, 0u);
    EXPECT_EQ(WindowTitle(state), "プリズムビュー");
    EXPECT_FALSE(state.shown.madeWith.has_value());
}

}  // namespace
}  // namespace prismview

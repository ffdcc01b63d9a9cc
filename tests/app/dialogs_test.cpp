#include "app/dialogs.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <map>
#include <set>

#include "resources/dialog_templates.h"
#include "support/test_support.h"

namespace prismview {
namespace {

// The controls of a dialog as plain values, typed into by the test.
class FakeControls : public DialogControls {
public:
    std::string Text(int id) const override {
        const auto it = texts.find(id);
        return it == texts.end() ? "" : it->second;
    }
    void SetText(int id, std::string_view text) override { texts[id] = std::string(text); }
    bool Checked(int id) const override { return checked.count(id) != 0; }
    void SetChecked(int id, bool on) override {
        if (on) checked.insert(id); else checked.erase(id);
    }
    std::map<int, std::string> texts;
    std::set<int> checked;
};

TEST(ReadFieldNumber, ReadsLikeAtoi) {
    struct Case { const char* text; std::int32_t value; };
    const Case cases[] = {
        {"0", 0}, {"1529", 1529}, {"-1", -1}, {"+7", 7}, {"  \t 42", 42}, {"12ab", 12}, {"abc", 0}, {"", 0},
        {"-", 0}, {"1 2", 1}, {"--3", 0}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
        {"2147483648", INT_MIN},   // wraps
        {"4294967296", 0},         // wraps all the way round
        {"4294967301", 5},
        {"１２", 0},               // full-width digits are not digits
    };
    for (const Case& c : cases) EXPECT_EQ(ReadFieldNumber(c.text), c.value) << '"' << c.text << '"';
    // Only the first 253 bytes of a field are read.
    EXPECT_EQ(ReadFieldNumber(std::string(252, ' ') + "7"), 7);
    EXPECT_EQ(ReadFieldNumber(std::string(253, ' ') + "7"), 0);
}

struct HueLevelCase { const char* hue; const char* hueStep; const char* level; const char* levelStep;
                      std::int32_t expectedHue; std::uint32_t expectedHueStep; std::int32_t expectedLevel;
                      std::int32_t expectedLevelStep; };

TEST(HueLevelDialog, OkReadsAndCorrectsEveryField) {
    const HueLevelCase cases[] = {
        {"-1", "0", "600", "0", 1529, 1, 510, 1},
        {"1530", "300", "-3", "-5", 0, 255, 0, 1},
        {"3000", "-5", "255", "300", 1470, 255, 255, 255},
        {"-1530", "1", "0", "1", 0, 1, 0, 1},
        {"-1531", "255", "510", "255", 1529, 255, 510, 255},
        {"letters", "", "", "", 0, 1, 0, 1},     // empty step fields give 1
        {"12ab", "5x", "77 ", "3", 12, 5, 77, 3},
        {"-2147483648", "4294967295", "2147483647", "-2147483648", 1402, 255, 510, 1},
    };
    for (const HueLevelCase& c : cases) {
        test::State state;
        HueLevelDialog dialog(state.params, state.steps);
        FakeControls controls;
        dialog.Init(controls);
        controls.SetText(ids::Hue, c.hue);
        controls.SetText(ids::HueStep, c.hueStep);
        controls.SetText(ids::Level, c.level);
        controls.SetText(ids::LevelStep, c.levelStep);
        EXPECT_EQ(dialog.Command(ids::Ok, controls), kDialogOk);
        EXPECT_EQ(state.params.hue, c.expectedHue) << c.hue;
        EXPECT_EQ(state.steps.hueStep, c.expectedHueStep) << c.hueStep;
        EXPECT_EQ(state.params.level, c.expectedLevel) << c.level;
        EXPECT_EQ(state.steps.levelStep, c.expectedLevelStep) << c.levelStep;
    }
}

TEST(HueLevelDialog, FieldsStartFromTheStateAndColourButtonsOnlyFillTheField) {
    test::State state;
    state.params.hue = 321;
    state.steps.hueStep = 17;
    state.params.level = 44;
    state.steps.levelStep = 9;
    HueLevelDialog dialog(state.params, state.steps);
    FakeControls controls;
    dialog.Init(controls);
    EXPECT_EQ(controls.Text(ids::Hue), "321");
    EXPECT_EQ(controls.Text(ids::HueStep), "17");
    EXPECT_EQ(controls.Text(ids::Level), "44");
    EXPECT_EQ(controls.Text(ids::LevelStep), "9");

    const char* corners[] = {"0", "255", "510", "765", "1020", "1275"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(dialog.Command(1020 + i, controls), 0);  // the dialog stays open
        EXPECT_EQ(controls.Text(ids::Hue), corners[i]);
    }
    dialog.Command(1023, controls);  // Ｃ, then cancel: nothing changes
    EXPECT_EQ(dialog.Command(ids::Cancel, controls), kDialogCancel);
    EXPECT_EQ(state.params.hue, 321);
    dialog.Command(1023, controls);  // Ｃ, then OK: cyan
    EXPECT_EQ(dialog.Command(ids::Ok, controls), kDialogOk);
    EXPECT_EQ(state.params.hue, 765);
    EXPECT_EQ(dialog.Command(4242, controls), 0);
}

TEST(WaveDialog, RoundTripsEveryValueWithoutBounds) {
    test::State state;
    state.params.waveFreqNum = -3;
    state.params.waveFreqDen = 0;
    state.params.waveAmplitude = INT_MIN;
    state.params.wavePhase = 7;
    state.params.wavePhaseDen = -9;
    state.params.overflowMode = OverflowEdge;
    state.params.centerX = 100000;
    state.params.centerY = -5;
    state.steps.centerStep = -2;
    state.params.startFromEnd = 1;
    WaveDialog dialog(state.params, state.steps);
    FakeControls controls;
    dialog.Init(controls);
    EXPECT_EQ(controls.Text(ids::WaveFreqNum), "-3");
    EXPECT_EQ(controls.Text(ids::WaveFreqDen), "0");
    EXPECT_EQ(controls.Text(ids::WaveAmplitude), "-2147483648");
    EXPECT_EQ(controls.Text(ids::WavePhaseDen), "-9");
    EXPECT_EQ(controls.Text(ids::CenterStep), "-2");
    EXPECT_EQ(controls.checked, (std::set<int>{ids::OverflowEdgeRadio, ids::StartFromEnd}));

    controls.SetText(ids::CenterX, "5");
    EXPECT_EQ(dialog.Command(ids::Cancel, controls), kDialogCancel);  // nothing is read
    EXPECT_EQ(state.params.centerX, 100000);
    controls.SetText(ids::CenterX, "100000");

    EXPECT_EQ(dialog.Command(ids::Ok, controls), kDialogOk);  // unchanged fields store the same values
    EXPECT_EQ(state.params.waveFreqDen, 0);
    EXPECT_EQ(state.params.waveAmplitude, INT_MIN);
    EXPECT_EQ(state.steps.centerStep, -2);
    EXPECT_EQ(state.params.overflowMode, OverflowEdge);
    EXPECT_EQ(state.params.startFromEnd, 1);

    controls.SetText(ids::WaveFreqNum, "x");
    controls.SetText(ids::CenterX, " -17px");
    controls.checked = {ids::OverflowWrapRadio};
    dialog.Command(ids::Ok, controls);
    EXPECT_EQ(state.params.waveFreqNum, 0);
    EXPECT_EQ(state.params.centerX, -17);
    EXPECT_EQ(state.params.overflowMode, OverflowWrap);
    EXPECT_EQ(state.params.startFromEnd, 0);
}

TEST(WaveDialog, AnUnknownOverflowValueMarksBackground) {
    test::State state;
    state.params.overflowMode = 7;
    WaveDialog dialog(state.params, state.steps);
    FakeControls controls;
    dialog.Init(controls);
    EXPECT_EQ(controls.checked, (std::set<int>{ids::OverflowBackgroundRadio}));
    controls.checked.clear();  // no radio marked reads as background
    dialog.Command(ids::Ok, controls);
    EXPECT_EQ(state.params.overflowMode, OverflowBackground);
}

TEST(DialogTemplates, OkComesFirstAndIdsAreUnique) {
    for (const DialogTemplate* t : {&AboutDialogTemplate(), &HueLevelDialogTemplate(), &WaveDialogTemplate(), &SweepDialogTemplate()}) {
        std::set<int> seen;
        const DialogControl* firstTabStop = nullptr;
        for (const DialogControl& c : t->controls) {
            if (c.id != ids::Unaddressed) {
                EXPECT_TRUE(seen.insert(c.id).second) << t->title << " " << c.id;
            }
            const bool tabStop = c.kind == ControlKind::PushButton || c.kind == ControlKind::DefaultPushButton ||
                                 c.kind == ControlKind::TextField || c.kind == ControlKind::CheckBox;
            if (tabStop && !firstTabStop) firstTabStop = &c;
        }
        ASSERT_NE(firstTabStop, nullptr);
        EXPECT_EQ(firstTabStop->id, ids::Ok) << t->title;
        EXPECT_EQ(firstTabStop->kind, ControlKind::DefaultPushButton);
    }
    EXPECT_EQ(AboutDialog().Command(ids::Ok, *std::make_unique<FakeControls>()), kDialogOk);
}

}  // namespace
}  // namespace prismview

#include "app/parameter_panel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/input.h"
#include "effects/mode_table.h"
#include "resources/dialog_templates.h"
#include "support/recording_window.h"
#include "support/test_support.h"

namespace prismview {
namespace {

using test::RecordingWindow;
using P = ProcessingParams;

std::vector<std::string_view> Names(const std::vector<PanelRow>& rows) {
    std::vector<std::string_view> names;
    for (const PanelRow& row : rows) names.push_back(row.parameter->name);
    return names;
}

const PanelRow* RowOf(const std::vector<PanelRow>& rows, std::string_view name) {
    for (const PanelRow& row : rows)
        if (row.parameter->name == name) return &row;
    return nullptr;
}

// A state showing a small picture in a mode, as the menu chose it.
void Start(RecordingWindow& window, test::State& state, EffectMode mode) {
    state.shown.images = test::MakeImageSet(test::Varied(9, 6));
    SetEffectMode(window, state, mode);
}

TEST(ParameterPanel, ListsExactlyWhatTheModeReads) {
    for (const ModeSpec* mode : AllModes()) {
        std::vector<std::string_view> read;
        for (const ParameterInfo& parameter : kParameterTable)
            if (parameter.reads & mode->reads) read.push_back(parameter.name);
        EXPECT_EQ(Names(PanelRows(*mode)), read) << mode->name;
    }
    // What the records say, apart from the table's bits.
    EXPECT_EQ(Names(PanelRows(*FindMode(ModeWave))),
              (std::vector<std::string_view>{"background", "freq", "amplitude", "phase", "overflow", "start-from-end"}));
    EXPECT_EQ(Names(PanelRows(*FindMode(ModeBrighten))), (std::vector<std::string_view>{"level"}));
    EXPECT_EQ(Names(PanelRows(*FindMode(ModeSaturation))), (std::vector<std::string_view>{"hue", "level"}));
    EXPECT_TRUE(PanelRows(*FindMode(ModeInvert)).empty());

    // A pair gets a box each, and one key step beside them where it has one.
    const std::vector<PanelRow> ripple = PanelRows(*FindMode(ModeRipple));
    const PanelRow* freq = RowOf(ripple, "freq");
    ASSERT_TRUE(freq && freq->lines.size() == 2u);  // no key step
    EXPECT_EQ(freq->lines[1].caption, "分母");
    const PanelRow* centre = RowOf(ripple, "center");
    ASSERT_TRUE(centre && centre->lines.size() == 3u);  // x, y and one step for both
    EXPECT_EQ(centre->lines[1].caption, "y");
    EXPECT_EQ(centre->lines[2].value, (PanelValue{nullptr, KeyStep::Centre}));
    EXPECT_FALSE(centre->note.empty());  // a right click sets it too
    EXPECT_EQ(RowOf(ripple, "overflow")->lines[0].control, PanelControl::Choice);
}

TEST(ParameterPanel, SlidersSpanThePictureOrTheOtherFieldAndTheGroovesShowTheirValues) {
    test::State state;
    state.shown.images = test::MakeImageSet(test::Varied(9, 6));
    auto range = [&](std::int32_t P::*member) {
        const ParameterRange r = SliderRange(state, {member});
        return std::pair{r.lo, r.hi};
    };
    EXPECT_EQ(range(&P::centerX), std::pair(-4, 4));
    EXPECT_EQ(range(&P::centerY), std::pair(-3, 3));
    EXPECT_EQ(range(&P::waveAmplitude), std::pair(0, 9));
    // The phase spans one turn of its denominator, whichever its sign, and
    // never shrinks to nothing.
    state.params.wavePhaseDen = -8;
    EXPECT_EQ(range(&P::wavePhase), std::pair(-8, 0));
    state.params.wavePhaseDen = 0;
    const auto [lo, hi] = range(&P::wavePhase);
    EXPECT_LT(lo, hi);

    // Once round the wheel, its corners: red, cyan half way, red again.
    const std::vector<RgbValue> hues = GrooveColours(ParameterOf(&P::hue), {0, 1530}, 3);
    EXPECT_EQ(hues, (std::vector<RgbValue>{0xFF0000, 0x00FFFF, 0xFF0000}));
    EXPECT_EQ(GrooveColours(ParameterOf(&P::level), *ParameterOf(&P::level).range, 2),
              (std::vector<RgbValue>{0x000000, 0xFFFFFF}));
}

TEST(ParameterPanel, ADragIsOneUndoStepEndingWhereTheKeysEnd) {
    RecordingWindow dragWindow, keyWindow;
    test::State dragged, keyed;
    Start(dragWindow, dragged, ModeHueRotate);
    Start(keyWindow, keyed, ModeHueRotate);

    BeginPanelDrag(dragged);
    for (std::int32_t hue = 1; hue <= 50; ++hue) {
        PanelValueChanged(dragWindow, dragged, {&P::hue}, hue);
        ASSERT_EQ(dragged.shown.madeWith->hue, hue);  // every step is made at once
    }
    EXPECT_EQ(dragged.history.Steps(), 1u);  // only the mode, until the drag ends
    EndPanelDrag(dragWindow, dragged);
    for (int i = 0; i < 10; ++i) OnKeyDown(keyWindow, keyed, Key::Right);

    EXPECT_EQ(dragged.params, keyed.params);
    EXPECT_EQ(dragged.history.Steps(), keyed.history.Steps());  // the mode and the drag, the mode and the held key
    EXPECT_EQ(ReadPixels(*dragged.shown.images.bitmaps[1]), ReadPixels(*keyed.shown.images.bitmaps[1]));

    OnCommand(dragWindow, dragged, Command::Undo);
    EXPECT_EQ(dragged.params.hue, 0);
    EXPECT_EQ(dragged.shown.madeWith->hue, 0);
    OnCommand(dragWindow, dragged, Command::Redo);
    EXPECT_EQ(dragged.params.hue, 50);
}

TEST(ParameterPanel, WhatHappensDuringADragKeepsItsOwnSteps) {
    RecordingWindow window;
    test::State state;
    Start(window, state, ModeSaturation);
    const std::size_t start = state.history.Steps();

    // A key pressed during the drag: the drag before it, the key, the drag after it.
    BeginPanelDrag(state);
    PanelValueChanged(window, state, {&P::hue}, 20);
    OnKeyDown(window, state, Key::Up);
    PanelValueChanged(window, state, {&P::hue}, 40);
    EndPanelDrag(window, state);
    EXPECT_EQ(state.history.Steps(), start + 3);
    const std::pair<std::int32_t, std::int32_t> back[] = {{20, 5}, {20, 0}, {0, 0}};
    for (const auto& [hue, level] : back) {
        OnCommand(window, state, Command::Undo);
        EXPECT_EQ(std::pair(state.params.hue, state.params.level), std::pair(hue, level));
    }

    // Ctrl+Z in the middle of a drag takes back what it did so far; the
    // rest of the drag is a step from there.
    BeginPanelDrag(state);
    PanelValueChanged(window, state, {&P::level}, 30);
    OnCommand(window, state, Command::Undo);
    EXPECT_EQ(state.params.level, 0);
    EXPECT_EQ(state.shown.madeWith->level, 0);
    PanelValueChanged(window, state, {&P::level}, 10);
    EndPanelDrag(window, state);
    EXPECT_EQ(state.history.Steps(), start + 1);
    OnCommand(window, state, Command::Undo);
    EXPECT_EQ(state.params.level, 0);
    EXPECT_EQ(state.history.Steps(), start);
}

TEST(ParameterPanel, StepsOutsideADragAreUndoStepsAndTheSameValueIsNone) {
    RecordingWindow window;
    test::State state;
    Start(window, state, ModeWave);
    const std::size_t start = state.history.Steps();
    // A wheel turned over a slider: its steps in a row make one undo step.
    PanelValueChanged(window, state, {&P::waveAmplitude}, 17);
    PanelValueChanged(window, state, {&P::waveAmplitude}, 18);
    EXPECT_EQ(state.history.Steps(), start + 1);
    PanelValueChanged(window, state, {&P::overflowMode}, OverflowWrap);
    PanelValueChanged(window, state, {&P::startFromEnd}, 1);
    EXPECT_EQ(state.history.Steps(), start + 3);
    EXPECT_EQ(state.shown.madeWith, state.params);
    // The panel showing a value again (a box left as it was) changes nothing.
    const std::size_t passes = window.Count("status ");
    PanelTextEntered(window, state, {&P::waveAmplitude}, "18");
    PanelValueChanged(window, state, {&P::startFromEnd}, 1);
    EXPECT_EQ(state.history.Steps(), start + 3);
    EXPECT_EQ(window.Count("status "), passes);
    EXPECT_EQ(window.calls.back(), "repaint");  // the box shows it anyway
}

// A typed entry ends as the same entry in the dialog that sets the field.
TEST(ParameterPanel, ATypedValueIsCorrectedAsTheDialogCorrectsIt) {
    struct Case { PanelValue value; Command dialog; int id; const char* text; };
    const Case cases[] = {
        {{&P::hue}, Command::HueLevelDialog, ids::Hue, "-1"},
        {{&P::hue}, Command::HueLevelDialog, ids::Hue, "12ab"},
        {{&P::level}, Command::HueLevelDialog, ids::Level, "600"},
        {{nullptr, KeyStep::Hue}, Command::HueLevelDialog, ids::HueStep, "-5"},
        {{nullptr, KeyStep::Level}, Command::HueLevelDialog, ids::LevelStep, "300"},
        {{nullptr, KeyStep::Level}, Command::HueLevelDialog, ids::LevelStep, ""},
        {{&P::waveFreqDen}, Command::WaveDialog, ids::WaveFreqDen, "0"},
        {{&P::waveAmplitude}, Command::WaveDialog, ids::WaveAmplitude, "-5"},
        {{&P::centerX}, Command::WaveDialog, ids::CenterX, "2147483648"},
        {{nullptr, KeyStep::Centre}, Command::WaveDialog, ids::CenterStep, "-2"},
    };
    for (const Case& c : cases) {
        RecordingWindow panelWindow, dialogWindow;
        test::State panel, dialog;
        Start(panelWindow, panel, ModeRipple);
        Start(dialogWindow, dialog, ModeRipple);
        PanelTextEntered(panelWindow, panel, c.value, c.text);
        dialogWindow.dialogScript = {{{c.id, c.text}}, {}, {kDialogOk}};
        OnCommand(dialogWindow, dialog, c.dialog);
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(panel.params, dialog.params);
        for (KeyStep step : {KeyStep::Hue, KeyStep::Level, KeyStep::Centre})
            EXPECT_EQ(PanelValueOf(panel, {nullptr, step}), PanelValueOf(dialog, {nullptr, step}));
        EXPECT_EQ(panel.history.Steps(), dialog.history.Steps());  // a key step is no undo step in either
    }
}

}  // namespace
}  // namespace prismview

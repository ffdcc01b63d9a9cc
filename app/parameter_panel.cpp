#include "app/parameter_panel.h"

#include <algorithm>

#include "app/dialogs.h"
#include "app/key_reference.h"
#include "app/regenerate.h"
#include "resources/strings.h"

namespace prismview {

namespace {

// What a pair's field is called on its line: its part of the parameter
// ("の分子" gives "分子"), or the last word of its option name ("center-x"
// gives "x").
std::string FieldCaption(const ParameterField& field) {
    std::string_view part = field.part;
    if (!part.empty()) {
        if (part.starts_with("の")) part.remove_prefix(std::string_view("の").size());
        return std::string(part);
    }
    const std::size_t dash = field.name.rfind('-');
    return std::string(dash == std::string_view::npos ? field.name : field.name.substr(dash + 1));
}

// The history's "key" of a slider: steps of one slider in a row (a wheel
// turned over it) make one step, as a held key's presses do. Apart from the
// keyboard's own keys, which are Key's values.
int RepeatIdOf(std::int32_t ProcessingParams::*member) {
    int id = 1 << 16;
    for (const ParameterInfo& parameter : kParameterTable)
        for (const ParameterField& field : parameter.fields) {
            if (field.member && field.member == member) return id;
            ++id;
        }
    return -1;
}

void Apply(Window& window, AppState& state, PanelValue value, std::int32_t entry, bool typed) {
    if (!value.member) {
        SetKeyStep(state.steps, value.step, entry);  // no pass and no undo step, as in the dialogs
        window.RequestRepaint();
        return;
    }
    const ProcessingParams before = state.params;
    const ParameterInfo& parameter = ParameterOf(value.member);
    state.params.*value.member = parameter.kind == ParameterKind::Flag ? (entry != 0 ? 1 : 0) : Fitted(parameter, entry);
    if (state.params == before) {
        window.RequestRepaint();  // the box shows the value as it was corrected
        return;
    }
    if (state.history.InGesture()) {
        // A drag's step: shown at once, and recorded when the drag ends.
        Regenerate(window, state);
        window.RequestRepaint();
        return;
    }
    // A choice or a check box is a step each time, as a typed number is.
    const bool repeats = !typed && parameter.kind != ParameterKind::Flag && parameter.words[0].empty();
    FinishParameterChange(window, state, before, repeats ? RepeatIdOf(value.member) : -1);
}

}  // namespace

std::vector<PanelRow> PanelRows(const ModeSpec& mode) {
    std::vector<PanelRow> rows;
    for (const ParameterInfo& parameter : kParameterTable) {
        if ((parameter.reads & mode.reads) == 0) continue;
        PanelRow row{&parameter, {}, (parameter.reads & ReadsCentre) != 0 ? kCentreClickNote : std::string_view{}};
        switch (parameter.kind) {
            case ParameterKind::Mode: continue;
            case ParameterKind::Colour: row.lines.push_back({PanelControl::Colour, {}, {}}); break;
            case ParameterKind::Flag: row.lines.push_back({PanelControl::Check, {parameter.fields[0].member}, {}}); break;
            case ParameterKind::Number:
            case ParameterKind::Pair: {
                std::vector<KeyStep> steps;
                for (const ParameterField& field : parameter.fields) {
                    if (!field.member) continue;
                    const PanelControl control = parameter.words[0].empty() ? PanelControl::Slider : PanelControl::Choice;
                    row.lines.push_back(
                        {control, {field.member}, parameter.kind == ParameterKind::Pair ? FieldCaption(field) : std::string()});
                    if (field.step != KeyStep::One && std::find(steps.begin(), steps.end(), field.step) == steps.end())
                        steps.push_back(field.step);
                }
                for (KeyStep step : steps)
                    row.lines.push_back({PanelControl::Number, {nullptr, step}, std::string(kKeyStepCaption)});
                break;
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::int32_t PanelValueOf(const AppState& state, PanelValue value) {
    if (value.member) return state.params.*value.member;
    return static_cast<std::int32_t>(KeyStepOf(state.steps, value.step));
}

ParameterRange SliderRange(const AppState& state, PanelValue value) {
    if (!value.member) return {0, 0};
    const ParameterInfo& parameter = ParameterOf(value.member);
    if (parameter.range) return *parameter.range;
    const ParameterField& field = FieldOf(value.member);
    const std::int32_t width = state.shown.images.width, height = state.shown.images.height;
    switch (field.sliderSpan) {
        case SliderSpan::Usual: break;
        case SliderSpan::AcrossWidth: return {-(width / 2), width / 2};
        case SliderSpan::AcrossHeight: return {-(height / 2), height / 2};
        case SliderSpan::LongSide: return {0, std::max(width, height)};
        case SliderSpan::ToOtherField: {
            const auto& fields = parameter.fields;
            const std::int32_t other = state.params.*fields[&field == &fields[0] ? 1 : 0].member;
            if (other != 0) return {std::min(0, other), std::max(0, other)};
            break;
        }
    }
    return field.slider;
}

std::vector<RgbValue> GrooveColours(const ParameterInfo& parameter, ParameterRange range, std::int32_t count) {
    std::vector<RgbValue> colours;
    if (parameter.swatch != SwatchKind::Hue && parameter.swatch != SwatchKind::Grey) return colours;
    for (std::int32_t i = 0; i < count; ++i) {
        ProcessingParams params;
        const std::int64_t span = std::int64_t{range.hi} - range.lo;
        params.*parameter.fields[0].member =
            static_cast<std::int32_t>(range.lo + (count > 1 ? span * i / (count - 1) : 0));
        colours.push_back(StatusSwatch(parameter, params).value_or(0));
    }
    return colours;
}

void ToggleParameterPanel(Window& window, AppState& state) {
    state.view.parameterPanel = !state.view.parameterPanel;
    window.ShowParameterPanel(state.view.parameterPanel);
    window.SetMenuCheck(Command::ParameterPanel, state.view.parameterPanel);
}

void BeginPanelDrag(AppState& state) { state.history.BeginGesture(state.params); }

void EndPanelDrag(Window& window, AppState& state) {
    if (!state.history.InGesture()) return;
    state.history.EndGesture(state.params);
    window.RequestRepaint();  // undo is there now
}

void PanelValueChanged(Window& window, AppState& state, PanelValue value, std::int32_t entry) {
    Apply(window, state, value, entry, false);
}

void PanelTextEntered(Window& window, AppState& state, PanelValue value, std::string_view text) {
    Apply(window, state, value, ReadFieldNumber(text), true);
}

}  // namespace prismview

#include "app/dialogs.h"

#include "core/colour.h"
#include "core/int_math.h"
#include "resources/dialog_templates.h"

namespace prismview {

namespace {

void SetNumber(DialogControls& controls, int id, std::int64_t value) { controls.SetText(id, std::to_string(value)); }

std::int32_t Number(const DialogControls& controls, int id) { return ReadFieldNumber(controls.Text(id)); }

}  // namespace

std::int32_t ReadFieldNumber(std::string_view text) {
    text = text.substr(0, 253);
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = WrapAdd(WrapMul(value, 10), text[i] - '0');
    return negative ? WrapNeg(value) : value;
}

int AboutDialog::TemplateId() const { return kAboutDialogId; }

int AboutDialog::Command(int id, DialogControls&) {
    return id == kDialogOk || id == kDialogCancel ? id : 0;
}

int HueLevelDialog::TemplateId() const { return kHueLevelDialogId; }

void HueLevelDialog::Init(DialogControls& controls) {
    SetNumber(controls, ids::Hue, state_.hue);
    SetNumber(controls, ids::HueStep, static_cast<std::int32_t>(state_.hueStep));  // shown as "%d"
    SetNumber(controls, ids::Level, state_.level);
    SetNumber(controls, ids::LevelStep, state_.levelStep);
}

int HueLevelDialog::Command(int id, DialogControls& controls) {
    if (id >= ids::HueRed && id <= ids::HueMagenta) {
        // The corners of the hue wheel; nothing is stored before OK.
        SetNumber(controls, ids::Hue, (id - ids::HueRed) * 255);
        return 0;
    }
    if (id == kDialogCancel) return kDialogCancel;
    if (id != kDialogOk) return 0;

    state_.hue = FloorMod(Number(controls, ids::Hue), HueSteps);  // the residue: -1 gives 1529

    // Compared unsigned, so every negative entry counts as too large.
    std::uint32_t hueStep = static_cast<std::uint32_t>(Number(controls, ids::HueStep));
    if (hueStep == 0) hueStep = 1;
    if (hueStep > 255) hueStep = 255;
    state_.hueStep = hueStep;

    state_.level = ClampInt(Number(controls, ids::Level), kLevelRange.lo, kLevelRange.hi);
    state_.levelStep = ClampInt(Number(controls, ids::LevelStep), 1, 255);
    return kDialogOk;
}

int WaveDialog::TemplateId() const { return kWaveDialogId; }

void WaveDialog::Init(DialogControls& controls) {
    SetNumber(controls, ids::WaveFreqNum, state_.waveFreqNum);
    SetNumber(controls, ids::WaveFreqDen, state_.waveFreqDen);
    SetNumber(controls, ids::WaveAmplitude, state_.waveAmplitude);
    SetNumber(controls, ids::WavePhase, state_.wavePhase);
    SetNumber(controls, ids::WavePhaseDen, state_.wavePhaseDen);
    const int radio = state_.overflowMode == OverflowWrap   ? ids::OverflowWrapRadio
                      : state_.overflowMode == OverflowEdge ? ids::OverflowEdgeRadio
                                                            : ids::OverflowBackgroundRadio;
    controls.SetChecked(radio, true);
    SetNumber(controls, ids::CenterX, state_.centerX);
    SetNumber(controls, ids::CenterY, state_.centerY);
    SetNumber(controls, ids::CenterStep, state_.centerStep);
    if (state_.startFromEnd != 0) controls.SetChecked(ids::StartFromEnd, true);
}

int WaveDialog::Command(int id, DialogControls& controls) {
    if (id == kDialogCancel) return kDialogCancel;
    if (id != kDialogOk) return 0;
    // No bounds: the effects cope with any value, zero denominators included.
    state_.waveFreqNum = Number(controls, ids::WaveFreqNum);
    state_.waveFreqDen = Number(controls, ids::WaveFreqDen);
    state_.waveAmplitude = Number(controls, ids::WaveAmplitude);
    state_.wavePhase = Number(controls, ids::WavePhase);
    state_.wavePhaseDen = Number(controls, ids::WavePhaseDen);
    state_.overflowMode = controls.Checked(ids::OverflowWrapRadio)   ? OverflowWrap
                          : controls.Checked(ids::OverflowEdgeRadio) ? OverflowEdge
                                                                     : OverflowBackground;
    state_.centerX = Number(controls, ids::CenterX);
    state_.centerY = Number(controls, ids::CenterY);
    state_.centerStep = Number(controls, ids::CenterStep);
    state_.startFromEnd = controls.Checked(ids::StartFromEnd) ? 1 : 0;
    return kDialogOk;
}

}  // namespace prismview

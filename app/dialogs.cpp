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
    SetNumber(controls, ids::Hue, params_.hue);
    SetNumber(controls, ids::HueStep, static_cast<std::int32_t>(steps_.hueStep));  // shown as "%d"
    SetNumber(controls, ids::Level, params_.level);
    SetNumber(controls, ids::LevelStep, steps_.levelStep);
}

int HueLevelDialog::Command(int id, DialogControls& controls) {
    if (id >= ids::HueRed && id <= ids::HueMagenta) {
        // The corners of the hue wheel; nothing is stored before OK.
        SetNumber(controls, ids::Hue, (id - ids::HueRed) * 255);
        return 0;
    }
    if (id == kDialogCancel) return kDialogCancel;
    if (id != kDialogOk) return 0;

    params_.hue = FloorMod(Number(controls, ids::Hue), HueSteps);  // the residue: -1 gives 1529

    // Compared unsigned, so every negative entry counts as too large.
    std::uint32_t hueStep = static_cast<std::uint32_t>(Number(controls, ids::HueStep));
    if (hueStep == 0) hueStep = 1;
    if (hueStep > 255) hueStep = 255;
    steps_.hueStep = hueStep;

    params_.level = ClampInt(Number(controls, ids::Level), kLevelRange.lo, kLevelRange.hi);
    steps_.levelStep = ClampInt(Number(controls, ids::LevelStep), 1, 255);
    return kDialogOk;
}

int WaveDialog::TemplateId() const { return kWaveDialogId; }

void WaveDialog::Init(DialogControls& controls) {
    SetNumber(controls, ids::WaveFreqNum, params_.waveFreqNum);
    SetNumber(controls, ids::WaveFreqDen, params_.waveFreqDen);
    SetNumber(controls, ids::WaveAmplitude, params_.waveAmplitude);
    SetNumber(controls, ids::WavePhase, params_.wavePhase);
    SetNumber(controls, ids::WavePhaseDen, params_.wavePhaseDen);
    const int radio = params_.overflowMode == OverflowWrap   ? ids::OverflowWrapRadio
                      : params_.overflowMode == OverflowEdge ? ids::OverflowEdgeRadio
                                                            : ids::OverflowBackgroundRadio;
    controls.SetChecked(radio, true);
    SetNumber(controls, ids::CenterX, params_.centerX);
    SetNumber(controls, ids::CenterY, params_.centerY);
    SetNumber(controls, ids::CenterStep, steps_.centerStep);
    if (params_.startFromEnd != 0) controls.SetChecked(ids::StartFromEnd, true);
}

int WaveDialog::Command(int id, DialogControls& controls) {
    if (id == kDialogCancel) return kDialogCancel;
    if (id != kDialogOk) return 0;
    // No bounds: the effects cope with any value, zero denominators included.
    params_.waveFreqNum = Number(controls, ids::WaveFreqNum);
    params_.waveFreqDen = Number(controls, ids::WaveFreqDen);
    params_.waveAmplitude = Number(controls, ids::WaveAmplitude);
    params_.wavePhase = Number(controls, ids::WavePhase);
    params_.wavePhaseDen = Number(controls, ids::WavePhaseDen);
    params_.overflowMode = controls.Checked(ids::OverflowWrapRadio)   ? OverflowWrap
                          : controls.Checked(ids::OverflowEdgeRadio) ? OverflowEdge
                                                                     : OverflowBackground;
    params_.centerX = Number(controls, ids::CenterX);
    params_.centerY = Number(controls, ids::CenterY);
    steps_.centerStep = Number(controls, ids::CenterStep);
    params_.startFromEnd = controls.Checked(ids::StartFromEnd) ? 1 : 0;
    return kDialogOk;
}

}  // namespace prismview

#include "app/dialogs.h"

#include <algorithm>

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

std::array<std::int32_t, 2> SweepSpan(SweepParameter parameter, const ProcessingParams& params, Size picture) {
    const SweepParameterInfo& info = InfoOf(parameter);
    if (info.range) return {info.range->lo, info.range->hi};
    auto clamp = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    switch (parameter) {
        case SweepParameter::Phase: return {0, params.wavePhaseDen};
        case SweepParameter::CenterX: return {-(picture.width / 2), picture.width / 2};
        case SweepParameter::CenterY: return {-(picture.height / 2), picture.height / 2};
        default: {
            const std::int32_t now = params.*info.field;
            return now > 0 ? std::array{now, clamp(std::int64_t{now} * 4)} : std::array{0, 32};
        }
    }
}

int SweepDialog::TemplateId() const { return kSweepDialogId; }

void SweepDialog::Init(DialogControls& controls) {
    controls.SetChecked(ids::SweepParameterFirst + static_cast<int>(request_.parameter), true);
    SetNumber(controls, ids::SweepFrom, request_.from);
    SetNumber(controls, ids::SweepTo, request_.to);
    SetNumber(controls, ids::SweepFrames, request_.frames);
    controls.SetChecked(request_.slot == kGallery ? ids::SweepGallery : ids::SweepSlotFirst + request_.slot, true);
    controls.SetChecked(request_.longSide == 0 ? ids::SweepFullSize : ids::SweepLongSide, true);
    SetNumber(controls, ids::SweepLongSideValue, request_.longSide == 0 ? kDefaultLongSide : request_.longSide);
    controls.SetChecked(request_.format == SweepFormat::Webp        ? ids::SweepWebp
                        : request_.format == SweepFormat::PngFrames ? ids::SweepPngFrames
                                                                    : ids::SweepSheet,
                        true);
    controls.SetChecked(ids::SweepLossless, request_.lossless);
    SetNumber(controls, ids::SweepQuality, request_.quality);
}

int SweepDialog::Command(int id, DialogControls& controls) {
    const int parameters = static_cast<int>(SweepParameters().size());
    if (id >= ids::SweepParameterFirst && id < ids::SweepParameterFirst + parameters) {
        // Another parameter: its usual span, which the user may then edit.
        const auto [from, to] = SweepSpan(static_cast<SweepParameter>(id - ids::SweepParameterFirst), params_, picture_);
        SetNumber(controls, ids::SweepFrom, from);
        SetNumber(controls, ids::SweepTo, to);
        return 0;
    }
    if (id == kDialogCancel) return kDialogCancel;
    if (id != kDialogOk) return 0;
    for (int i = 0; i < parameters; ++i)
        if (controls.Checked(ids::SweepParameterFirst + i)) request_.parameter = static_cast<SweepParameter>(i);
    const SweepParameterInfo& info = InfoOf(request_.parameter);
    request_.from = Number(controls, ids::SweepFrom);
    request_.to = Number(controls, ids::SweepTo);
    if (info.range) {
        request_.from = ClampInt(request_.from, info.range->lo, info.range->hi);
        request_.to = ClampInt(request_.to, info.range->lo, info.range->hi);
    }
    request_.frames = ClampInt(Number(controls, ids::SweepFrames), 1, kMaxSweepFrames);
    request_.slot = kGallery;
    for (int slot = 0; slot < 5; ++slot)
        if (controls.Checked(ids::SweepSlotFirst + slot)) request_.slot = slot;
    request_.longSide =
        controls.Checked(ids::SweepFullSize) ? 0 : ClampInt(Number(controls, ids::SweepLongSideValue), 1, 65535);
    request_.format = controls.Checked(ids::SweepPngFrames) ? SweepFormat::PngFrames
                      : controls.Checked(ids::SweepSheet)   ? SweepFormat::Sheet
                                                            : SweepFormat::Webp;
    request_.lossless = controls.Checked(ids::SweepLossless);
    request_.quality = ClampInt(Number(controls, ids::SweepQuality), 0, 100);
    return kDialogOk;
}

}  // namespace prismview

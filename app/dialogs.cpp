#include "app/dialogs.h"

#include <algorithm>
#include <span>

#include "core/colour.h"
#include "core/int_math.h"
#include "core/parameter_table.h"
#include "resources/dialog_templates.h"

namespace prismview {

namespace {

void SetNumber(DialogControls& controls, int id, std::int64_t value) { controls.SetText(id, std::to_string(value)); }

std::int32_t Number(const DialogControls& controls, int id) { return ReadFieldNumber(controls.Text(id)); }

// A dialog's entries for parameters, by control id: they show the values as
// numbers, and OK reads them back as the parameter table corrects them.
struct ParameterEntry {
    int id;
    std::int32_t ProcessingParams::*member;
};
constexpr ParameterEntry kHueLevelEntries[] = {{ids::Hue, &ProcessingParams::hue}, {ids::Level, &ProcessingParams::level}};
constexpr ParameterEntry kWaveEntries[] = {
    {ids::WaveFreqNum, &ProcessingParams::waveFreqNum}, {ids::WaveFreqDen, &ProcessingParams::waveFreqDen},
    {ids::WaveAmplitude, &ProcessingParams::waveAmplitude}, {ids::WavePhase, &ProcessingParams::wavePhase},
    {ids::WavePhaseDen, &ProcessingParams::wavePhaseDen}, {ids::CenterX, &ProcessingParams::centerX},
    {ids::CenterY, &ProcessingParams::centerY},
};

void ShowEntries(DialogControls& controls, std::span<const ParameterEntry> entries, const ProcessingParams& params) {
    for (const ParameterEntry& entry : entries) SetNumber(controls, entry.id, params.*entry.member);
}

void ReadEntries(const DialogControls& controls, std::span<const ParameterEntry> entries, ProcessingParams& params) {
    for (const ParameterEntry& entry : entries)
        params.*entry.member = Fitted(ParameterOf(entry.member), Number(controls, entry.id));
}

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

void SetKeyStep(KeySteps& steps, KeyStep step, std::int32_t entry) {
    switch (step) {
        case KeyStep::Hue: {
            // Compared unsigned, so every negative entry counts as too large.
            std::uint32_t hueStep = static_cast<std::uint32_t>(entry);
            if (hueStep == 0) hueStep = 1;
            if (hueStep > 255) hueStep = 255;
            steps.hueStep = hueStep;
            return;
        }
        case KeyStep::Level: steps.levelStep = ClampInt(entry, 1, 255); return;
        case KeyStep::Centre: steps.centerStep = entry; return;
        case KeyStep::One: return;  // no step to set
    }
}

int AboutDialog::TemplateId() const { return kAboutDialogId; }

int AboutDialog::Command(int id, DialogControls&) {
    return id == kDialogOk || id == kDialogCancel ? id : 0;
}

int HueLevelDialog::TemplateId() const { return kHueLevelDialogId; }

void HueLevelDialog::Init(DialogControls& controls) {
    ShowEntries(controls, kHueLevelEntries, params_);
    SetNumber(controls, ids::HueStep, static_cast<std::int32_t>(steps_.hueStep));  // shown as "%d"
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

    ReadEntries(controls, kHueLevelEntries, params_);  // the hue round its wheel (-1 gives 1529), the level clamped

    SetKeyStep(steps_, KeyStep::Hue, Number(controls, ids::HueStep));
    SetKeyStep(steps_, KeyStep::Level, Number(controls, ids::LevelStep));
    return kDialogOk;
}

int WaveDialog::TemplateId() const { return kWaveDialogId; }

void WaveDialog::Init(DialogControls& controls) {
    ShowEntries(controls, kWaveEntries, params_);
    const int radio = params_.overflowMode == OverflowWrap   ? ids::OverflowWrapRadio
                      : params_.overflowMode == OverflowEdge ? ids::OverflowEdgeRadio
                                                            : ids::OverflowBackgroundRadio;
    controls.SetChecked(radio, true);
    SetNumber(controls, ids::CenterStep, steps_.centerStep);
    if (params_.startFromEnd != 0) controls.SetChecked(ids::StartFromEnd, true);
}

int WaveDialog::Command(int id, DialogControls& controls) {
    if (id == kDialogCancel) return kDialogCancel;
    if (id != kDialogOk) return 0;
    // No bounds: the effects cope with any value, zero denominators included.
    ReadEntries(controls, kWaveEntries, params_);
    params_.overflowMode = controls.Checked(ids::OverflowWrapRadio)   ? OverflowWrap
                          : controls.Checked(ids::OverflowEdgeRadio) ? OverflowEdge
                                                                     : OverflowBackground;
    SetKeyStep(steps_, KeyStep::Centre, Number(controls, ids::CenterStep));
    params_.startFromEnd = controls.Checked(ids::StartFromEnd) ? 1 : 0;
    return kDialogOk;
}

std::array<std::int32_t, 2> SweepSpan(SweepParameter parameter, const ProcessingParams& params, Size picture) {
    const SweptField& swept = SweptFieldOf(parameter);
    if (swept.parameter->range) return {swept.parameter->range->lo, swept.parameter->range->hi};
    auto clamp = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    switch (swept.field->span) {
        case SweepProposal::ToOtherField: {
            const auto& fields = swept.parameter->fields;
            return {0, params.*fields[swept.field == &fields[0] ? 1 : 0].member};
        }
        case SweepProposal::AcrossWidth: return {-(picture.width / 2), picture.width / 2};
        case SweepProposal::AcrossHeight: return {-(picture.height / 2), picture.height / 2};
        case SweepProposal::UpFromNow: break;
    }
    const std::int32_t now = params.*swept.field->member;
    return now > 0 ? std::array{now, clamp(std::int64_t{now} * 4)} : std::array{0, 32};
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
    const int parameters = static_cast<int>(SweptFields().size());
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
    const std::optional<ParameterRange> range = SweptFieldOf(request_.parameter).parameter->range;
    request_.from = Number(controls, ids::SweepFrom);
    request_.to = Number(controls, ids::SweepTo);
    if (range) {
        request_.from = ClampInt(request_.from, range->lo, range->hi);
        request_.to = ClampInt(request_.to, range->lo, range->hi);
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

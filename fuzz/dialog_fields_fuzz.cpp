// The number fields of the hue/level and wave dialogs: any text in every
// field, a colour button or cancel or a radio button chosen by the first
// byte, OK, and the corrected values checked against the rules, shown again
// and used by one pass of the mode that the second byte chooses.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/dialogs.h"
#include "fuzz/fuzz_support.h"
#include "resources/dialog_templates.h"

using namespace prismview;

namespace {

class FakeControls final : public DialogControls {
public:
    std::string Text(int id) const override {
        const auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    void SetText(int id, std::string_view text) override { texts[id] = std::string(text); }
    bool Checked(int id) const override { return checked.count(id) && checked.at(id); }
    void SetChecked(int id, bool on) override {
        // The three overflow buttons are automatic radio buttons of one group.
        if (on && id >= ids::OverflowBackgroundRadio && id <= ids::OverflowEdgeRadio)
            for (int radio = ids::OverflowBackgroundRadio; radio <= ids::OverflowEdgeRadio; ++radio) checked[radio] = false;
        checked[id] = on;
    }
    std::map<int, std::string> texts;
    std::map<int, bool> checked;
};

// What the C library's atoi gives for the field's first 253 bytes, wrapped to 32 bits.
std::int32_t Atoi(std::string_view text) {
    text = text.substr(0, 253);
    std::size_t i = 0;
    while (i < text.size() && std::string_view(" \t\n\v\f\r").find(text[i]) != std::string_view::npos) ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}

// Opening the dialog again shows every stored value as the decimal number it is.
void ExpectShownAgain(DialogLogic& dialog, const std::vector<std::pair<int, std::int64_t>>& values) {
    FakeControls shown;
    dialog.Init(shown);
    for (const auto& [id, value] : values) FUZZ_EXPECT(shown.Text(id) == std::to_string(value));
}

void HueLevel(unsigned choice, const std::vector<std::string>& fields, std::int32_t mode) {
    AppState state;
    const AppState before;
    HueLevelDialog dialog(state.params, state.steps);
    FakeControls controls;
    dialog.Init(controls);
    const int order[] = {ids::Hue, ids::HueStep, ids::Level, ids::LevelStep};
    for (std::size_t i = 0; i < 4 && i < fields.size(); ++i) controls.SetText(order[i], fields[i]);
    if (choice & 2) FUZZ_EXPECT(dialog.Command(ids::HueRed + static_cast<int>((choice >> 2) % 6), controls) == 0);
    if (choice & 0x80) {
        FUZZ_EXPECT(dialog.Command(kDialogCancel, controls) == kDialogCancel);
        FUZZ_EXPECT(state.params.hue == before.params.hue && state.steps.hueStep == before.steps.hueStep &&
                    state.params.level == before.params.level && state.steps.levelStep == before.steps.levelStep);
        return;
    }
    FUZZ_EXPECT(dialog.Command(kDialogOk, controls) == kDialogOk);

    const std::int64_t hue = Atoi(controls.Text(ids::Hue));
    FUZZ_EXPECT(state.params.hue == (hue % 1530 + 1530) % 1530);
    const auto hueStep = static_cast<std::uint32_t>(Atoi(controls.Text(ids::HueStep)));
    FUZZ_EXPECT(state.steps.hueStep == (hueStep == 0 ? 1u : hueStep > 255 ? 255u : hueStep));
    FUZZ_EXPECT(state.params.level == std::clamp(Atoi(controls.Text(ids::Level)), 0, 510));
    FUZZ_EXPECT(state.steps.levelStep == std::clamp(Atoi(controls.Text(ids::LevelStep)), 1, 255));
    ExpectShownAgain(dialog, {{ids::Hue, state.params.hue},
                              {ids::HueStep, state.steps.hueStep},
                              {ids::Level, state.params.level},
                              {ids::LevelStep, state.steps.levelStep}});
    state.params.effectMode = mode;
    fuzz::RunPass(fuzz::SmallPicture(6, 5), state.params);
}

void Wave(unsigned choice, const std::vector<std::string>& fields, std::int32_t mode) {
    AppState state;
    WaveDialog dialog(state.params, state.steps);
    FakeControls controls;
    dialog.Init(controls);
    const int order[] = {ids::WaveFreqNum, ids::WaveFreqDen, ids::WaveAmplitude, ids::WavePhase,
                         ids::WavePhaseDen, ids::CenterX, ids::CenterY, ids::CenterStep};
    for (std::size_t i = 0; i < 8 && i < fields.size(); ++i) controls.SetText(order[i], fields[i]);
    const int radio = ids::OverflowBackgroundRadio + static_cast<int>((choice >> 1) % 3);
    controls.SetChecked(radio, true);
    controls.SetChecked(ids::StartFromEnd, (choice & 8) != 0);
    FUZZ_EXPECT(dialog.Command(kDialogOk, controls) == kDialogOk);

    // Taken as they are, without bounds.
    ProcessingParams& params = state.params;
    std::int32_t* const stored[] = {&params.waveFreqNum, &params.waveFreqDen, &params.waveAmplitude, &params.wavePhase,
                                    &params.wavePhaseDen, &params.centerX, &params.centerY, &state.steps.centerStep};
    std::vector<std::pair<int, std::int64_t>> shown;
    for (std::size_t i = 0; i < 8; ++i) {
        FUZZ_EXPECT(*stored[i] == Atoi(controls.Text(order[i])));
        shown.emplace_back(order[i], *stored[i]);
    }
    const std::int32_t overflow[] = {OverflowBackground, OverflowWrap, OverflowEdge};
    FUZZ_EXPECT(state.params.overflowMode == overflow[radio - ids::OverflowBackgroundRadio]);
    FUZZ_EXPECT(state.params.startFromEnd == ((choice & 8) ? 1 : 0));
    ExpectShownAgain(dialog, shown);
    state.params.effectMode = mode;
    fuzz::RunPass(fuzz::SmallPicture(6, 5), state.params);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const unsigned choice = data[0];
    const std::int32_t mode = data[1] % kModeCount;
    const std::vector<std::string> fields =
        fuzz::SplitInput(std::string_view(reinterpret_cast<const char*>(data + 2), size - 2));
    if (choice & 1) Wave(choice, fields, mode);
    else HueLevel(choice, fields, mode);
    return 0;
}

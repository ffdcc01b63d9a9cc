#include "app/status.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "app/background_save.h"
#include "app/view.h"

#include "core/colour.h"
#include "effects/mode_table.h"
#include "resources/strings.h"

namespace prismview {

namespace {

std::string Fraction(std::int32_t num, std::int32_t den) { return std::to_string(num) + "/" + std::to_string(den); }

std::string Hex(RgbValue colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(colour & 0xFFFFFFu));
    return text;
}

// The scale as a percentage, to a tenth where it is not whole.
std::string Percent(const Scale& scale) {
    char text[32];
    const double percent = 100.0 * static_cast<double>(scale.num) / static_cast<double>(scale.den);
    std::snprintf(text, sizeof text, percent == static_cast<double>(static_cast<std::int64_t>(percent)) ? "%.0f%%" : "%.1f%%",
                  percent);
    return text;
}

}  // namespace

std::vector<StatusItem> StatusItems(const AppState& state, std::optional<int> progress) {
    std::vector<StatusItem> items;
    const ModeSpec* mode = FindMode(state.params.effectMode);
    const ProcessingParams& p = state.params;
    if (mode) {
        items.push_back({std::string(mode->menuCaption), std::nullopt});
        const unsigned reads = mode->reads;
        if (reads & ReadsHue) items.push_back({"色相 " + std::to_string(p.hue), HueColour(FloorMod(p.hue, HueSteps))});
        if (reads & ReadsLevel) items.push_back({"明度 " + std::to_string(p.level), static_cast<RgbValue>(p.level / 2) * 0x010101u});
        if (reads & ReadsBackground) items.push_back({"背景色 " + Hex(p.backgroundColor), p.backgroundColor & 0xFFFFFFu});
        if (reads & ReadsFrequency) items.push_back({"周波数 " + Fraction(p.waveFreqNum, p.waveFreqDen), std::nullopt});
        if (reads & ReadsAmplitude) items.push_back({"振幅 " + std::to_string(p.waveAmplitude), std::nullopt});
        if (reads & ReadsPhase) items.push_back({"位相 " + Fraction(p.wavePhase, p.wavePhaseDen), std::nullopt});
        if (reads & ReadsOverflow) {
            const char* overflow = p.overflowMode == OverflowWrap ? "ループ" : p.overflowMode == OverflowEdge ? "隅の色" : "背景色";
            items.push_back({std::string("はみ出し ") + overflow, std::nullopt});
        }
        if (reads & ReadsCentre)
            items.push_back({"中心 " + std::to_string(p.centerX) + ", " + std::to_string(p.centerY), std::nullopt});
        if (reads & ReadsStartFromEnd) items.push_back({p.startFromEnd ? "終端から" : "先頭から", std::nullopt});
    }
    const ImageSet& images = state.shown.images;
    // A damaged picture is said first, where the narrowest window shows it.
    if (images.Loaded() && !state.baseDamage.empty())
        items.insert(items.begin(), {std::string(kDamagedNotice) + ": " + state.baseDamage, std::nullopt});
    if (images.Loaded()) {
        items.push_back({std::to_string(images.width) + " × " + std::to_string(images.height), std::nullopt});
        items.push_back({Percent(FitOf(state).scale), std::nullopt});
    }
    if (!state.view.notice.empty()) items.push_back({state.view.notice, std::nullopt});
    if (state.saver && state.saver->Busy()) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(state.saver->Elapsed()).count();
        items.push_back({"保存中 " + std::filesystem::path(state.saver->FileName()).filename().string() + " (" +
                             std::to_string(seconds) + " 秒)",
                         std::nullopt});
    }
    if (progress) items.push_back({"処理中 " + std::to_string(*progress) + "%", std::nullopt});
    return items;
}

}  // namespace prismview

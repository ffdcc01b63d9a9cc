#include "app/status.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "app/background_save.h"
#include "app/browser.h"
#include "app/view.h"

#include "core/parameter_table.h"
#include "effects/mode_table.h"
#include "resources/strings.h"

namespace prismview {

namespace {

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
    if (mode) {
        items.push_back({std::string(mode->menuCaption), std::nullopt});
        for (const ParameterInfo& parameter : kParameterTable)
            if ((mode->reads & parameter.reads) != 0)
                items.push_back({StatusText(parameter, state.params), StatusSwatch(parameter, state.params)});
    }
    const ImageSet& images = state.shown.images;
    // A damaged picture is said first, where the narrowest window shows it.
    if (images.Loaded() && !state.baseDamage.empty())
        items.insert(items.begin(), {std::string(kDamagedNotice) + ": " + state.baseDamage, std::nullopt});
    if (images.Loaded()) {
        items.push_back({std::to_string(images.width) + " × " + std::to_string(images.height), std::nullopt});
        // The browser's thumbnails have a scale of their own.
        items.push_back({Percent(state.view.browser ? BrowserLayoutOf(state).ThumbnailScale() : FitOf(state).scale),
                         std::nullopt});
    }
    if (state.view.browser && images.Loaded()) items.push_back({std::string(kBrowserText), std::nullopt});
    if (state.view.comparing && images.Loaded()) items.push_back({std::string(kComparingText), std::nullopt});
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

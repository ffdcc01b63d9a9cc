#include "app/app_state.h"

#include "effects/mode_table.h"
#include "resources/strings.h"

namespace prismview {

std::string_view ShownPictures::Label(std::int32_t slot) const {
    if (slot == 0) return kBaseImageLabel;
    const ModeSpec* mode = madeWith ? FindMode(madeWith->effectMode) : nullptr;
    if (!mode || slot < 0 || slot >= kSlotCount) return {};
    return mode->labels[static_cast<std::size_t>(slot - 1)];
}

std::string WindowTitle(const AppState& state) {
    const std::string title(kWindowTitle);
    return state.baseFileName.empty() ? title : title + " - " + state.baseFileName;
}

}  // namespace prismview

#include "app/regenerate.h"

#include "app/view.h"
#include "effects/effect_table.h"

namespace prismview {

void Regenerate(Window& window, AppState& state, const PassOptions& options) {
    window.DrawStatusText(kRegenerateText);
    PassOptions withMemory = options;
    if (!withMemory.memory) withMemory.memory = &state.passMemory;
    ProcessImages(state.images, state.labels, state, AllEffects(), withMemory);
    RefreshView(state, true);
}

}  // namespace prismview

#include "app/regenerate.h"

#include "effects/effect_table.h"

namespace prismview {

void Regenerate(Window& window, AppState& state, const PassOptions& options) {
    window.DrawStatusText(kRegenerateText);
    ProcessImages(state.images, state.labels, state, AllEffects(), options);
}

}  // namespace prismview

#include "app/regenerate.h"

#include "app/pass_runner.h"
#include "app/view.h"
#include "effects/mode_table.h"

namespace prismview {

void Regenerate(Window& window, AppState& state, const PassOptions& options) {
    window.DrawStatusText(kRegenerateText);
    if (state.passRunner) {
        // The shown images stay those of the last completed pass until the
        // new one is done; only a new base image's copy is needed now.
        RefreshView(state, false);
        state.passRunner->Request();
        window.SetBusy(state.passRunner->Busy());
        return;
    }
    PassOptions withMemory = options;
    if (!withMemory.memory) withMemory.memory = &state.passMemory;
    const ModeSpec* mode = FindMode(state.effectMode);
    ProcessImages(state.images, mode, state, withMemory);
    state.labels = LabelsOf(mode);
    RefreshView(state, true);
}

}  // namespace prismview

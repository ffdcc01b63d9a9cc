#include "app/regenerate.h"

#include "app/marks.h"
#include "app/pass_runner.h"
#include "app/preview.h"
#include "app/view.h"
#include "resources/strings.h"

namespace prismview {

void Regenerate(Window& window, AppState& state) {
    RefreshView(state, false);
    if (!state.passRunner) return;  // nothing can make pictures without one
    // Only a request that runs a pass shows the progress text (not one with
    // no picture, or that changes nothing the mode reads), and its preview.
    if (state.passRunner->WouldRun()) window.DrawStatusText(kRegenerateText);
    state.passRunner->Request();
    if (state.passRunner->Busy()) MakePreview(state);
    window.SetBusy(state.passRunner->Busy());
}

void FinishParameterChange(Window& window, AppState& state, const ProcessingParams& before, int key, bool marks) {
    state.history.ParametersChanged(before, state.params, key);
    Regenerate(window, state);
    if (marks) UpdateMenuChecks(window, state);
    window.RequestRepaint();
}

}  // namespace prismview

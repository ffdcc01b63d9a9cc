#include "app/regenerate.h"

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

}  // namespace prismview

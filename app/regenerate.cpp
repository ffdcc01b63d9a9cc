#include "app/regenerate.h"

#include "app/pass_runner.h"
#include "app/preview.h"
#include "app/view.h"
#include "resources/strings.h"

namespace prismview {

void Regenerate(Window& window, AppState& state) {
    window.DrawStatusText(kRegenerateText);
    RefreshView(state, false);
    if (!state.passRunner) return;  // nothing can make pictures without one
    state.passRunner->Request();
    // Every request that needs a pass shows its preview at once.
    if (state.passRunner->Busy()) MakePreview(state);
    window.SetBusy(state.passRunner->Busy());
}

}  // namespace prismview

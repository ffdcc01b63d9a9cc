#include "app/regenerate.h"

#include "app/pass_runner.h"
#include "app/view.h"

namespace prismview {

void Regenerate(Window& window, AppState& state) {
    window.DrawStatusText(kRegenerateText);
    RefreshView(state, false);
    if (!state.passRunner) return;  // nothing can make pictures without one
    state.passRunner->Request();
    window.SetBusy(state.passRunner->Busy());
}

}  // namespace prismview

#include "app/regenerate.h"

#include "app/browser.h"
#include "app/marks.h"
#include "app/pass_runner.h"
#include "app/preview.h"
#include "app/view.h"
#include "resources/strings.h"

namespace prismview {

namespace {

// The job of the state's parameters for the view as it stands: the copies
// it shows shrunk, and at scale 1 and above the rows it shows first, as
// long as that leaves rows for later.
PassJob JobFor(const AppState& state, const ViewFit& fit) {
    PassJob job{.params = state.params, .copySize = fit.shown};
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot)
        job.copies[static_cast<std::size_t>(slot)] = WantsScaledCopy(state.view, fit, slot);
    const std::int32_t height = state.shown.images.height;
    if (fit.rowsTop < fit.rowsBottom && (fit.rowsTop > 0 || fit.rowsBottom < height)) {
        job.firstRow = height - fit.rowsBottom;  // bottom-up in the job
        job.lastRow = height - fit.rowsTop;
    }
    return job;
}

}  // namespace

void Regenerate(Window& window, AppState& state) {
    if (!state.passRunner) return;  // nothing can make pictures without one
    PassRunner& runner = *state.passRunner;
    const ViewFit fit = FitOf(state);
    const PassJob job = JobFor(state, fit);
    // Only a request that runs a pass shows the progress text (not one with
    // no picture, or that changes nothing the mode reads), and its preview.
    if (runner.WouldRun(job.params)) window.DrawStatusText(kRegenerateText);
    runner.Request(job);
    // The browser hides the view's tiles: their preview would be work for
    // nothing, and one made earlier is of an older request. Its own rows
    // that read what changed are made at once instead: they are small.
    if (state.view.browser) state.shown.previewing = false;
    else if (runner.Busy()) MakePreview(state.shown, job, fit.scale);
    MakeBrowserPictures(state);
    window.SetBusy(runner.Busy());
}

void FinishParameterChange(Window& window, AppState& state, const ProcessingParams& before, int key, bool marks) {
    state.history.ParametersChanged(before, state.params, key);
    Regenerate(window, state);
    if (marks) UpdateMenuChecks(window, state);
    window.RequestRepaint();
}

}  // namespace prismview

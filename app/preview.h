// The preview of a request: the four tiles worked out at the size the view
// shows them, from the shown copy of the base, at once on the window's
// thread, while the exact pass runs beside it. Its work follows the shown
// size, not the picture's.
#pragma once

#include "app/app_state.h"
#include "app/pass_runner.h"
#include "core/mode.h"

namespace prismview {

// The parameters with which a picture shrunk to `scale` looks as the full
// picture does with `params`: the mode's lengths (amplitude, wavelength,
// centre) shrink with it. Rounded to whole numbers; a wavelength stays exact
// as long as its fraction fits in 32 bits.
ProcessingParams PreviewParams(const ModeSpec& mode, const ProcessingParams& params, const Scale& scale);

// Makes the preview of the job when the view shows the pictures shrunk to
// `scale`: its tiles of the job's copy size for the slots it wants copies
// of, and sets `previewing`; otherwise (nothing to gain at scale 1) clears
// it. A new base's shrunk copy, when the view shows it, is made here too.
void MakePreview(ShownPictures& shown, const PassJob& job, const Scale& scale);

}  // namespace prismview

// The one road from changed parameters or a new base image to new pictures:
// the progress text, then a request to the pass beside the window.
#pragma once

#include <string_view>

#include "app/app_state.h"
#include "app/window.h"

namespace prismview {

inline constexpr std::string_view kRegenerateText =
    "加工画像の作成をしてます。技術不足により、暫く時間が掛かりますm(__)m";

// Shows the progress text and asks the runner for the pictures of the
// current base image, mode and parameters. The shown pictures stay those of
// the last completed pass until the runner delivers the new ones; only a new
// base image's shrunk copy is made now. It never repaints; the caller does.
void Regenerate(Window& window, AppState& state);

}  // namespace prismview

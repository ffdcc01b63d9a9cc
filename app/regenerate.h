#pragma once

#include "app/app_state.h"
#include "app/window.h"

namespace prismview {

inline constexpr std::string_view kRegenerateText =
    "加工画像の作成をしてます。技術不足により、暫く時間が掛かりますm(__)m";

// Shows the progress text, then rebuilds the derived images and their labels
// and the shrunk copies the view shows (RefreshView). It never repaints; the
// caller does.
void Regenerate(Window& window, AppState& state, const PassOptions& options = {});

}  // namespace prismview

// The command behind the window: the prismview-batch command line that makes
// the four images the window shows, from the base image's file, with the
// mode and exactly the parameters it reads.
#pragma once

#include <string>

#include "app/app_state.h"
#include "app/window.h"

namespace prismview {

// For a base that is no file's picture (pasted, made from a derived image)
// the command names this file instead.
inline constexpr std::string_view kPlaceholderPicture = "PICTURE.png";

// The command, for a POSIX shell: the passes that made the base from the
// file's picture first (each ending in --then), the path single-quoted, the
// outputs prismview_1.bmp .. prismview_4.bmp, and in the single view of a
// derived image `--slots` of that image only. For a base of no file a comment
// line comes first, saying that the picture's name is a placeholder.
std::string BatchCommandFor(const AppState& state);

// The file menu's item: puts the command on the clipboard as text.
void CopyBatchCommand(Window& window, const AppState& state);
// The item's caption: it says when the command names the placeholder.
std::string_view CopyCommandCaption(const AppState& state);

}  // namespace prismview

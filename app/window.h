// The main window as the program's logic sees it. The Qt main window
// implements it; tests implement it with a recorder.
#pragma once

#include <string_view>

namespace prismview {

class Window {
public:
    virtual ~Window() = default;
    // Draws a status text at the top-left corner of the client area at once,
    // without erasing anything first.
    virtual void DrawStatusText(std::string_view text) = 0;
};

}  // namespace prismview

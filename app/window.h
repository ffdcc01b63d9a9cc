// The main window as the program's logic sees it. The Qt main window
// implements it; tests implement it with a recorder.
#pragma once

#include <cstdint>
#include <string_view>

namespace prismview {

class Window {
public:
    virtual ~Window() = default;
    // Draws a status text at the top-left corner of the client area at once,
    // without erasing anything first.
    virtual void DrawStatusText(std::string_view text) = 0;
    // Asks for a repaint of the whole client area, background erased first.
    // The paint follows once the current event is handled.
    virtual void RequestRepaint() = 0;
    // Sets or clears the check mark of the menu item with that command id.
    virtual void SetMenuCheck(std::uint16_t commandId, bool checked) = 0;
    // Destroys the main window; OnDestroy runs as part of it.
    virtual void Destroy() = 0;
    // Ends the event loop with that exit code once the current event is handled.
    virtual void PostQuit(int exitCode) = 0;
};

}  // namespace prismview

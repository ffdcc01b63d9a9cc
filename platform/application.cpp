#include "platform/application.h"

#include <QApplication>

#include <cstdlib>

#include "app/commands.h"
#include "app/startup.h"
#include "platform/environment.h"
#include "platform/main_window.h"
#include "platform/qt_text.h"
#include "resources/strings.h"
#include "prismview_version.h"

namespace prismview {

bool HasDisplay() {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

int StartApplication(AppState& state, const std::string& startFile) {
    SubstituteDialogFonts();
    QCoreApplication::setApplicationName(ToQString(kWindowClassName));  // the X window class
    // The launcher's id, by which the desktop shows the window under its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(PRISMVIEW_APP_ID));
    MainWindow window(state);
    // Loaded before the window shows, so that it starts at the picture's size
    // and the first paint has all five images. A file named on the command
    // line is the user's choice: a failure is told, over the window.
    bool opened = true;
    std::string reason;
    if (startFile.empty()) OpenStartImage(window, state);
    else opened = OpenImageFile(window, state, startFile, &reason);
    window.show();
    // Take the keyboard at start, as a newly started program's window does;
    // without a window manager nobody else would give it the focus.
    window.activateWindow();
    window.RequestRepaint();  // the title names the start file
    if (!opened) TellReadFailed(window, startFile, reason);
    return QApplication::exec();
}

}  // namespace prismview

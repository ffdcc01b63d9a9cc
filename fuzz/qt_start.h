// The one Qt application object a fuzz target needs, on the offscreen
// platform and without Qt's diagnostics.
#pragma once

#include <QGuiApplication>

namespace prismview::fuzz {

inline void StartQt() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static int argc = 1;
    static char name[] = "prismview-fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* const app = new QGuiApplication(argc, argv);  // lives as long as the process
    (void)app;
}

}  // namespace prismview::fuzz

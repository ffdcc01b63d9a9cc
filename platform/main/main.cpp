// プリズムビュー: the desktop program.
#include <QApplication>

#include <cstdio>
#include <cstring>

#include "app/app_state.h"
#include "platform/application.h"
#include "platform/environment.h"
#include "prismview_version.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {  // needs no display
        std::printf("prismview %s\n", PRISMVIEW_VERSION);
        return 0;
    }
    if (!prismview::HasDisplay()) {
        std::fprintf(stderr,
                     "prismview: no display to open the window on (DISPLAY is not set).\n"
                     "Run it on a virtual display instead:  xvfb-run -a -s '-screen 0 1280x1024x24' %s\n",
                     argv[0]);
        return 1;
    }
    const prismview::PrivateSettings settings;  // outlives the application and its dialogs
    // The program takes no arguments: Qt sees only the program's name, so that
    // options such as -qwindowtitle or -style change nothing.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);
    prismview::InstallJapaneseQtTexts(application);
    static prismview::AppState state;  // everything the program knows, for the whole run
    return prismview::StartApplication(state);
}

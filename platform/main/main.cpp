// プリズムビュー: the desktop program.
#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/command_line.h"
#include "platform/application.h"
#include "platform/environment.h"
#include "prismview_version.h"

int main(int argc, char** argv) {
    const prismview::ProgramArguments arguments =
        prismview::ParseProgramArguments(std::vector<std::string>(argv + 1, argv + argc));
    switch (arguments.action) {
        case prismview::ProgramArguments::Action::Help:
            std::fputs(prismview::ProgramUsage().c_str(), stdout);
            return 0;
        case prismview::ProgramArguments::Action::Version:
            std::puts("prismview " PRISMVIEW_VERSION);
            return 0;
        case prismview::ProgramArguments::Action::Error:
            std::fprintf(stderr, "prismview: %s\n", arguments.error.c_str());
            return 2;
        case prismview::ProgramArguments::Action::Run:
            break;
    }
    if (!prismview::HasDisplay()) {
        std::fprintf(stderr,
                     "prismview: no display to open the window on (DISPLAY is not set).\n"
                     "Run it on a virtual display instead:  xvfb-run -a -s '-screen 0 1280x1024x24' %s\n",
                     argv[0]);
        return 1;
    }
    const prismview::PrivateSettings settings;  // outlives the application and its dialogs
    // Qt sees only the program's name, so that its own options such as
    // -qwindowtitle or -style change nothing.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);
    prismview::InstallJapaneseQtTexts(application);
    static prismview::AppState state;  // everything the program knows, for the whole run
    return prismview::StartApplication(state, arguments.file);
}

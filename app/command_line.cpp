#include "app/command_line.h"

namespace prismview {

ProgramArguments ParseProgramArguments(const std::vector<std::string>& arguments) {
    ProgramArguments result;
    auto fail = [&result](std::string message) {
        result.action = ProgramArguments::Action::Error;
        result.error = std::move(message);
        return result;
    };
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == "--help" || argument == "-h")) {
            result.action = ProgramArguments::Action::Help;
        } else if (!optionsEnded && argument == "--version") {
            if (result.action != ProgramArguments::Action::Help) result.action = ProgramArguments::Action::Version;
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            return fail("unknown option '" + argument + "' (see --help)");
        } else if (!result.file.empty()) {
            return fail("only one FILE can be opened (see --help)");
        } else if (argument.empty()) {
            return fail("FILE is empty (see --help)");
        } else {
            result.file = argument;
        }
    }
    return result;
}

std::string ProgramUsage() {
    return "Usage: prismview [FILE]\n"
           "Shows a picture beside four pictures derived from it by one of 25 processing modes.\n"
           "Opens FILE (BMP, PNG, JPEG, GIF, TIFF, WebP and every other format Qt reads here),\n"
           "or start.bmp from the current folder when no FILE is given.\n\n"
           "Options:\n"
           "  -h, --help     show this text\n"
           "  --version      show the version\n";
}

}  // namespace prismview

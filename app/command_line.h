// The desktop program's command line: `prismview [FILE]`, --help, --version.
#pragma once

#include <string>
#include <vector>

namespace prismview {

struct ProgramArguments {
    enum class Action { Run, Help, Version, Error } action = Action::Run;
    std::string file;   // the picture to open instead of start.bmp; empty: start.bmp
    std::string error;  // one line, for Action::Error
};

// The arguments after the program's name. Only --help (-h) and --version
// are options; "--" ends them, so a file may start with a dash. Qt's own
// options are not honoured: they are unknown options here.
ProgramArguments ParseProgramArguments(const std::vector<std::string>& arguments);

// The text of --help.
std::string ProgramUsage();

}  // namespace prismview

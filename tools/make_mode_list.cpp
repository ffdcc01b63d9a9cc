// make-mode-list TEMPLATE OUTPUT: copies the batch tool's manual page,
// putting the list of modes, as the mode records give it, in place of the
// line ".\" MODES".
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "effects/mode_table.h"

namespace {

// A name as roff writes it: hyphens escaped.
std::string Roff(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '-') out += '\\';
        out += c;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make-mode-list TEMPLATE OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    std::ofstream out(argv[2], std::ios::trunc);
    bool placed = false;
    for (std::string line; std::getline(in, line);) {
        if (line != ".\\\" MODES") {
            out << line << '\n';
            continue;
        }
        placed = true;
        out << ".SH MODES\n"
               "Each mode by number and name, with its menu caption in the window.\n"
               "A former name, which earlier versions used, is accepted too.\n";
        for (const prismview::ModeSpec* mode : prismview::AllModes()) {
            out << ".TP\n.BR " << mode->mode << " \", \" " << Roff(mode->name) << "\n" << mode->menuCaption;
            if (!mode->formerName.empty()) out << " (former name: " << Roff(mode->formerName) << ")";
            out << '\n';
        }
    }
    if (!in.eof() || !placed || !out.flush()) {
        std::cerr << "make-mode-list: cannot make " << argv[2] << " from " << argv[1] << "\n";
        return 1;
    }
    return 0;
}

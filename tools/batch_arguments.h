// prismview-batch's command line as data: what to read, what to run, what to
// write, or why the arguments are bad usage.
#pragma once

#include <QStringList>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/chain.h"
#include "app/sweep.h"
#include "core/parameter_table.h"
#include "io/picture_file.h"
#include "tools/overview.h"

namespace prismview {

struct BatchArguments {
    int status = 0;     // 0: parsed; 2: bad usage, `error` says why
    std::string error;  // one line, without the program's name
    bool help = false;     // -h or --help: show the usage and stop
    bool version = false;  // --version: show the version and stop
    ProcessingParams params;
    // The passes before --then, in order: each one's chosen image is the next
    // pass's base, the last one's the base of `params`' pass.
    Chain chain;
    std::string extension = "bmp";
    WriteOptions writeOptions;  // --quality: for jpg and webp outputs
    std::array<bool, 4> slots{true, true, true, true};  // which outputs are written
    bool force = false;
    // --allow-damaged: an input the decoder could read only in part (cut
    // short, corrupt) is processed with a warning instead of refused.
    bool allowDamaged = false;
    // --probe X,Y (repeatable): picture points to read on the base and the
    // four outputs, printed after the captions in `probeFormat`.
    std::vector<std::array<std::int32_t, 2>> probes;
    std::string probeFormat = "table";  // table, csv or json
    std::string input;   // a file name, or "-" for standard input
    std::string prefix;  // outputs are prefix1.extension .. prefix4.extension
    // Many inputs: with --output-dir every positional argument is an input,
    // and each input's outputs are named by the pattern in that folder.
    std::vector<std::string> inputs;
    std::string outputDir;                             // empty: the one-input form
    std::string outputPattern = "{name}_{slot}.{ext}";  // {name}: the input's name without extension
    // --sweep: frames of one slot (--slot) or of the gallery (--gallery)
    // written to `output`, a file (webp, sheet) or a folder (png).
    std::optional<SweepRequest> sweep;
    std::string output;
    // --overview FILE: every mode's four pictures on one sheet, each
    // `overviewSize` pixels on its longer side at most (--size).
    std::string overview;
    std::int32_t overviewSize = kOverviewDefaultSize;
    // --histogram csv|json: the exact colour counts of the base image and the
    // written outputs on standard output (the captions go to standard error).
    std::string histogram;
    // --chart WxH OUTPUT: the built-in colour chart at that size, written to `output`.
    std::int32_t chartWidth = 0, chartHeight = 0;
};

// Parses the whole argument list, the program's name first. Every option
// takes one value at most once; a value must be complete and in range.
BatchArguments ParseBatchArguments(const QStringList& arguments);

}  // namespace prismview

// Shared by the fuzz targets: a failed expectation, the argument lists and
// fields cut from the input, and one processing pass on a small picture.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/image_set.h"
#include "core/process.h"
#include "effects/mode_table.h"

// A target's expectation about our own code; failing it ends the run like a
// sanitizer report, so the input is kept as a finding.
#define FUZZ_EXPECT(condition)                                                                   \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "%s:%d: expected %s\n", __FILE__, __LINE__, #condition);        \
            std::abort();                                                                        \
        }                                                                                        \
    } while (false)

namespace prismview::fuzz {

// The input cut at every zero byte and new line: arguments, or field texts.
inline std::vector<std::string> SplitInput(std::string_view bytes) {
    std::vector<std::string> parts(1);
    for (const char c : bytes) {
        if (c == '\0' || c == '\n') parts.emplace_back();
        else parts.back() += c;
    }
    return parts;
}

// The pass that follows a load, on one thread: every slot of `mode` over
// the base picture, so that each effect meets the picture and the parameters.
inline void RunPass(BitmapHandle base, const ProcessingParams& params) {
    ImageSet images;
    InstallBaseImage(images, std::move(base));
    PassOptions options;
    options.threads = 1;
    ProcessImages(images, FindMode(params.effectMode), params, options);
}

// A small picture of mixed colours for the passes that fuzz the parameters.
inline BitmapHandle SmallPicture(std::int32_t width, std::int32_t height) {
    BitmapHandle bitmap = Bitmap::Create(width, height);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            bitmap->Scanline(y)[x] = 0xFF000000u | static_cast<std::uint32_t>((x * 73 + y * 151) * 2654435761u >> 8);
    return bitmap;
}

}  // namespace prismview::fuzz

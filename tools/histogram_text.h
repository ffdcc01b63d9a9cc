// prismview-batch --histogram: the exact colour counts of the base image and
// the written outputs as CSV or JSON, for scripts.
#pragma once

#include <string>
#include <vector>

#include "core/colour_counts.h"

namespace prismview {

struct CountedImage {
    int image = 0;        // 0 the base, 1..4 the outputs
    std::string caption;  // the image's label
    ColourCounts counts;
};

// CSV: a header line "image,caption,term,bin,count", then for each image a
// line per bin of r, g, b (0..255), l (0..510), t (0..765), hue (0..1529)
// and spread (0..255), a "greys" line (no bin) and a "pixels" line.
std::string HistogramCsv(const std::vector<CountedImage>& images);
// JSON: an array of {"image", "caption", "pixels", "greys", "r", "g", "b",
// "l", "t", "hue", "spread"}, each term an array of its bins' counts.
std::string HistogramJson(const std::vector<CountedImage>& images);

}  // namespace prismview

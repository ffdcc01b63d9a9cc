// The processing pass: rebuilds the four derived images and their labels
// from the base image for the current mode.
#pragma once

#include <array>
#include <string>

#include "core/effect.h"
#include "core/image_set.h"
#include "core/params.h"

namespace prismview {

using Labels = std::array<std::string, kSlotCount>;

// Buffers a pass may leave for the next one: redoing the images after a key
// press then reuses memory instead of mapping and faulting in fresh pages.
// Only values of the pixel index alone (the dot noise) carry over; every
// pass overwrites everything else it reads.
struct PassMemory {
    PixelBuffer source;
    PixelBuffer work;
    PassScratch scratch;
};

struct PassOptions {
    int threads = 0;               // 0: DefaultThreadCount()
    PassMemory* memory = nullptr;  // null: buffers live only inside the pass
};

// Stores the mode's labels into labels[1..4], then, when a base image is
// there, runs the mode's effect for slots 1..4 and writes each result into
// its derived image. Slots without an effect, or without a bitmap of the
// set's size, keep their pixels. labels[0] is never touched.
void ProcessImages(ImageSet& images, Labels& labels, const ProcessingParams& params,
                   const EffectTable& effects, const PassOptions& options = {});

}  // namespace prismview

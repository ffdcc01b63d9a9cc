// How a base picture was made from a file: the passes that 現在の画像を
// ベース画像にする applied to the file's picture, in order. The window keeps it
// with the base (and in the undo steps); the batch tool runs it again
// (--then) before its own pass, so that one command makes the shown images.
#pragma once

#include <cstdint>
#include <vector>

#include "core/bitmap.h"
#include "core/params.h"

namespace prismview {

struct ChainStep {
    ProcessingParams params;  // the pass's values (its mode among them)
    std::int32_t slot = 1;    // 1..4: the derived image that became the next base

    friend bool operator==(const ChainStep&, const ChainStep&) = default;
};
using Chain = std::vector<ChainStep>;

struct ModeSpec;
// Whether a mode's slot makes no picture (its label "－"): no base comes of it.
bool ChainSlotIsBlank(const ModeSpec& mode, std::int32_t slot);

// Runs the chain's passes on a copy of `base`, each step's slot becoming the
// next base; null without memory, for a step with an unknown mode or slot,
// a blank slot, or when a pass fails.
BitmapHandle ApplyChain(const Bitmap& base, const Chain& chain);

}  // namespace prismview

// The five images: slot 0 the base image, slots 1..4 the derived images.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "core/bitmap.h"

namespace prismview {

constexpr int kSlotCount = 5;

struct ImageSet {
    std::array<BitmapHandle, kSlotCount> bitmaps;  // null: the slot holds no bitmap
    // The same pictures at the smaller size the window shows them at, made by
    // the pass with its images, or when painting after a change of scale;
    // null where not needed.
    // Saving, copying and the pass use the full-size bitmaps only.
    std::array<BitmapHandle, kSlotCount> scaled;
    std::int32_t width = 0;
    std::int32_t height = 0;
    // Changes whenever the base image is replaced or its pixels change;
    // never the same for two different base images of the run.
    std::uint64_t generation = 0;

    bool Loaded() const { return bitmaps[0] != nullptr; }
};

inline std::uint64_t NewImageGeneration() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

// Releases every bitmap of the set (each exactly once), and the scaled
// copies with them; the size stays.
inline void ReleaseImages(ImageSet& images) {
    for (auto& slot : images.bitmaps) slot.reset();
    for (auto& copy : images.scaled) copy.reset();
}

// Replaces the whole set by a base image and four new derived images of its size.
// A derived image that cannot be created leaves its slot empty.
inline void InstallBaseImage(ImageSet& images, BitmapHandle base) {
    ReleaseImages(images);
    images.generation = NewImageGeneration();
    if (!base) {
        images.width = images.height = 0;
        return;
    }
    images.width = base->Width();
    images.height = base->Height();
    images.bitmaps[0] = std::move(base);
    for (int slot = 1; slot < kSlotCount; ++slot)
        images.bitmaps[slot] = Bitmap::Create(images.width, images.height);
}

}  // namespace prismview

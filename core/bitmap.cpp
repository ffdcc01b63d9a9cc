#include "core/bitmap.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace prismview {

namespace {
std::atomic<std::int64_t> liveBitmaps{0};

// Pictures of many megabytes are filled a page at a time on first touch;
// asking for huge pages makes that hundreds of times fewer faults. Only a
// hint: where the system says no, nothing changes.
void PreferHugePages([[maybe_unused]] void* memory, [[maybe_unused]] std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kPage = 4096, kWorthIt = std::uintptr_t{4} << 20;
    if (bytes < kWorthIt) return;
    const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(memory) + kPage - 1) & ~(kPage - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(memory) + bytes) & ~(kPage - 1);
    madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#endif
}
}  // namespace

std::unique_ptr<Bitmap> Bitmap::Create(std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0) return nullptr;
    const std::uint64_t count = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    // A 32-bit byte count per row and a pixel index that fits size_t.
    if (count > (std::uint64_t{1} << 40)) return nullptr;
    // nothrow: a picture too big for memory is a failure to report, not a crash.
    std::unique_ptr<std::uint32_t[]> pixels(new (std::nothrow) std::uint32_t[static_cast<std::size_t>(count)]);
    if (!pixels) return nullptr;
    PreferHugePages(pixels.get(), static_cast<std::size_t>(count) * sizeof(std::uint32_t));
    std::fill_n(pixels.get(), static_cast<std::size_t>(count), kOpaque);
    return std::unique_ptr<Bitmap>(new (std::nothrow) Bitmap(width, height, std::move(pixels)));
}

Bitmap::Bitmap(std::int32_t width, std::int32_t height, std::unique_ptr<std::uint32_t[]> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels)) {
    liveBitmaps.fetch_add(1, std::memory_order_relaxed);
}

Bitmap::~Bitmap() { liveBitmaps.fetch_sub(1, std::memory_order_relaxed); }

std::int64_t Bitmap::LiveCount() { return liveBitmaps.load(std::memory_order_relaxed); }

const std::uint32_t* Bitmap::Scanline(std::int32_t topDownRow) const {
    return pixels_.get() + static_cast<std::size_t>(topDownRow) * static_cast<std::size_t>(width_);
}
std::uint32_t* Bitmap::Scanline(std::int32_t topDownRow) {
    return pixels_.get() + static_cast<std::size_t>(topDownRow) * static_cast<std::size_t>(width_);
}

SourceRows Bitmap::BottomUpRows() const { return {width_, height_, Scanline(height_ - 1), -std::ptrdiff_t{width_}}; }
TargetRows Bitmap::BottomUpRows() { return {width_, height_, Scanline(height_ - 1), -std::ptrdiff_t{width_}}; }

bool Bitmap::CopyFrom(const Bitmap& other) {
    if (other.width_ != width_ || other.height_ != height_) return false;
    std::memcpy(pixels_.get(), other.pixels_.get(), PixelCount() * sizeof(std::uint32_t));
    return true;
}

}  // namespace prismview

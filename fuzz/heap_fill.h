// Fresh heap memory filled with a chosen byte, for the checks that read one
// picture twice: a pixel a decoder leaves as the memory held it then comes
// out differently in the two reads. Under glibc through its perturb setting,
// with the thread cache kept empty (the cache hands blocks back as they were
// freed); under AddressSanitizer through an allocation hook, for blocks up
// to 64 KB: a larger one may be a calloc that the sanitizer leaves to fresh
// pages, which must stay zero.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#define PRISMVIEW_HEAP_FILL_HOOK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PRISMVIEW_HEAP_FILL_HOOK 1
#endif
#endif

#ifdef PRISMVIEW_HEAP_FILL_HOOK
// The sanitizers' hook interface (sanitizer/allocator_interface.h, which
// g++ does not install).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, std::size_t),
                                                         void (*free_hook)(const volatile void*));
#else
#include <malloc.h>
#endif

namespace prismview::test {

#ifdef PRISMVIEW_HEAP_FILL_HOOK
inline std::atomic<int> gHeapFill{-1};

inline void FillNewBlock(const volatile void* block, std::size_t size) {
    const int fill = gHeapFill.load(std::memory_order_relaxed);
    if (fill >= 0 && block && size <= std::size_t{64} << 10)
        std::memset(const_cast<void*>(block), fill, size);  // NOLINT: the hook hands the block as volatile
}

inline void FreeBlock(const volatile void*) {}  // the interface takes both hooks or none
#else
// glibc's thread cache keeps up to 7 freed blocks of each size to 1 KB and
// hands them out unfilled; holding that many of each size keeps it empty.
inline void EmptyThreadCache() {
    static std::array<void*, 7 * 64> held{};
    for (void*& block : held) std::free(block);
    for (std::size_t i = 0; i < held.size(); ++i) held[i] = std::malloc(16 * (i / 7 + 1) - 8);
}
#endif

// From now on new blocks (and, under glibc, freed ones) hold `byte`; 0 stops.
inline void FillFreshHeap(unsigned char byte) {
#ifdef PRISMVIEW_HEAP_FILL_HOOK
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(FillNewBlock, FreeBlock) != 0;
    if (!installed) std::abort();  // a check that cannot fill would pass whatever the decoders leave
    gHeapFill.store(byte == 0 ? -1 : byte, std::memory_order_relaxed);
#else
    mallopt(M_PERTURB, byte);
    EmptyThreadCache();
#endif
}

}  // namespace prismview::test

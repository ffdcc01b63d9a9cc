// Splitting the rows of an image across threads. Each band is a contiguous
// range of rows; every row is handled by exactly one call.
#pragma once

#include <cstdint>
#include <functional>

namespace prismview {

// The number of threads a pass uses when none is asked for.
int DefaultThreadCount();

// Calls band(first, last) for contiguous row ranges covering 0..rows-1, on up
// to `threads` threads (the calling thread is one of them); returns when all
// bands are done.
void ForEachRowBand(std::int32_t rows, int threads,
                    const std::function<void(std::int32_t first, std::int32_t last)>& band);

}  // namespace prismview

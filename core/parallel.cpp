#include "core/parallel.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace prismview {

int DefaultThreadCount() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(std::min(n, 64u));
}

void ForEachRowBand(std::int32_t rows, int threads,
                    const std::function<void(std::int32_t, std::int32_t)>& band) {
    if (rows <= 0) return;
    const int count = std::clamp(threads, 1, static_cast<int>(rows));
    if (count == 1) {
        band(0, rows);
        return;
    }
    std::vector<std::thread> workers;
    workers.reserve(static_cast<std::size_t>(count - 1));
    auto bandStart = [&](int i) {
        return static_cast<std::int32_t>(static_cast<std::int64_t>(rows) * i / count);
    };
    for (int i = 1; i < count; ++i) {
        try {
            workers.emplace_back(band, bandStart(i), bandStart(i + 1));
        } catch (const std::system_error&) {
            band(bandStart(i), bandStart(i + 1));  // no thread to be had: do it here
        }
    }
    band(bandStart(0), bandStart(1));
    for (auto& worker : workers) worker.join();
}

}  // namespace prismview

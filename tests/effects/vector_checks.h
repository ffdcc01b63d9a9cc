// Vector kernels against their scalar formulas, on every vector target this
// machine has: over every colour in the optimised build, over a sample of
// them in the sanitizer builds, where the whole sweep takes too long.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "hwy/highway.h"
#include "hwy/targets.h"
#include "core/vector_target.h"
#include "support/test_support.h"

namespace prismview::test {

inline std::vector<RgbValue> SweptColours() {
#ifdef NDEBUG
    constexpr RgbValue kStep = 1;
#else
    constexpr RgbValue kStep = 997;  // prime: every channel value still comes up
#endif
    std::vector<RgbValue> colours;
    colours.reserve((1u << 24) / kStep + 1);
    for (RgbValue c = 0; c < (1u << 24); c += kStep) colours.push_back(c);
    colours.push_back(0xFFFFFFu);
    return colours;
}

using RunKernel = std::function<void(const RgbValue* from, RgbValue* to, std::int32_t count)>;

// Runs the kernel over the colours in runs of a prime length, so that most
// runs end in a partial vector, on each target in turn, and expects the
// scalar results (opaque).
inline void ExpectSameOnEveryTarget(const std::vector<RgbValue>& colours, const std::vector<RgbValue>& expected,
                                    const RunKernel& run, const std::string& what) {
    constexpr std::size_t kRun = 4093;
    std::vector<RgbValue> actual(colours.size());
    for (const std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        ASSERT_STREQ(VectorTargetName(), hwy::TargetName(target)) << "the dispatch did not follow";
        for (std::size_t i = 0; i < colours.size(); i += kRun)
            run(colours.data() + i, actual.data() + i,
                static_cast<std::int32_t>(std::min(kRun, colours.size() - i)));
        for (std::size_t i = 0; i < colours.size(); ++i)
            if (actual[i] != (expected[i] | kOpaque)) {
                ADD_FAILURE() << what << " on " << hwy::TargetName(target) << ": " << Hex(colours[i]) << " gives "
                              << Hex(actual[i]) << " instead of " << Hex(expected[i] | kOpaque);
                break;
            }
    }
    hwy::SetSupportedTargetsForTest(0);
}

}  // namespace prismview::test

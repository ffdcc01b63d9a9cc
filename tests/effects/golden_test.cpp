// The golden record: a hash of every slot of every mode, on the sample
// picture and on generated ones, for parameter sets that reach every branch
// of the effects (extremes, centres outside the picture, every overflow
// treatment, waves counted from the far end). The hashes were taken from the
// pass as it stood before any work on its speed; a faster pass must give the
// same pixels, bit for bit.
//
// To record the table again (only when a picture is meant to change):
//   PRISMVIEW_GOLDEN_RECORD=tests/effects/golden_passes.txt build/release/tests/tests_effects --gtest_filter='Golden*'
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <string>

#include "core/colour.h"
#include "effects/mode_table.h"
#include "hwy/targets.h"
#include "io/picture_file.h"
#include "support/test_support.h"

namespace prismview {
namespace {

constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

// FNV-1a over the 24-bit pixels, bottom row first.
std::uint64_t Hash(const PixelBuffer& b) {
    std::uint64_t h = 1469598103934665603ull;
    for (RgbValue v : b.pixels)
        for (int shift = 0; shift < 32; shift += 8) {
            h ^= (v >> shift) & 255u;
            h *= 1099511628211ull;
        }
    return h;
}

struct NamedPicture {
    const char* name;
    PixelBuffer pixels;
};

// Noise with every channel independent; greys, ties between channels, black
// and white; one pixel; odd widths and a single column and row.
std::vector<NamedPicture> Pictures() {
    std::vector<NamedPicture> pictures;
    const BitmapHandle start = ReadPictureFile(PRISMVIEW_SOURCE_DIR "/examples/start.bmp").bitmap;
    EXPECT_TRUE(start) << "examples/start.bmp";
    if (start) pictures.push_back({"start", ReadPixels(*start)});
    pictures.push_back({"noise", test::MakeBuffer(71, 53, [](std::int32_t x, std::int32_t y) {
                            std::uint32_t v = static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u;
                            v ^= v >> 13;
                            v *= 0x5bd1e995u;
                            return (v ^ (v >> 15)) & 0xFFFFFFu;
                        })});
    pictures.push_back({"ties", test::MakeBuffer(40, 30, [](std::int32_t x, std::int32_t y) -> RgbValue {
                            const std::int32_t a = (x * 37 + y * 11) % 256, b = (x * 5 + y * 91) % 256;
                            switch ((x + y) % 6) {
                                case 0: return static_cast<RgbValue>(a) * 0x010101u;  // grey
                                case 1: return PackRgb(a, a, b);                      // red = green
                                case 2: return PackRgb(b, a, a);                      // green = blue
                                case 3: return PackRgb(a, b, a);                      // red = blue
                                case 4: return (x + y) % 4 == 0 ? 0xFFFFFFu : 0x000000u;
                                default: return PackRgb(255, a, 0);                   // full range
                            }
                        })});
    pictures.push_back({"one", test::Picture(1, 1, {0xC86432})});
    pictures.push_back({"odd", test::Varied(13, 7)});
    pictures.push_back({"column", test::Varied(1, 9)});
    pictures.push_back({"row", test::Varied(11, 1)});
    pictures.push_back({"wide", test::Varied(129, 65)});  // more than one band of rows per thread
    return pictures;
}

struct NamedParams {
    const char* name;
    ProcessingParams params;
};

std::vector<NamedParams> ParameterSets() {
    std::vector<NamedParams> sets;
    auto add = [&](const char* name, auto change) {
        ProcessingParams p;
        change(p);
        sets.push_back({name, p});
    };
    add("defaults", [](ProcessingParams&) {});
    add("middle", [](ProcessingParams& p) {
        p.hue = 300;
        p.level = 200;
        p.backgroundColor = 0x336699;
        p.overflowMode = OverflowWrap;
    });
    add("top", [](ProcessingParams& p) {
        p.hue = 1529;
        p.level = 510;
        p.backgroundColor = 0xFFFFFF;
        p.overflowMode = OverflowEdge;
        p.startFromEnd = 1;
    });
    add("half", [](ProcessingParams& p) {
        p.hue = 765;
        p.level = 255;
        p.backgroundColor = 0x80FF00;
        p.waveFreqNum = 3;
        p.waveFreqDen = 7;
        p.waveAmplitude = 40;
        p.wavePhase = 5;
        p.wavePhaseDen = 9;
        p.overflowMode = OverflowEdge;
    });
    add("level128", [](ProcessingParams& p) {
        p.hue = 1020;
        p.level = 128;
        p.waveAmplitude = 3;
        p.centerX = 2;
        p.centerY = -1;
    });
    for (std::int32_t overflow : {OverflowBackground, OverflowWrap, OverflowEdge}) {
        const char* names[] = {"outside-background", "outside-wrap", "outside-edge"};
        add(names[overflow], [overflow](ProcessingParams& p) {
            p.level = 77;
            p.hue = 450;
            p.centerX = 300;
            p.centerY = -250;
            p.waveAmplitude = 25;
            p.overflowMode = overflow;
            p.backgroundColor = 0x102030;
        });
    }
    add("outside-left-edge", [](ProcessingParams& p) {
        p.centerX = -5000;
        p.centerY = 7;
        p.waveFreqNum = 5;
        p.waveFreqDen = 3;
        p.overflowMode = OverflowEdge;
    });
    add("negative-waves", [](ProcessingParams& p) {
        p.waveFreqNum = -5;
        p.waveFreqDen = 64;
        p.waveAmplitude = -30;
        p.wavePhase = -3;
        p.wavePhaseDen = 4;
        p.overflowMode = OverflowWrap;
        p.startFromEnd = 1;
        p.level = 1;
    });
    add("from-end-background", [](ProcessingParams& p) {
        p.startFromEnd = 1;
        p.waveAmplitude = 70;
        p.wavePhase = 16;
        p.backgroundColor = 0xABCDEF;
    });
    add("zero-denominators", [](ProcessingParams& p) {
        p.waveFreqDen = 0;
        p.wavePhaseDen = 0;
        p.level = 509;
    });
    add("zero-amplitude-edge", [](ProcessingParams& p) {
        p.waveAmplitude = 0;
        p.overflowMode = OverflowEdge;
        p.waveFreqNum = 1;
        p.waveFreqDen = -1;  // vortex zoom onto the centre
    });
    add("steep", [](ProcessingParams& p) {
        p.waveFreqNum = 7;
        p.waveFreqDen = 2;
        p.waveAmplitude = 1000;
        p.centerX = 3;
        p.centerY = -2;
        p.level = 300;
        p.hue = 1200;
    });
    add("extremes", [](ProcessingParams& p) {
        p.hue = kIntMin;
        p.level = kIntMax;
        p.backgroundColor = 0xFFFFFFFFu;
        p.waveFreqNum = kIntMax;
        p.waveFreqDen = 1;
        p.waveAmplitude = kIntMin;
        p.wavePhase = kIntMin;
        p.wavePhaseDen = -1;
        p.centerX = kIntMax;
        p.centerY = kIntMin;
        p.overflowMode = OverflowEdge;
        p.startFromEnd = -1;
    });
    add("extremes-wrap", [](ProcessingParams& p) {
        p.hue = kIntMax;
        p.level = kIntMin;
        p.waveFreqNum = kIntMin;
        p.waveFreqDen = -1;
        p.waveAmplitude = kIntMax;
        p.wavePhase = kIntMax;
        p.wavePhaseDen = 1;
        p.centerX = kIntMin;
        p.centerY = kIntMax;
        p.overflowMode = OverflowWrap;
    });
    add("unknown-overflow", [](ProcessingParams& p) {
        p.overflowMode = 7;
        p.centerX = -3;
        p.waveAmplitude = 9;
    });
    return sets;
}

using Key = std::string;  // "picture parameters mode"

std::map<Key, std::string> ReadRecord(const std::string& path) {
    std::map<Key, std::string> record;
    std::ifstream in(path);
    std::string picture, params, mode, hashes;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        if (fields >> picture >> params >> mode && std::getline(fields >> std::ws, hashes))
            record[picture + " " + params + " " + mode] = hashes;
    }
    return record;
}

TEST(Golden, EverySlotOfEveryModeKeepsItsPixels) {
    const char* recordTo = std::getenv("PRISMVIEW_GOLDEN_RECORD");
    const std::map<Key, std::string> record = ReadRecord(PRISMVIEW_SOURCE_DIR "/tests/effects/golden_passes.txt");
    if (!recordTo) {
        ASSERT_GT(record.size(), 1000u) << "the golden record is missing";
    }
    std::ostringstream out;
    // Every vector target this machine has draws the same pixels; the best
    // one alone writes the record. The sanitizer builds, many times slower,
    // hold the other targets to two pictures: the ties and the wide one.
#ifdef NDEBUG
    constexpr bool kEveryPictureOnEveryTarget = true;
#else
    constexpr bool kEveryPictureOnEveryTarget = false;
#endif
    std::vector<std::int64_t> targets = hwy::SupportedAndGeneratedTargets();
    if (recordTo) targets.resize(1);
    std::size_t expected = 0;
    for (const std::int64_t target : targets) {
        hwy::SetSupportedTargetsForTest(target);
        const bool best = target == targets.front();
        for (const NamedPicture& picture : Pictures()) {
            const std::string name = picture.name;
            if (!best && !kEveryPictureOnEveryTarget && name != "ties" && name != "wide") continue;
            for (const NamedParams& set : ParameterSets()) {
                for (const ModeSpec* entry : AllModes()) {
                    const std::int32_t mode = entry->mode;
                    ProcessingParams params = set.params;
                    params.effectMode = mode;
                    const auto slots = test::RunPass(picture.pixels, params, 2);
                    std::string hashes;
                    for (const PixelBuffer& slot : slots) {
                        char text[20];
                        std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(Hash(slot)));
                        hashes += hashes.empty() ? text : std::string(" ") + text;
                    }
                    const Key key = std::string(picture.name) + " " + set.name + " " + std::to_string(mode);
                    out << key << " " << hashes << "\n";
                    if (recordTo) continue;
                    const auto found = record.find(key);
                    if (found == record.end()) {
                        ADD_FAILURE() << "no golden hashes for " << key;
                        continue;
                    }
                    EXPECT_EQ(hashes, found->second) << key << " on " << hwy::TargetName(target);
                    if (best) ++expected;
                }
            }
        }
    }
    hwy::SetSupportedTargetsForTest(0);
    if (recordTo) {
        std::ofstream(recordTo) << out.str();
        GTEST_SKIP() << "recorded to " << recordTo;
    }
    EXPECT_EQ(expected, record.size());
}

}  // namespace
}  // namespace prismview

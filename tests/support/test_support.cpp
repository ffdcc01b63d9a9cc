#include "support/test_support.h"

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "core/colour.h"
#include "effects/mode_table.h"
#include "io/picture_file.h"

namespace prismview::test {

PixelBuffer Picture(std::int32_t width, std::int32_t height, std::initializer_list<RgbValue> topDownPixels) {
    PixelBuffer b{width, height, std::vector<RgbValue>(static_cast<std::size_t>(width) * height)};
    EXPECT_EQ(topDownPixels.size(), b.pixels.size());
    auto it = topDownPixels.begin();
    for (std::int32_t row = 0; row < height; ++row)
        for (std::int32_t x = 0; x < width && it != topDownPixels.end(); ++x) b.At(x, height - 1 - row) = *it++;
    return b;
}

PixelBuffer Varied(std::int32_t width, std::int32_t height) {
    return MakeBuffer(width, height, [&](std::int32_t x, std::int32_t y) -> RgbValue {
        const std::uint32_t mix = static_cast<std::uint32_t>(x * 7919 + y * 104729) * 2654435761u;
        switch ((x + 3 * y) % 4) {
            case 0: return mix >> 8;                                  // any colour
            case 1: return ((mix >> 24) & 255u) * 0x010101u;          // a grey
            case 2: return HueColour(static_cast<std::int32_t>(mix % 1530u));  // a pure hue
            default: return (mix >> 8) & 0x7F7F7Fu;                   // a dark colour
        }
    });
}

ImageSet MakeImageSet(const PixelBuffer& base) {
    ImageSet set;
    BitmapHandle bitmap = Bitmap::Create(base.width, base.height);
    EXPECT_TRUE(WritePixels(*bitmap, base));
    InstallBaseImage(set, std::move(bitmap));
    return set;
}

std::vector<PixelBuffer> RunPass(const PixelBuffer& base, const ProcessingParams& params, int threads) {
    ImageSet set = MakeImageSet(base);
    PassOptions options;
    options.threads = threads;
    ProcessImages(set, FindMode(params.effectMode), params, options);
    std::vector<PixelBuffer> out;
    for (int slot = 1; slot < kSlotCount; ++slot) out.push_back(ReadPixels(*set.bitmaps[slot]));
    return out;
}

PixelBuffer RunSlot(const PixelBuffer& base, const ProcessingParams& params, int slot) {
    const ModeSpec* mode = FindMode(params.effectMode);
    EXPECT_NE(mode, nullptr) << "mode " << params.effectMode;
    PixelBuffer work{base.width, base.height, std::vector<RgbValue>(base.pixels.size(), 0xDEADBEEFu)};
    if (!mode) return work;
    std::vector<std::int32_t> noise(base.pixels.size());
    for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = DotNoiseRaw(static_cast<std::int32_t>(i));
    const PassInput input{base.Rows(), params, mode->DrawsDots() ? noise.data() : nullptr};
    // Every position once, as the pass hands them out.
    mode->slots[static_cast<std::size_t>(slot - 1)](input)->Run(work.Rows(), 0, base.height);
    // Every pixel written is opaque; the colours are what the tests compare.
    for (RgbValue& v : work.pixels) {
        EXPECT_EQ(v & 0xFF000000u, 0xFF000000u) << "a pixel not written, or not opaque";
        v &= 0xFFFFFFu;
    }
    return work;
}

RgbValue RunOnPixel(std::int32_t mode, int slot, RgbValue pixel, ProcessingParams params) {
    params.effectMode = mode;
    return RunSlot(PixelBuffer{1, 1, {pixel}}, params, slot).pixels[0];
}

std::int32_t DotNoise(std::int32_t index, std::int32_t modulus) {
    return modulus <= 0 ? 0 : DotNoiseRaw(index) % modulus;
}

void LoadBaseImage(ImageSet& images, const std::string& fileName) {
    ReleaseImages(images);  // the old set goes first, so two never share memory
    InstallBaseImage(images, ReadPictureFile(fileName).bitmap);
}

std::string Hex(RgbValue v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", v);
    return text;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "prismview-test-XXXXXX").string();
    const char* made = mkdtemp(pattern.data());
    EXPECT_NE(made, nullptr);
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<unsigned char> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void WithFileSizeLimit(std::uint64_t bytes, const std::function<void()>& f) {
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = bytes;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    f();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
}

namespace {

constexpr int kOverrides[] = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER};

// Capabilities belong to a thread: the raw system call changes the calling
// thread only, where the C library's wrappers would change every thread.
bool DropOverridesOfThisThread() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0) return false;
    for (const int cap : kOverrides) {
        const std::uint32_t bit = 1u << (cap % 32);
        data[cap / 32].effective &= ~bit;
        data[cap / 32].permitted &= ~bit;
        data[cap / 32].inheritable &= ~bit;
    }
    return syscall(SYS_capset, &header, data) == 0;
}

}  // namespace

bool WithoutPermissionOverride(const std::function<void()>& f) {
    bool dropped = false;
    std::thread thread([&] {
        dropped = DropOverridesOfThisThread();
        if (dropped) f();
    });
    thread.join();
    return dropped;
}

void DropPermissionOverrideForExec() {
    // Root gets every capability in its bounding set back at exec.
    for (const int cap : kOverrides) prctl(PR_CAPBSET_DROP, cap, 0, 0, 0);
    DropOverridesOfThisThread();
}

}  // namespace prismview::test

// The tests ask for impossible amounts of memory on purpose: let the
// sanitizer's allocator fail like the real one instead of aborting.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

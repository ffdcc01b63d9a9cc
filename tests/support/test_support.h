// Helpers shared by the tests: small pictures, one slot of one mode, image sets.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/pass_runner.h"
#include "core/process.h"
#include "support/pixel_buffer.h"

namespace prismview::test {

// A buffer from rows given top row first, as one reads a picture.
PixelBuffer Picture(std::int32_t width, std::int32_t height, std::initializer_list<RgbValue> topDownPixels);
// A width x height buffer with every pixel set by f(x, y), y counted from the bottom.
template <class F>
PixelBuffer MakeBuffer(std::int32_t width, std::int32_t height, F&& f) {
    PixelBuffer b{width, height, std::vector<RgbValue>(static_cast<std::size_t>(width) * height)};
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) b.At(x, y) = f(x, y);
    return b;
}
// A picture with many different colours (hues, greys, shades), deterministic.
PixelBuffer Varied(std::int32_t width, std::int32_t height);

// A bitmap holding the buffer's pixels.
inline BitmapHandle BitmapOf(const PixelBuffer& pixels) {
    BitmapHandle bitmap = Bitmap::Create(pixels.width, pixels.height);
    EXPECT_TRUE(bitmap && WritePixels(*bitmap, pixels));
    return bitmap;
}

// An image set whose base image holds the buffer's pixels.
ImageSet MakeImageSet(const PixelBuffer& base);

// Runs the whole pass and returns the four derived images.
std::vector<PixelBuffer> RunPass(const PixelBuffer& base, const ProcessingParams& params, int threads = 1);
// The derived image of one slot (1..4).
PixelBuffer RunSlot(const PixelBuffer& base, const ProcessingParams& params, int slot);
// One slot of one mode on a single pixel.
RgbValue RunOnPixel(std::int32_t mode, int slot, RgbValue pixel, ProcessingParams params = {});

// The program's state with a runner that delivers every pass at once, on the
// caller's thread: the road users' passes take, without the thread.
// Once a pass has run the runner holds the four images the next pass fills
// (it reads the shown base image itself).
inline constexpr std::int64_t kRunnerSet = 4;
struct State : AppState {
    State() { passRunner = &runner; }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    PassRunner runner{shown, PassRunner::Delivery::AtOnce};
};

std::string Hex(RgbValue v);

// The dot value of a pixel index for a modulus: DotNoiseRaw(index) % modulus (0 for none).
std::int32_t DotNoise(std::int32_t index, std::int32_t modulus);

// Replaces the image set by the file's picture in slot 0 and four derived
// images of its size; on failure the set is empty with size 0 x 0.
void LoadBaseImage(ImageSet& images, const std::string& fileName);

// A folder of its own for a test, removed afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string Path(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::vector<unsigned char> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);
// The names in a folder, sorted; a temporary file left behind shows here.
std::vector<std::string> FolderEntries(const std::string& folder);

// Runs f while files cannot grow beyond `bytes`: writes past it come back
// short, as on a full disk.
void WithFileSizeLimit(std::uint64_t bytes, const std::function<void()>& f);

// Runs f on a thread of its own that has given up the administrator's right
// to override file permissions, so that a read-only folder is read-only even
// when the tests run as root. False, with f not run, when that failed.
bool WithoutPermissionOverride(const std::function<void()>& f);
// The same for a program about to start: for QProcess's child process
// modifier, between fork and exec (the right stays given up across exec).
void DropPermissionOverrideForExec();

}  // namespace prismview::test

namespace prismview {
using test::DotNoise;
using test::LoadBaseImage;
}  // namespace prismview

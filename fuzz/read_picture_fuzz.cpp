// Bytes of any kind through the read path that open, drop and the batch tool
// share, with the memory guard; a small picture then goes through one pass
// of the mode that the first byte chooses.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "fuzz/heap_fill.h"
#include "fuzz/qt_start.h"
#include "io/picture_file.h"

using namespace prismview;

namespace {

constexpr std::int64_t kPassPixels = 64 * 64;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartReadPath();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The same bytes read twice, fresh memory filled differently each time,
    // give the same picture: no pixel comes from leftover memory.
    test::FillFreshHeap(0x11);
    ReadResult result = ReadPictureData(bytes, fuzz::kReadMemory);
    test::FillFreshHeap(0xC8);
    const ReadResult again = ReadPictureData(bytes, fuzz::kReadMemory);
    test::FillFreshHeap(0);
    FUZZ_EXPECT((result.bitmap != nullptr) == (result.failure == ReadFailure::None));
    FUZZ_EXPECT(result.reason.empty() == (result.failure == ReadFailure::None));
    FUZZ_EXPECT(result.bitmap || result.damage.empty());  // damage belongs to a picture that was read
    FUZZ_EXPECT(again.failure == result.failure && again.damage == result.damage);
    if (!result.bitmap) return 0;
    const Bitmap& picture = *result.bitmap;
    const std::int64_t pixels = std::int64_t{picture.Width()} * picture.Height();
    FUZZ_EXPECT(pixels > 0 && PictureFitsInMemory(pixels, fuzz::kReadMemory));
    FUZZ_EXPECT(again.bitmap->Width() == picture.Width() && again.bitmap->Height() == picture.Height());
    for (std::int32_t row = 0; row < picture.Height(); ++row)
        for (std::int32_t x = 0; x < picture.Width(); ++x) {
            FUZZ_EXPECT(picture.Scanline(row)[x] >> 24 == 0xFF);
            FUZZ_EXPECT(again.bitmap->Scanline(row)[x] == picture.Scanline(row)[x]);
        }
    if (pixels <= kPassPixels) {
        ProcessingParams params;
        params.effectMode = data[0] % kModeCount;
        fuzz::RunPass(std::move(result.bitmap), params);
    }
    return 0;
}

#include "core/bitmap.h"

#include <gtest/gtest.h>

#include "core/image_set.h"
#include "support/test_support.h"

namespace prismview {
namespace {

TEST(Bitmap, RoundTripKeepsPixelsAndClearsHighBits) {
    PixelBuffer in = test::Varied(13, 7);
    for (std::size_t i = 0; i < in.pixels.size(); i += 3) in.pixels[i] |= 0x5A000000u;
    BitmapHandle bitmap = Bitmap::Create(13, 7);
    ASSERT_TRUE(bitmap);
    ASSERT_TRUE(WritePixels(*bitmap, in));
    const PixelBuffer out = ReadPixels(*bitmap);
    ASSERT_EQ(out.width, 13);
    ASSERT_EQ(out.height, 7);
    for (std::size_t i = 0; i < in.pixels.size(); ++i) EXPECT_EQ(out.pixels[i], in.pixels[i] & 0xFFFFFFu) << i;
}

TEST(Bitmap, BufferRowZeroIsTheBottomOfThePicture) {
    const PixelBuffer in = test::Picture(2, 3, {0x000001, 0x000002,    // top
                                                0x000003, 0x000004,
                                                0x000005, 0x000006});  // bottom
    BitmapHandle bitmap = Bitmap::Create(2, 3);
    ASSERT_TRUE(WritePixels(*bitmap, in));
    EXPECT_EQ(in.At(0, 0), 0x000005u);
    // The screen form is top-down and opaque.
    EXPECT_EQ(bitmap->Scanline(0)[1], 0xFF000002u);
    EXPECT_EQ(bitmap->Scanline(2)[0], 0xFF000005u);
    EXPECT_EQ(PixelAt(*bitmap, 1, 2), 0x000006u);
}

TEST(Bitmap, RefusesImpossibleSizesAndMismatchedBuffers) {
    EXPECT_EQ(Bitmap::Create(0, 5), nullptr);
    EXPECT_EQ(Bitmap::Create(5, -1), nullptr);
    EXPECT_EQ(Bitmap::Create(1 << 20, 1 << 19), nullptr);  // 2 TB: no memory, no crash
    BitmapHandle bitmap = Bitmap::Create(3, 3);
    const PixelBuffer before = ReadPixels(*bitmap);
    EXPECT_FALSE(WritePixels(*bitmap, test::Varied(3, 4)));
    EXPECT_EQ(ReadPixels(*bitmap).pixels, before.pixels);
}

TEST(Bitmap, CopyGivesTheSamePixels) {
    BitmapHandle a = Bitmap::Create(4, 5), b = Bitmap::Create(4, 5), c = Bitmap::Create(5, 4);
    ASSERT_TRUE(WritePixels(*a, test::Varied(4, 5)));
    ASSERT_TRUE(b->CopyFrom(*a));
    EXPECT_EQ(ReadPixels(*b).pixels, ReadPixels(*a).pixels);
    EXPECT_FALSE(c->CopyFrom(*a));
}

TEST(ImageSet, EveryBitmapIsReleasedExactlyOnce) {
    const std::int64_t before = Bitmap::LiveCount();
    {
        ImageSet set;
        InstallBaseImage(set, Bitmap::Create(6, 4));
        EXPECT_EQ(Bitmap::LiveCount(), before + 5);
        EXPECT_EQ(set.width, 6);
        EXPECT_EQ(set.height, 4);
        for (const auto& slot : set.bitmaps) {
            ASSERT_TRUE(slot);
            EXPECT_EQ(slot->Width(), 6);
            EXPECT_EQ(slot->Height(), 4);
        }
        // Replacing the set releases the old five first.
        InstallBaseImage(set, Bitmap::Create(2, 2));
        EXPECT_EQ(Bitmap::LiveCount(), before + 5);
        ReleaseImages(set);
        EXPECT_EQ(Bitmap::LiveCount(), before);
        EXPECT_EQ(set.width, 2);  // the size stays
        EXPECT_FALSE(set.Loaded());
        ReleaseImages(set);  // nothing left to release
        EXPECT_EQ(Bitmap::LiveCount(), before);

        InstallBaseImage(set, nullptr);  // a failed load: empty, size 0
        EXPECT_EQ(set.width, 0);
        EXPECT_EQ(set.height, 0);
        InstallBaseImage(set, Bitmap::Create(3, 3));
    }
    EXPECT_EQ(Bitmap::LiveCount(), before);  // the set's destruction released the last five
}

}  // namespace
}  // namespace prismview

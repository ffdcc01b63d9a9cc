// Bytes offered as pasted or dropped data: as image/png, as image/bmp, as
// the raw picture format of Qt's clipboard, or several of them (the first
// byte chooses), through the paste conversion with the memory guard.
#include <QMimeData>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "fuzz/heap_fill.h"
#include "fuzz/qt_start.h"
#include "io/qt_picture.h"

using namespace prismview;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartReadPath();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned offered = data[0];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    QMimeData mime;
    if (offered & 1) mime.setData(QStringLiteral("image/png"), bytes);
    if (offered & 2) mime.setData(QStringLiteral("image/bmp"), bytes);
    if (offered & 4) mime.setData(QStringLiteral("application/x-qt-image"), bytes);
    if (offered & 8) mime.setText(QString::fromLatin1(bytes.left(64)));

    // Fresh memory is filled differently for the paste and for the read of
    // the same bytes, so that a pixel left as the memory held it differs.
    test::FillFreshHeap(0x11);
    const ReadResult pasted = PictureFromMimeData(mime, fuzz::kReadMemory);
    test::FillFreshHeap(0);
    FUZZ_EXPECT((pasted.bitmap != nullptr) == (pasted.failure == ReadFailure::None));
    FUZZ_EXPECT(pasted.reason.empty() == (pasted.failure == ReadFailure::None));
    if (pasted.bitmap) {
        const std::int64_t pixels = std::int64_t{pasted.bitmap->Width()} * pasted.bitmap->Height();
        FUZZ_EXPECT(pixels > 0 && PictureFitsInMemory(pixels, fuzz::kReadMemory));
    }
    if (offered & 3) {
        // Encoded data is read exactly as a file of the same bytes.
        test::FillFreshHeap(0xC8);
        const ReadResult read = ReadPictureData(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), fuzz::kReadMemory);
        test::FillFreshHeap(0);
        FUZZ_EXPECT(read.failure == pasted.failure);
        if (read.bitmap) {
            FUZZ_EXPECT(read.bitmap->Width() == pasted.bitmap->Width() && read.bitmap->Height() == pasted.bitmap->Height());
            for (std::int32_t row = 0; row < read.bitmap->Height(); ++row)
                for (std::int32_t x = 0; x < read.bitmap->Width(); ++x)
                    FUZZ_EXPECT(read.bitmap->Scanline(row)[x] == pasted.bitmap->Scanline(row)[x]);
        }
    }
    return 0;
}

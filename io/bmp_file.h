// BMP files: reading any variant Qt's image reader accepts, writing 24-bit
// uncompressed bottom-up files byte for byte.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>

#include "core/bitmap.h"
#include "core/image_set.h"

class QImage;

namespace prismview {

// A bitmap holding the picture's colours (any alpha is ignored); null for a
// null picture or when memory runs out.
BitmapHandle BitmapFromImage(QImage image);

// Whether a base picture of this many pixels fits in `available` bytes with
// everything the program keeps for it (the five images and the pass's
// buffers) and the decoding on top; -1 for `available` means unknown and fits.
// A picture that does not fit fails like an unreadable one instead of
// leaving the system to end the program when the memory runs out.
bool PictureFitsInMemory(std::int64_t pixels, std::int64_t available);

// The memory the system can still give: MemAvailable plus SwapFree of a
// /proc/meminfo text, in bytes; -1 when the text does not say.
std::int64_t AvailableMemoryFrom(std::istream& memInfo);
std::int64_t AvailableMemory();  // of this system, or -1

// Reads a BMP file into a new bitmap; null (and the reason in *reason) when
// the file is missing, unreadable, not a BMP file, or too big for memory
// (`availableMemory` bytes, -1 for no limit; see PictureFitsInMemory).
BitmapHandle ReadBmpFile(const std::string& fileName, std::string* reason, std::int64_t availableMemory);
BitmapHandle ReadBmpFile(const std::string& fileName, std::string* reason = nullptr);  // this system's memory

// Replaces the image set by the file's picture in slot 0 and four derived
// images of its size. On failure the set is empty with size 0 x 0.
void LoadBaseImage(ImageSet& images, const std::string& fileName);

// The 54 header bytes of a 24-bit bottom-up file of that size.
std::array<std::uint8_t, 54> BmpHeader(std::int32_t width, std::int32_t height);

enum class WriteResult {
    Written,
    CannotCreate,  // the file could not be created (bad name, no access)
    WriteFailed,   // creating worked, writing did not; nothing on disk changed
};

// Writes the bitmap as a 24-bit BMP file. The bytes go to a temporary file in
// the same folder, which replaces the target only once all of them are
// written; on any failure the target is left exactly as it was.
WriteResult WriteBmpFile(const std::string& fileName, const Bitmap& bitmap, std::string* reason = nullptr);

}  // namespace prismview

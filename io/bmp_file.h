// BMP files: reading any variant Qt's image reader accepts, writing 24-bit
// uncompressed bottom-up files byte for byte.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/bitmap.h"
#include "core/image_set.h"

class QImage;

namespace prismview {

// A bitmap holding the picture's colours (any alpha is ignored); null for a
// null picture or when memory runs out.
BitmapHandle BitmapFromImage(QImage image);

// Reads a BMP file into a new bitmap; null (and the reason in *reason) when
// the file is missing, unreadable, not a BMP file, or too big for memory.
BitmapHandle ReadBmpFile(const std::string& fileName, std::string* reason = nullptr);

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

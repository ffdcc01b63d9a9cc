// BMP files written byte for byte: 24-bit, uncompressed, bottom-up rows.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/bitmap.h"

namespace prismview {

// The 54 header bytes of a 24-bit bottom-up file of that size.
std::array<std::uint8_t, 54> BmpHeader(std::int32_t width, std::int32_t height);

enum class WriteResult {
    Written,
    CannotCreate,   // the file could not be created (bad name, no access)
    WriteFailed,    // creating worked, writing did not; nothing on disk changed
    UnknownFormat,  // no writer for the name's extension; nothing written
};

// Writes the bitmap as a 24-bit BMP file. The bytes go to a temporary file in
// the same folder, which replaces the target only once all of them are
// written; on any failure the target is left exactly as it was.
WriteResult WriteBmpFile(const std::string& fileName, const Bitmap& bitmap, std::string* reason = nullptr);

// Takes bytes for a file; false when they could not all be written.
using PutBytes = std::function<bool(const char* data, std::size_t size)>;

// The bytes of the bitmap's 24-bit BMP file, handed to `put` header first,
// then a few rows at a time; false as soon as `put` refuses some. The caller
// has checked that the header's 32-bit sizes can describe the picture.
bool PutBmpBytes(const Bitmap& bitmap, const PutBytes& put);

// The writing every format shares: `produce` hands the file's bytes to `put`
// in order and returns false when it stops early. They go to a temporary file
// in the same folder that replaces `fileName` only when every byte is in.
WriteResult WriteFileAtomically(const std::string& fileName, const std::function<bool(const PutBytes& put)>& produce,
                                std::string* reason);

}  // namespace prismview

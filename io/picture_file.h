// Pictures in and out: the one read path for files, standard input, dropped
// and pasted data (any format Qt's image reader knows on this machine), and
// saving by the file name's extension.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/bitmap.h"
#include "core/image_set.h"
#include "io/bmp_file.h"

namespace prismview {

enum class ReadFailure {
    None,
    CannotOpen,    // missing file, no access, a folder
    NotAPicture,   // no reader knows the bytes
    Damaged,       // a known format that does not decode
    TooBig,        // the header's size does not fit in memory
};

// A picture as the effects see it: opaque 8-bit RGB, upright, in sRGB.
struct ReadResult {
    BitmapHandle bitmap;  // null on failure
    ReadFailure failure = ReadFailure::None;
    std::string reason;   // one line for the user, empty on success
    // With a bitmap: why the decoder had to make up part of it (a file cut
    // short, corrupt data), in the decoder's words; empty for a complete
    // picture.
    std::string damage;
};

// Whether a base picture of this many pixels fits in `available` bytes with
// everything the program keeps for it (the five images and the pass's
// buffers) and the decoding on top; -1 for `available` means unknown and fits.
// A picture that does not fit fails like an unreadable one instead of
// leaving the system to end the program when the memory runs out.
bool PictureFitsInMemory(std::int64_t pixels, std::int64_t available);
// The ceiling for one decoded picture that goes with it, in whole MB as Qt's
// image readers take it: the 32-bit pixels of the largest picture that fits
// (at least 1 MB; 0, no ceiling, for unknown memory). It stops decoders whose
// header tells no size before the check above can.
int DecodeLimitMegabytes(std::int64_t available);
// "too big: W × H pixels need about N MB"
std::string TooBigReason(std::int64_t width, std::int64_t height);

// The memory the system can still give: MemAvailable plus SwapFree of a
// /proc/meminfo text, in bytes; -1 when the text does not say.
std::int64_t AvailableMemoryFrom(std::istream& memInfo);
std::int64_t AvailableMemory();  // of this system, or -1

// Reads a picture file of any readable format. The size in the header is
// checked against `availableMemory` (-1: no limit) before any pixel is
// decoded. EXIF orientation and colour profiles are applied, 16-bit, grey and
// paletted pictures become 8-bit RGB, transparency is laid over white. BMP
// files keep their colours exactly, any alpha ignored; channels of fewer or
// more than 8 bits are spread over 0..255. A picture the decoder could only
// read in part (a JPEG or GIF file cut short) comes with its `damage`.
ReadResult ReadPictureFile(const std::string& fileName, std::int64_t availableMemory);
ReadResult ReadPictureFile(const std::string& fileName);  // this system's memory
// The same for a picture held in memory (standard input, dropped or pasted data).
ReadResult ReadPictureData(std::string_view bytes, std::int64_t availableMemory);
ReadResult ReadPictureData(std::string_view bytes);


// File name patterns of every readable format, "*.bmp" first ("*.bmp *.png ...").
std::vector<std::string> ReadablePatterns();

enum class SaveFormat { Bmp, Png, Jpeg, Webp, Tiff, Unknown };
// The format a file name's extension asks for (case ignored); a name without
// extension is a BMP file.
SaveFormat SaveFormatFor(std::string_view fileName);
// The formats a picture can be saved in, in the order the save dialog and the
// batch tool offer them: a name to show, the extensions (the first the usual
// one; an empty second when there is one), and Qt's name of the format.
struct SavableFormat {
    SaveFormat format;
    std::string_view name;
    std::array<std::string_view, 2> extensions;
    const char* qtFormat;
};
std::span<const SavableFormat> SavableFormats();
// The extensions a picture can be saved under, as ".bmp .png ...".
std::string SavableExtensions();

// How JPEG and WebP are encoded: the quality (1 to 100, as the encoders
// count it) or, for WebP, lossless. The other formats are always lossless.
struct WriteOptions {
    std::int32_t quality = kDefaultQuality;
    bool lossless = false;
    static constexpr std::int32_t kDefaultQuality = 95;
};

// Writes the bitmap in the format of the name's extension: BMP through our
// own 24-bit writer, the others through Qt's image writer (JPEG and WebP as
// the options say; PNG at a zlib level chosen for speed). Same promise for every format: a temporary file in the same
// folder replaces the target only when complete; on any failure the target
// stays as it was and no temporary file is left. An unknown extension writes
// nothing and gives WriteResult::UnknownFormat.
WriteResult WritePictureFile(const std::string& fileName, const Bitmap& bitmap, std::string* reason = nullptr,
                             const WriteOptions& options = {});

// Several pictures written as WritePictureFile writes each: the encoding of
// all of them at once, one thread each, then the files in order. Stops at
// the first that fails (nothing after it is written) and returns its index,
// with the reason; returns the count when every file was written.
struct PictureToWrite {
    std::string fileName;
    const Bitmap* bitmap;
};
std::size_t WritePictureFiles(std::span<const PictureToWrite> pictures, std::string* reason,
                              const WriteOptions& options = {});
// The same as one: every picture is written to a temporary file beside its
// target first, and only once all of them are complete do they replace
// their targets (a symbolic link is followed); on a failure to write no
// target is replaced and no temporary file stays (only a rename refused
// midway, in the folder the files were just written in, leaves the ones
// before it replaced). Returns the index of the one that
// failed, with the reason, or the count.
std::size_t WritePictureSet(std::span<const PictureToWrite> pictures, std::string* reason,
                            const WriteOptions& options = {});

}  // namespace prismview

#include "io/png_writer.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <thread>
#include <vector>

namespace prismview {

namespace {

constexpr int kLevel = 1;                       // zlib's fastest
constexpr std::int64_t kBandBytes = 1 << 22;    // the filtered bytes one thread deflates at a time, at least
constexpr std::size_t kChunkBytes = 1 << 20;    // the largest IDAT chunk written

void PutU32(std::string& out, std::uint32_t v) {
    const char bytes[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                           static_cast<char>(v)};
    out.append(bytes, 4);
}

void PutChunk(std::string& out, const char type[4], const char* data, std::size_t size) {
    PutU32(out, static_cast<std::uint32_t>(size));
    const std::size_t start = out.size();
    out.append(type, 4);
    out.append(data, size);
    PutU32(out, static_cast<std::uint32_t>(
                    crc32(0, reinterpret_cast<const Bytef*>(out.data() + start), static_cast<uInt>(size + 4))));
}

int Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Row `raw` filtered with one of PNG's five filters into `out`; returns the
// sum of the filtered bytes' magnitudes as signed bytes. `above` holds the
// previous row (all zero for the first).
template <int kFilter>
std::uint64_t Filter(const std::uint8_t* raw, const std::uint8_t* above, std::int64_t bytes, std::uint8_t* out) {
    std::uint64_t sum = 0;
    for (std::int64_t i = 0; i < bytes; ++i) {
        const int a = i >= 3 ? raw[i - 3] : 0, b = above[i];
        int predicted = 0;
        if constexpr (kFilter == 1) predicted = a;
        if constexpr (kFilter == 2) predicted = b;
        if constexpr (kFilter == 3) predicted = (a + b) / 2;
        if constexpr (kFilter == 4) predicted = Paeth(a, b, i >= 3 ? above[i - 3] : 0);
        const auto value = static_cast<std::uint8_t>(raw[i] - predicted);
        out[i] = value;
        sum += value < 128 ? value : 256u - value;
    }
    return sum;
}

// One row as PNG's filter byte and filtered bytes, into `out` (1 + 3 w
// bytes): the filter with the smallest sum, as libpng chooses.
void FilterRow(const std::uint8_t* raw, const std::uint8_t* above, std::int64_t bytes, std::uint8_t* out,
               std::array<std::vector<std::uint8_t>, 5>& trial) {
    const std::uint64_t sums[5] = {
        Filter<0>(raw, above, bytes, trial[0].data()), Filter<1>(raw, above, bytes, trial[1].data()),
        Filter<2>(raw, above, bytes, trial[2].data()), Filter<3>(raw, above, bytes, trial[3].data()),
        Filter<4>(raw, above, bytes, trial[4].data())};
    const auto chosen = static_cast<std::size_t>(std::min_element(sums, sums + 5) - sums);
    out[0] = static_cast<std::uint8_t>(chosen);
    std::copy_n(trial[chosen].data(), bytes, out + 1);
}

// Rows [first, end) filtered and deflated as a piece of a raw deflate
// stream: flushed to a byte boundary, finished only when `last`. Records
// the Adler-32 of the filtered bytes.
bool DeflateBand(const Bitmap& bitmap, std::int32_t first, std::int32_t end, bool last, std::string& out,
                 uLong& adler, uLong& length) {
    const std::int64_t rowBytes = std::int64_t{bitmap.Width()} * 3;
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(rowBytes)), above(static_cast<std::size_t>(rowBytes), 0),
        filtered(static_cast<std::size_t>(rowBytes + 1));
    std::array<std::vector<std::uint8_t>, 5> trial;
    for (auto& t : trial) t.resize(static_cast<std::size_t>(rowBytes));
    auto rgb = [&](std::int32_t row, std::vector<std::uint8_t>& into) {
        const std::uint32_t* pixels = bitmap.Scanline(row);
        for (std::int32_t x = 0; x < bitmap.Width(); ++x) {
            into[static_cast<std::size_t>(3 * x)] = static_cast<std::uint8_t>(pixels[x] >> 16);
            into[static_cast<std::size_t>(3 * x + 1)] = static_cast<std::uint8_t>(pixels[x] >> 8);
            into[static_cast<std::size_t>(3 * x + 2)] = static_cast<std::uint8_t>(pixels[x]);
        }
    };
    if (first > 0) rgb(first - 1, above);
    z_stream z{};
    if (deflateInit2(&z, kLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    adler = adler32(0, nullptr, 0);
    length = 0;
    std::array<unsigned char, 1 << 16> buffer;
    bool ok = true;
    for (std::int32_t row = first; row < end && ok; ++row) {
        rgb(row, raw);
        FilterRow(raw.data(), above.data(), rowBytes, filtered.data(), trial);
        std::swap(raw, above);
        adler = adler32(adler, filtered.data(), static_cast<uInt>(filtered.size()));
        length += static_cast<uLong>(filtered.size());
        z.next_in = filtered.data();
        z.avail_in = static_cast<uInt>(filtered.size());
        const int flush = row + 1 < end ? Z_NO_FLUSH : last ? Z_FINISH : Z_SYNC_FLUSH;
        do {
            z.next_out = buffer.data();
            z.avail_out = static_cast<uInt>(buffer.size());
            const int result = deflate(&z, flush);
            if (result == Z_STREAM_ERROR) ok = false;
            out.append(reinterpret_cast<const char*>(buffer.data()), buffer.size() - z.avail_out);
        } while (ok && z.avail_out == 0);  // a full buffer: there may be more
    }
    deflateEnd(&z);
    return ok;
}

}  // namespace

bool EncodePng(const Bitmap& bitmap, std::string& encoded, std::int32_t bandsAsked) {
    encoded.clear();
    try {
        const std::int32_t width = bitmap.Width(), height = bitmap.Height();
        const std::int64_t rowBytes = std::int64_t{width} * 3 + 1;
        // Bands of whole rows, as many as there are cores (and bytes to share).
        const std::int64_t cores = std::max(1u, std::thread::hardware_concurrency());
        const std::int64_t bands =
            bandsAsked > 0 ? std::min<std::int64_t>(bandsAsked, height)
                           : std::clamp<std::int64_t>(rowBytes * height / kBandBytes, 1, std::min<std::int64_t>(cores, height));
        std::vector<std::string> pieces(static_cast<std::size_t>(bands));
        std::vector<uLong> adlers(pieces.size()), lengths(pieces.size());
        std::vector<char> ok(pieces.size(), 0);
        {
            std::vector<std::jthread> workers;
            for (std::int64_t b = 0; b < bands; ++b)
                workers.emplace_back([&, b] {
                    const auto i = static_cast<std::size_t>(b);
                    try {
                        ok[i] = DeflateBand(bitmap, static_cast<std::int32_t>(height * b / bands),
                                            static_cast<std::int32_t>(height * (b + 1) / bands), b + 1 == bands, pieces[i],
                                            adlers[i], lengths[i]);
                    } catch (const std::bad_alloc&) {
                        ok[i] = 0;
                    }
                });
        }
        if (std::find(ok.begin(), ok.end(), 0) != ok.end()) return false;

        // The zlib stream: its header, the joined deflate pieces, the Adler-32
        // of all filtered bytes.
        uLong adler = adlers[0];
        for (std::size_t i = 1; i < pieces.size(); ++i) adler = adler32_combine(adler, adlers[i], static_cast<z_off_t>(lengths[i]));
        std::string stream = "\x78\x01";
        for (std::string& piece : pieces) {
            stream += piece;
            std::string().swap(piece);
        }
        PutU32(stream, static_cast<std::uint32_t>(adler));

        encoded.reserve(stream.size() + stream.size() / kChunkBytes * 12 + 64);
        encoded.append("\x89PNG\r\n\x1a\n", 8);
        std::string header;
        PutU32(header, static_cast<std::uint32_t>(width));
        PutU32(header, static_cast<std::uint32_t>(height));
        header.append("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, adaptive filters, not interlaced
        PutChunk(encoded, "IHDR", header.data(), header.size());
        for (std::size_t at = 0; at < stream.size(); at += kChunkBytes)
            PutChunk(encoded, "IDAT", stream.data() + at, std::min(kChunkBytes, stream.size() - at));
        PutChunk(encoded, "IEND", nullptr, 0);
        return true;
    } catch (const std::bad_alloc&) {
        encoded.clear();
        return false;
    }
}

}  // namespace prismview

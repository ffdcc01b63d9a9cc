#include "io/gif_file.h"

#include <algorithm>
#include <array>
#include <vector>

#include "io/picture_file.h"

namespace prismview {

namespace {

constexpr QRgb kWhite = 0xFFFFFFFFu;

class Bytes {
public:
    explicit Bytes(const QByteArray& bytes) : bytes_(bytes) {}
    qsizetype Size() const { return bytes_.size(); }
    bool Has(qsizetype at, qsizetype count) const { return at >= 0 && count <= bytes_.size() - at; }
    std::uint8_t At(qsizetype at) const { return static_cast<std::uint8_t>(bytes_[at]); }
    std::int64_t Word(qsizetype at) const { return At(at) | At(at + 1) << 8; }

private:
    const QByteArray& bytes_;
};

// The colour table that `flags` (a screen's or a frame's) announces, read
// from `at`, which moves past it; false when the bytes end inside it. No
// table: an empty one.
bool ReadColourTable(const Bytes& bytes, std::uint8_t flags, qsizetype& at, std::vector<QRgb>& table) {
    if (!(flags & 0x80)) return true;
    const int count = 2 << (flags & 7);
    if (!bytes.Has(at, 3 * count)) return false;
    table.resize(static_cast<std::size_t>(count));
    for (QRgb& colour : table) colour = qRgb(bytes.At(at), bytes.At(at + 1), bytes.At(at + 2)), at += 3;
    return true;
}

// The rows of a frame in the order its data gives them: top to bottom, or
// the four interlace passes (every eighth row from 0, from 4, every fourth
// from 2, every second from 1). Done once no row is left or the last pass
// has gone past the `visible` rows: nothing after that reaches the screen.
class RowOrder {
public:
    RowOrder(std::int64_t height, std::int64_t visible, bool interlaced)
        : height_(height), visible_(visible), passes_(interlaced ? 4 : 1) {
        Settle();
    }
    std::int64_t Row() const { return row_; }
    bool Done() const { return pass_ >= passes_ || (pass_ == passes_ - 1 && row_ >= visible_); }
    void Next() {
        row_ += passes_ > 1 ? kStep[static_cast<std::size_t>(pass_)] : 1;
        Settle();
    }

private:
    static constexpr std::array<std::int64_t, 4> kStart = {0, 4, 2, 1}, kStep = {8, 8, 4, 2};
    void Settle() {
        while (pass_ < passes_ && row_ >= height_)
            if (++pass_ < passes_) row_ = kStart[static_cast<std::size_t>(pass_)];
    }
    std::int64_t height_, visible_;
    int passes_;
    int pass_ = 0;
    std::int64_t row_ = 0;
};

std::string Size(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " × " + std::to_string(height);
}

}  // namespace

GifPicture ReadGif(const QByteArray& data, std::int64_t availableMemory) {
    GifPicture result;
    const Bytes bytes(data);
    auto fail = [&result](std::string error) {
        result.error = std::move(error);
        return std::move(result);
    };
    if (!bytes.Has(0, 13)) return fail("the file ends in its header");
    std::int64_t screenWidth = bytes.Word(6), screenHeight = bytes.Word(8);
    const std::uint8_t screenFlags = bytes.At(10), background = bytes.At(11);
    qsizetype at = 13;
    std::vector<QRgb> global;
    if (!ReadColourTable(bytes, screenFlags, at, global)) return fail("the file ends in its colour table");
    // Extensions come before the first picture; of them only the graphic
    // control block matters here, for its transparent colour.
    int transparent = -1;
    while (bytes.Has(at, 1) && bytes.At(at) == 0x21) {
        const bool control = bytes.Has(at, 2) && bytes.At(at + 1) == 0xF9;
        at += 2;
        if (control && bytes.Has(at, 5) && bytes.At(at) >= 4) transparent = bytes.At(at + 1) & 1 ? bytes.At(at + 4) : -1;
        while (bytes.Has(at, 1) && bytes.At(at) != 0) at += bytes.At(at) + 1;
        ++at;
    }
    if (!bytes.Has(at, 1)) return fail("the file ends before its first picture");
    if (bytes.At(at) != 0x2C) return fail("no picture before the end of the file");
    if (!bytes.Has(at, 10)) return fail("the file ends in its first picture's descriptor");
    const std::int64_t left = bytes.Word(at + 1), top = bytes.Word(at + 3);
    const std::int64_t width = bytes.Word(at + 5), height = bytes.Word(at + 7);
    const std::uint8_t frameFlags = bytes.At(at + 9);
    at += 10;
    // As Qt's reader takes the screen, so that the picture has the size it reports.
    if (screenWidth / 10 > std::max<std::int64_t>(width, 16384)) screenWidth = 0;
    if (screenHeight / 10 > std::max<std::int64_t>(height, 16384)) screenHeight = 0;
    if (screenWidth == 0) screenWidth = left + width;
    if (screenHeight == 0) screenHeight = top + height;
    if (screenWidth == 0 || screenHeight == 0) return fail("a picture of no pixels");
    if (!PictureFitsInMemory(screenWidth * screenHeight, availableMemory)) {
        result.tooBig = true;
        return fail(TooBigReason(screenWidth, screenHeight));
    }
    std::vector<QRgb> local;
    if (!ReadColourTable(bytes, frameFlags, at, local)) return fail("the file ends in its first picture's colour table");
    const std::vector<QRgb>& table = frameFlags & 0x80 ? local : global;
    const QRgb fill = transparent < 0 && background < global.size() ? global[background] : kWhite;
    result.image = QImage(static_cast<int>(screenWidth), static_cast<int>(screenHeight), QImage::Format_RGB32);
    if (result.image.isNull()) return fail("not enough memory for the picture");
    result.image.fill(fill);

    // The part of the frame on the screen, and how many of its pixels the data gave.
    const std::int64_t shownWidth = std::max<std::int64_t>(0, std::min(left + width, screenWidth) - left);
    const std::int64_t shownHeight = std::max<std::int64_t>(0, std::min(top + height, screenHeight) - top);
    std::int64_t shown = 0;
    RowOrder rows(height, shownHeight, frameFlags & 0x40);
    std::int64_t column = 0;
    QRgb* line = nullptr;
    auto seekRow = [&] {
        const std::int64_t y = top + rows.Row();
        line = !rows.Done() && y < screenHeight ? reinterpret_cast<QRgb*>(result.image.scanLine(static_cast<int>(y))) : nullptr;
    };
    seekRow();
    auto put = [&](int index) {
        if (line && column < shownWidth) {
            line[left + column] = index == transparent || index >= static_cast<int>(table.size()) ? kWhite : table[static_cast<std::size_t>(index)];
            ++shown;
        }
        if (++column == width) {
            column = 0;
            rows.Next();
            seekRow();
        }
    };

    // LZW: each code stands for its prefix's string and one more index.
    const int minimum = bytes.Has(at, 1) ? bytes.At(at++) : 0;
    if (minimum >= 1 && minimum <= 11 && width > 0) {
        const int clear = 1 << minimum, end = clear + 1;
        std::array<std::uint16_t, 4096> prefix{}, suffix{};
        std::array<std::uint16_t, 4097> stack{};
        int codeSize = minimum + 1, next = clear + 2, previous = -1, first = 0;
        std::uint32_t bits = 0;
        int bitCount = 0;
        bool stopped = false;
        while (!stopped && !rows.Done() && bytes.Has(at, 1)) {
            const int blockSize = bytes.At(at++);
            if (blockSize == 0) break;
            const qsizetype blockEnd = std::min<qsizetype>(at + blockSize, bytes.Size());
            for (; at < blockEnd && !stopped && !rows.Done(); ++at) {
                bits |= static_cast<std::uint32_t>(bytes.At(at)) << bitCount;
                bitCount += 8;
                while (bitCount >= codeSize && !stopped && !rows.Done()) {
                    int code = static_cast<int>(bits & ((1u << codeSize) - 1));
                    bits >>= codeSize;
                    bitCount -= codeSize;
                    if (code == clear) {
                        codeSize = minimum + 1;
                        next = clear + 2;
                        previous = -1;
                        continue;
                    }
                    if (code == end || (previous < 0 && code > clear) || code > next) {
                        stopped = true;  // the end code, or a code no decoder can follow
                        continue;
                    }
                    if (previous < 0) {
                        first = code;
                        put(code);
                        previous = code;
                        continue;
                    }
                    const int incoming = code;
                    std::size_t depth = 0;
                    if (code == next) {  // the string just being made: its first index comes last
                        stack[depth++] = static_cast<std::uint16_t>(first);
                        code = previous;
                    }
                    while (code > end) {
                        stack[depth++] = suffix[static_cast<std::size_t>(code)];
                        code = prefix[static_cast<std::size_t>(code)];
                    }
                    first = code;
                    stack[depth++] = static_cast<std::uint16_t>(first);
                    while (depth > 0 && !rows.Done()) put(stack[--depth]);
                    if (next < 4096) {
                        prefix[static_cast<std::size_t>(next)] = static_cast<std::uint16_t>(previous);
                        suffix[static_cast<std::size_t>(next)] = static_cast<std::uint16_t>(first);
                        if (++next == 1 << codeSize && codeSize < 12) ++codeSize;
                    }
                    previous = incoming;
                }
            }
        }
    }
    const std::int64_t wanted = shownWidth * shownHeight;
    if (wanted == 0)
        result.damage = "the first frame (" + Size(width, height) + " at " + std::to_string(left) + ", " +
                        std::to_string(top) + ") lies outside the " + Size(screenWidth, screenHeight) + " picture";
    else if (shown < wanted)
        result.damage = "the data holds " + std::to_string(shown) + " of the " + Size(shownWidth, shownHeight) + " pixels";
    if (!result.damage.empty() && (shownWidth < width || shownHeight < height) && wanted > 0)
        result.damage += " (the first frame claims " + Size(width, height) + " at " + std::to_string(left) + ", " +
                         std::to_string(top) + ", beyond the " + Size(screenWidth, screenHeight) + " picture)";
    return result;
}

}  // namespace prismview

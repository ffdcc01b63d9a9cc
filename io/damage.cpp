#include "io/damage.h"

#include <QLoggingCategory>
#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string_view>

namespace prismview {

namespace {

thread_local std::vector<std::string>* tKept = nullptr;  // the innermost DecoderMessages of this thread
thread_local bool tPassingOn = false;
std::atomic<QtMessageHandler> gPrevious{nullptr};
std::atomic<QLoggingCategory::CategoryFilter> gPreviousFilter{nullptr};

// Qt's own readers (PNG, JPEG, GIF...) log under qt.gui.imageio*.
bool FromDecoder(const char* category) {
    return category && std::string_view(category).starts_with("qt.gui.imageio");
}

void Handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (tKept && FromDecoder(context.category)) {
        tKept->push_back(message.toStdString());
        return;
    }
    // A handler installed after ours that hands messages back to its
    // predecessor would otherwise send them round for ever.
    const QtMessageHandler previous = gPrevious.load();
    if (tPassingOn || !previous) return;
    tPassingOn = true;
    previous(type, context, message);
    tPassingOn = false;
}

// The decoders' warnings are what tells damage: logging rules that turn
// them off (QT_LOGGING_RULES="*.warning=false") must not hide it.
void KeepDecoderWarnings(QLoggingCategory* category) {
    if (const QLoggingCategory::CategoryFilter previous = gPreviousFilter.load()) previous(category);
    if (FromDecoder(category->categoryName())) category->setEnabled(QtWarningMsg, true);
}

// Ours goes in front of whatever handler is there now, once per handler:
// the batch tool and the fuzz targets install theirs before the first read.
void InstallHandler() {
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    const QtMessageHandler previous = qInstallMessageHandler(Handler);
    if (previous != Handler) gPrevious.store(previous);
    static std::once_flag filter;
    std::call_once(filter, [] { gPreviousFilter.store(QLoggingCategory::installFilter(KeepDecoderWarnings)); });
}

// libjpeg's warnings about the picture's data: cut short, or not what its
// codes promise (stray bytes before the end marker are what a scan decoded
// from corrupt codes leaves over). An unknown JFIF version or a bad ICC
// marker leave every pixel as the file has it.
bool MeansDamage(std::string_view message) {
    if (message.find("bad ICC marker") != std::string_view::npos) return false;
    constexpr std::array<std::string_view, 3> kDamage = {
        "Corrupt JPEG data", "Premature end of JPEG file", "Inconsistent progression sequence"};
    for (std::string_view damage : kDamage)
        if (message.find(damage) != std::string_view::npos) return true;
    return false;
}

}  // namespace

DecoderMessages::DecoderMessages() : outer_(tKept) {
    InstallHandler();
    tKept = &messages_;
}

DecoderMessages::~DecoderMessages() { tKept = outer_; }

std::string DecoderMessages::Damage() const {
    for (const std::string& message : messages_)
        if (MeansDamage(message)) return message;
    return {};
}

std::string GifDamage(const QByteArray& bytes, bool whole) {
    const auto size = bytes.size();
    auto byte = [&bytes](qsizetype at) { return static_cast<std::uint8_t>(bytes[at]); };
    auto word = [&](qsizetype at) { return static_cast<std::int64_t>(byte(at) | byte(at + 1) << 8); };
    if (size < 13 || !bytes.startsWith("GIF")) return {};
    qsizetype at = 13;
    if (byte(10) & 0x80) at += qsizetype{3} << ((byte(10) & 7) + 1);  // the global colour table
    const std::string cutShort = whole ? "the file ends before the picture's data" : "";
    // Extensions come before the first picture; anything else is left to Qt.
    while (at < size && byte(at) == 0x21) {
        at += 2;
        while (at < size && byte(at) != 0) at += byte(at) + 1;
        ++at;
    }
    if (at >= size) return cutShort;
    if (byte(at) != 0x2C) return {};
    if (at + 11 > size) return cutShort;
    const std::int64_t width = word(at + 5), height = word(at + 7);
    const std::uint8_t flags = byte(at + 9);
    at += 10;
    if (flags & 0x80) at += qsizetype{3} << ((flags & 7) + 1);  // a local colour table
    if (at >= size) return cutShort;
    const int minimum = byte(at++);
    if (minimum < 2 || minimum > 11) return {};

    // The LZW codes only counted: each table entry's length is its
    // predecessor's plus one.
    const int clear = 1 << minimum, end = clear + 1;
    std::array<std::int32_t, 4096> length{};
    for (int code = 0; code < clear; ++code) length[static_cast<std::size_t>(code)] = 1;
    int codeSize = minimum + 1, next = clear + 2, previous = -1;
    std::uint32_t bits = 0;
    int bitCount = 0;
    std::int64_t pixels = 0;
    const std::int64_t wanted = width * height;
    bool stopped = false;
    bool ranOut = false;  // the bytes end inside the data
    while (!stopped && pixels < wanted) {
        if (at >= size) {
            ranOut = true;
            break;
        }
        const int blockSize = byte(at++);
        if (blockSize == 0) break;
        ranOut = at + blockSize > size;
        for (qsizetype i = at; i < std::min(at + blockSize, size) && !stopped && pixels < wanted; ++i) {
            bits |= static_cast<std::uint32_t>(byte(i)) << bitCount;
            bitCount += 8;
            while (bitCount >= codeSize && !stopped && pixels < wanted) {
                const int code = static_cast<int>(bits & ((1u << codeSize) - 1));
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
                    pixels += 1;
                } else {
                    const std::int32_t grown = length[static_cast<std::size_t>(previous)] + 1;
                    pixels += code == next ? grown : length[static_cast<std::size_t>(code)];
                    if (next < 4096) {
                        length[static_cast<std::size_t>(next++)] = grown;
                        if (next == 1 << codeSize && codeSize < 12) ++codeSize;
                    }
                }
                previous = code;
            }
        }
        at += blockSize;
    }
    if (pixels >= wanted || (ranOut && !whole)) return {};
    return "the data holds " + std::to_string(pixels) + " of the " + std::to_string(width) + " × " +
           std::to_string(height) + " pixels";
}

}  // namespace prismview

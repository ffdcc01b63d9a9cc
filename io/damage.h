// Telling a complete picture from one a decoder patched up. Qt's readers
// return true for a JPEG cut short (the rest comes out grey); libjpeg says so
// only in a warning. (GIF files are decoded by our own reader, which tells.)
#pragma once

#include <QByteArray>

#include <string>
#include <vector>

namespace prismview {

// While one lives, the image decoders' messages on this thread are kept here
// instead of going to the terminal; other messages and other threads' pass
// on to the handler that was installed before. Nests.
class DecoderMessages {
public:
    DecoderMessages();
    ~DecoderMessages();
    DecoderMessages(const DecoderMessages&) = delete;
    DecoderMessages& operator=(const DecoderMessages&) = delete;

    // The first message that means pixels were made up (data cut short or
    // corrupt), or empty. Harmless notes (an unknown JFIF version, a PNG
    // file's ancillary chunk with a bad checksum) do not count.
    std::string Damage() const;

private:
    std::vector<std::string> messages_;
    std::vector<std::string>* outer_;
};

}  // namespace prismview

// Telling a complete picture from one a decoder patched up. Qt's readers
// return true for a JPEG cut short (the rest comes out grey) and a GIF cut
// short (the rest comes out in the background colour); libjpeg says so only
// in a warning, Qt's GIF reader not at all.
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

// Whether the first picture of a GIF file has all its pixels: empty when it
// has (or the bytes are no GIF file this check understands), else why not.
// `whole`: the bytes are the whole file; otherwise running out of them
// tells nothing.
std::string GifDamage(const QByteArray& bytes, bool whole);

}  // namespace prismview

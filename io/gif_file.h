// The first picture of a GIF file, decoded here instead of by Qt's reader:
// Qt's reader leaves the part of the picture that a damaged first frame does
// not reach (data cut short, a frame beside or larger than the screen, a
// code size it gives up on) as the memory held it. Here every pixel is set:
// what the frame's data gives, and elsewhere the file's background colour.
#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <string>

namespace prismview {

struct GifPicture {
    QImage image;        // RGB32, the logical screen's size; null on failure
    std::string error;   // why there is no picture (the file ends before it...)
    bool tooBig = false; // the screen does not fit in memory (error says its size)
    // With a picture: why part of it is the background colour, empty when
    // the first frame gives every pixel.
    std::string damage;
};

// The colour of the parts no pixel of the frame reaches: white where the
// first frame has a transparent colour (laid over white, as every
// transparent pixel is) or the file has no global colour table or its
// background index lies past it; else that table's background colour.
// A pixel whose index has no colour in its table is white too.
//
// The screen is the header's logical screen, with Qt's reader's rules where
// that says nothing sensible (a zero side, or one ten times the frame's and
// above 163,840 pixels, is the frame's far edge), so the picture keeps the
// size Qt reports; it is measured against `availableMemory` (-1: no limit)
// before any pixel is made.
GifPicture ReadGif(const QByteArray& bytes, std::int64_t availableMemory);

}  // namespace prismview

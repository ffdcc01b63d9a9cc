// The read path's Qt side, for the parts of the program that hold Qt
// pictures or devices (the clipboard, dropped data).
#pragma once

#include <QImage>

#include "io/picture_file.h"

class QIODevice;
class QMimeData;

namespace prismview {

// A bitmap holding the picture's colours exactly (any alpha is ignored); null
// for a null picture or when memory runs out.
BitmapHandle BitmapFromImage(QImage image);

// A copy of the bitmap as a Qt picture (RGB32, the same layout), for Qt's
// writers and the clipboard; a null picture when memory runs out.
QImage ImageFromBitmap(const Bitmap& bitmap);

// Reads one picture from an open device: the size in the header is checked
// against `availableMemory` (-1: no limit) before any pixel is decoded, then
// the picture is made opaque 8-bit sRGB, upright (see ReadPictureFile).
ReadResult ReadPicture(QIODevice& device, std::int64_t availableMemory);

// A picture someone else decoded (an image on the clipboard of our own
// process): the same size check and conversions.
ReadResult PictureFromImage(QImage image, std::int64_t availableMemory);

// The picture in pasted or dropped data: encoded bytes (image/png,
// image/bmp, ...) go through ReadPicture, so their size is checked before
// they are decoded; a picture our own process offered comes decoded. Fails
// with NotAPicture when the data holds none.
ReadResult PictureFromMimeData(const QMimeData& data, std::int64_t availableMemory);

}  // namespace prismview

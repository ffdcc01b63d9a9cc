#include "platform/qt_canvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QString>

#include <algorithm>

#include "platform/qt_text.h"

namespace prismview {

namespace {

QColor ToQColor(RgbValue colour) { return QColor::fromRgb(static_cast<QRgb>(colour | 0xFF000000u)); }

}  // namespace

QtCanvas::QtCanvas(QPainter& painter, qreal pixelRatio) : painter_(painter), pixelRatio_(pixelRatio) {
    if (pixelRatio_ != 1) painter_.scale(1 / pixelRatio_, 1 / pixelRatio_);
}

QRect QtCanvas::TextRect(const QFont& font, Point at, std::string_view text) {
    const QFontMetrics metrics(font);
    return QRect(at.x, at.y, metrics.horizontalAdvance(ToQString(text)), metrics.height());
}

void QtCanvas::DrawText(Point at, std::string_view text) {
    if (text.empty()) return;
    const QString s = ToQString(text);
    const QFontMetrics metrics(painter_.font());
    painter_.save();
    painter_.translate(at.x, at.y);
    painter_.scale(pixelRatio_, pixelRatio_);  // widget pixels again, for the font's own size
    // Opaque white behind black text; `at` is the text's top-left corner.
    painter_.fillRect(QRect(0, 0, metrics.horizontalAdvance(s), metrics.height()), Qt::white);
    painter_.setPen(Qt::black);
    painter_.drawText(0, metrics.ascent(), s);
    painter_.restore();
}

void QtCanvas::DrawImage(Point at, const Bitmap& bitmap, Size size) {
    // The store keeps the pixels in the layout of Format_RGB32: wrap them, never convert.
    const QImage image(reinterpret_cast<const uchar*>(bitmap.Scanline(0)), bitmap.Width(), bitmap.Height(),
                       static_cast<qsizetype>(bitmap.BytesPerLine()), QImage::Format_RGB32);
    painter_.drawImage(QPoint(at.x, at.y), image, QRect(0, 0, size.width, size.height));
}

void QtCanvas::DrawImageEnlarged(const Rect& target, const Bitmap& bitmap) {
    const QImage image(reinterpret_cast<const uchar*>(bitmap.Scanline(0)), bitmap.Width(), bitmap.Height(),
                       static_cast<qsizetype>(bitmap.BytesPerLine()), QImage::Format_RGB32);
    const qint64 width = qint64{target.right} - target.left, height = qint64{target.bottom} - target.top;
    if (width <= 0 || height <= 0) return;
    // Only the part inside the painter's area is drawn: the source rectangle
    // of the visible screen pixels, enlarged onto them.
    const QRect visible = painter_.transform().inverted().mapRect(QRect(0, 0, painter_.device()->width(), painter_.device()->height()));
    const qint64 left = std::max<qint64>(target.left, visible.left()), top = std::max<qint64>(target.top, visible.top());
    const qint64 right = std::min<qint64>(target.right, qint64{visible.right()} + 1);
    const qint64 bottom = std::min<qint64>(target.bottom, qint64{visible.bottom()} + 1);
    if (left >= right || top >= bottom) return;
    // Picture pixels covering that part, and where their blocks begin.
    const qint64 x0 = (left - target.left) * bitmap.Width() / width;
    const qint64 y0 = (top - target.top) * bitmap.Height() / height;
    const qint64 x1 = std::min<qint64>(bitmap.Width(), ((right - target.left) * bitmap.Width() + width - 1) / width);
    const qint64 y1 = std::min<qint64>(bitmap.Height(), ((bottom - target.top) * bitmap.Height() + height - 1) / height);
    auto screenX = [&](qint64 x) { return target.left + (x * width + bitmap.Width() - 1) / bitmap.Width(); };
    auto screenY = [&](qint64 y) { return target.top + (y * height + bitmap.Height() - 1) / bitmap.Height(); };
    const QRect to(QPoint(static_cast<int>(screenX(x0)), static_cast<int>(screenY(y0))),
                   QPoint(static_cast<int>(screenX(x1)) - 1, static_cast<int>(screenY(y1)) - 1));
    painter_.save();
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.drawImage(to, image, QRect(QPoint(static_cast<int>(x0), static_cast<int>(y0)),
                                       QPoint(static_cast<int>(x1) - 1, static_cast<int>(y1) - 1)));
    painter_.restore();
}

void QtCanvas::FrameRect(const Rect& rect, RgbValue colour) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    // Four filled strips: QPainter::drawRect would reach one pixel beyond the rectangle.
    const QColor c = ToQColor(colour);
    painter_.fillRect(QRect(rect.left, rect.top, width, 1), c);
    painter_.fillRect(QRect(rect.left, rect.bottom - 1, width, 1), c);
    painter_.fillRect(QRect(rect.left, rect.top, 1, height), c);
    painter_.fillRect(QRect(rect.right - 1, rect.top, 1, height), c);
}

void QtCanvas::FillRect(const Rect& rect, RgbValue colour) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    painter_.fillRect(QRect(rect.left, rect.top, width, height), ToQColor(colour));
}

void QtCanvas::ClipTo(const Rect& rect) {
    painter_.save();
    painter_.setClipRect(QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)), Qt::IntersectClip);
}

void QtCanvas::Unclip() { painter_.restore(); }

}  // namespace prismview

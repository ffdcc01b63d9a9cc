#include "platform/qt_canvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QString>

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

}  // namespace prismview

// The Canvas of the client area: draws with a QPainter in screen pixels, the
// physical pixels of the screen, so that a picture pixel covers one of them.
// Texts keep the size the widget's font has.
#pragma once

#include <QPainter>

#include "app/canvas.h"

namespace prismview {

class QtCanvas : public Canvas {
public:
    // pixelRatio: screen pixels per widget pixel (the device pixel ratio).
    explicit QtCanvas(QPainter& painter, qreal pixelRatio = 1);
    void DrawText(Point at, std::string_view text) override;
    void DrawImage(Point at, const Bitmap& bitmap, Size size) override;
    void DrawImageEnlarged(const Rect& target, const Bitmap& bitmap) override;
    void FrameRect(const Rect& rect, RgbValue colour) override;
    void FillRect(const Rect& rect, RgbValue colour) override;
    void ClipTo(const Rect& rect) override;
    void Unclip() override;

    // The area a text covers when drawn at `at`.
    static QRect TextRect(const QFont& font, Point at, std::string_view text);

private:
    QPainter& painter_;
    qreal pixelRatio_;
};

}  // namespace prismview

// The Canvas of the client area: draws with a QPainter in widget pixels.
#pragma once

#include <QPainter>

#include "app/canvas.h"

namespace prismview {

class QtCanvas : public Canvas {
public:
    explicit QtCanvas(QPainter& painter) : painter_(painter) {}
    void DrawText(std::int32_t x, std::int32_t y, std::string_view text) override;
    void DrawImage(std::int32_t x, std::int32_t y, const Bitmap& bitmap, std::int32_t width,
                   std::int32_t height) override;
    void FrameRect(const Rect& rect, RgbValue colour) override;
    void FillRect(const Rect& rect, RgbValue colour) override;

    // The area a text covers when drawn at (x, y).
    static QRect TextRect(const QFont& font, std::int32_t x, std::int32_t y, std::string_view text);

private:
    QPainter& painter_;
};

}  // namespace prismview

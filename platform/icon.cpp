#include "platform/icon.h"

#include <QPixmap>

namespace prismview {

QImage IconImageToQImage(const IconImage& icon) {
    QImage image(icon.size, icon.size, QImage::Format_ARGB32);
    for (int row = 0; row < icon.size; ++row) {
        for (int column = 0; column < icon.size; ++column) {
            const char c = icon.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
            const int index = c >= 'a' ? c - 'a' + 10 : c - '0';
            const QRgb pixel = c == '.' ? 0u : (0xFF000000u | IconPalette[static_cast<std::size_t>(index)]);
            image.setPixel(column, row, pixel);
        }
    }
    return image;
}

QIcon MakeProgramIcon() {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(IconImageToQImage(ProgramIconLarge)));
    icon.addPixmap(QPixmap::fromImage(IconImageToQImage(ProgramIconSmall)));
    return icon;
}

}  // namespace prismview

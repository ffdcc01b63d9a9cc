#include "tools/overview.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <vector>

#include "app/app_state.h"
#include "app/browser.h"
#include "app/layout.h"
#include "core/downscale.h"

namespace prismview {

namespace {

constexpr int kMargin = 16;
constexpr int kThumbGap = 4;      // between the four thumbnails of a mode
constexpr int kModeGapAcross = 24;
constexpr int kModeGapDown = 16;

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The bitmap's pixels as a QImage, without a copy: the store keeps them in
// the layout of Format_RGB32.
QImage Wrap(const Bitmap& bitmap) {
    return QImage(reinterpret_cast<const uchar*>(bitmap.Scanline(0)), bitmap.Width(), bitmap.Height(),
                  static_cast<qsizetype>(bitmap.BytesPerLine()), QImage::Format_RGB32);
}

// The window's font for Japanese text, at a size that suits the thumbnails.
QFont SheetFont(std::int32_t longSide) {
    QFont font;
    font.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPixelSize(std::clamp(longSide / 11, 10, 20));
    return font;
}

}  // namespace

BitmapHandle MakeOverview(const Bitmap& base, const ProcessingParams& params, std::int32_t longSide) {
    const std::int64_t w = base.Width(), h = base.Height();
    const std::int64_t longest = std::max(w, h);
    if (w <= 0 || h <= 0 || longSide <= 0) return nullptr;
    const Scale scale = longest > longSide ? Scale{longSide, longest} : Scale{};
    const Size scaled = ScaledSize({base.Width(), base.Height()}, scale);
    const Size thumb{std::max(1, scaled.width), std::max(1, scaled.height)};  // a thread of a picture stays a pixel wide
    BitmapHandle small = Downscale(base, thumb.width, thumb.height);
    if (!small) return nullptr;

    const std::span<const ModeSpec* const> modes = BrowserModes();
    std::vector<BrowserRow> rows(modes.size());
    for (std::size_t i = 0; i < modes.size(); ++i) {
        MakeBrowserRow(rows[i], *small, 1, *modes[i], params, scale);
        if (!rows[i].madeWith) return nullptr;
    }

    const QFont font = SheetFont(longSide);
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics metrics(font), boldMetrics(bold);
    constexpr int wrap = Qt::TextWrapAnywhere | Qt::AlignHCenter | Qt::AlignTop;
    // The labels wrap within their thumbnail's width, but a thin picture's
    // column keeps room for a few characters a line; all get the room of the tallest.
    const int column = std::max(thumb.width, 5 * font.pixelSize());
    int labelHeight = metrics.height();
    for (const ModeSpec* mode : modes)
        for (std::string_view label : mode->labels)
            labelHeight = std::max(labelHeight, metrics.boundingRect(QRect(0, 0, column, 1 << 20), wrap, Text(label)).height());
    const int blockWidth = 4 * column + 3 * kThumbGap;
    const int blockHeight = thumb.height + 2 + labelHeight + 2 + boldMetrics.height();
    const int across = kOverviewModesAcross;
    const int down = static_cast<int>((modes.size() + across - 1) / across);
    const int width = 2 * kMargin + across * blockWidth + (across - 1) * kModeGapAcross;
    const int height = 2 * kMargin + down * blockHeight + (down - 1) * kModeGapDown;
    BitmapHandle sheet = Bitmap::Create(width, height);
    if (!sheet) return nullptr;

    QImage image(reinterpret_cast<uchar*>(sheet->Scanline(0)), width, height, static_cast<qsizetype>(sheet->BytesPerLine()),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setPen(Qt::black);
        for (std::size_t i = 0; i < modes.size(); ++i) {
            const ModeSpec& mode = *modes[i];
            const int left = kMargin + static_cast<int>(i % across) * (blockWidth + kModeGapAcross);
            const int top = kMargin + static_cast<int>(i / across) * (blockHeight + kModeGapDown);
            painter.setFont(font);
            for (std::int32_t slot = 1; slot < kSlotCount; ++slot) {
                const int x = left + (slot - 1) * (column + kThumbGap);
                if (const Bitmap* picture = rows[i].thumbnails.bitmaps[static_cast<std::size_t>(slot)].get())
                    painter.drawImage(QPoint(x + (column - thumb.width) / 2, top), Wrap(*picture));
                painter.drawText(QRect(x, top + thumb.height + 2, column, labelHeight), wrap,
                                 Text(mode.labels[static_cast<std::size_t>(slot - 1)]));
            }
            painter.setFont(bold);
            const QString caption = Text(mode.menuCaption) + QStringLiteral(" (") + Text(mode.name) + QStringLiteral(")");
            painter.drawText(QRect(left, top + thumb.height + 4 + labelHeight, blockWidth, boldMetrics.height()),
                             Qt::AlignLeft | Qt::AlignTop, caption);
        }
    }
    return sheet;
}

}  // namespace prismview

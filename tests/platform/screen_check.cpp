// Checks a screenshot of the running program: finds the base image on the
// screen and verifies that the four derived images stand beside and below it
// in the two-column gallery, and optionally the hover frame of one tile and
// the probe's mark at picture point X, Y on every tile.
//   prismview-screen-check SHOT.png BASE.bmp D1.bmp D2.bmp D3.bmp D4.bmp [HOVER X Y]
// Prints the screen position of the gallery's top-left corner on success.
#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

QRgb Rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }

// The probe's mark, where there is one: tiles are compared around it.
int markX = -100, markY = -100;
bool UnderMark(int x, int y) { return std::abs(x - markX) <= 5 && std::abs(y - markY) <= 5; }

bool Matches(const QImage& screen, const QImage& tile, int left, int top) {
    if (left < 0 || top < 0 || left + tile.width() > screen.width() || top + tile.height() > screen.height())
        return false;
    for (int y = 0; y < tile.height(); ++y)
        for (int x = 0; x < tile.width(); ++x)
            if (!UnderMark(x, y) && Rgb(screen, left + x, top + y) != Rgb(tile, x, y)) return false;
    return true;
}

// The one place where the whole tile stands, or false.
bool Find(const QImage& screen, const QImage& tile, int& left, int& top) {
    const QRgb first = Rgb(tile, 0, 0);
    for (int y = 0; y + tile.height() <= screen.height(); ++y)
        for (int x = 0; x + tile.width() <= screen.width(); ++x)
            if (Rgb(screen, x, y) == first && Matches(screen, tile, x, y)) {
                left = x;
                top = y;
                return true;
            }
    return false;
}

int Fail(const char* what) {
    std::fprintf(stderr, "screen-check: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 7 && argc != 10) {
        std::fprintf(stderr, "usage: prismview-screen-check SHOT.png BASE.bmp D1.bmp D2.bmp D3.bmp D4.bmp [HOVER X Y]\n");
        return 2;
    }
    const QImage screen(QString::fromLocal8Bit(argv[1]));
    if (screen.isNull()) return Fail("cannot read the screenshot");
    std::vector<QImage> tiles;
    for (int i = 2; i < 7; ++i) {
        tiles.emplace_back(QString::fromLocal8Bit(argv[i]));
        if (tiles.back().isNull()) return Fail("cannot read a reference image");
    }
    const int w = tiles[0].width(), h = tiles[0].height();
    const int hover = argc == 10 ? std::atoi(argv[7]) : -1;
    if (hover >= 0) {
        markX = std::atoi(argv[8]);
        markY = std::atoi(argv[9]);
    }

    int left = 0, top = 0;
    if (!Find(screen, tiles[0], left, top)) return Fail("the base image is not on the screen");
    for (int slot = 1; slot < 5; ++slot) {
        if (slot == hover) continue;  // its frame and label cover part of it
        if (!Matches(screen, tiles[slot], left + (slot % 2) * w, top + (slot / 2) * h)) {
            std::fprintf(stderr, "screen-check: tile %d is not where the gallery puts it\n", slot);
            return 1;
        }
    }
    if (hover >= 0) {
        const int l = left + (hover % 2) * w, t = top + (hover / 2) * h;
        // The label covers the top-left corner; the right and bottom edges show both frames.
        for (int y = t + h / 2; y < t + h; ++y)
            if (Rgb(screen, l + w - 1, y) != 0x000000 || Rgb(screen, l + w - 2, y < t + h - 1 ? y : y - 1) != 0xFFFFFF)
                return Fail("the hovered tile has no black and white frame on its right edge");
        for (int x = l + w / 2; x < l + w - 1; ++x)
            if (Rgb(screen, x, t + h - 1) != 0x000000 || Rgb(screen, x, t + h - 2) != 0xFFFFFF)
                return Fail("the hovered tile has no black and white frame on its bottom edge");
        if (Rgb(screen, l + w / 2, t + h / 2) != Rgb(tiles[hover], w / 2, h / 2))
            return Fail("the hovered tile does not show its image");
        // The probe marks the same picture point on every tile that shows a
        // picture: a black cross. The start mode leaves tile 4 blank (white,
        // labelled "－"): no mark there.
        for (int slot = 0; slot < 5; ++slot) {
            const int x = left + (slot % 2) * w + markX, y = top + (slot / 2) * h + markY;
            const bool marked = Rgb(screen, x, y) == 0x000000 && Rgb(screen, x - 4, y) == 0x000000 &&
                                Rgb(screen, x, y + 4) == 0x000000;
            if (slot < 4 && !marked) return Fail("a tile has no probe mark at the pointer's picture point");
            if (slot == 4 && Rgb(screen, x, y) != Rgb(tiles[4], markX, markY))
                return Fail("the blank tile has a probe mark");
        }
    } else {
        // Nothing hovered: no frame anywhere, so tile 1 is complete too (checked above).
    }
    std::printf("%d %d\n", left, top);
    return 0;
}

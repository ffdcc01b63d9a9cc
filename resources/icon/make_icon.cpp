// Draws the program icon (a prism splitting a white beam into a fan of colours) at
// 32 x 32 and 16 x 16 in the 16 standard colours and writes it as C++ data,
// and draws the same prism as the desktop's icons:
//   make-icon resources/program_icon.cpp     the window's icon, as C++ data
//   make-icon --png SIZE OUTPUT.png      smooth edges, any size
//   make-icon --svg OUTPUT.svg           the scalable icon
// The drawing is plain geometry: the 16-colour icon samples it at pixel
// centres, the PNG icons average 8 x 8 samples per pixel, and the SVG draws
// the same shapes as vector paths.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include <zlib.h>

namespace {

// The 16 standard colours; the index order is the one the data uses.
const unsigned kPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};
enum : int { Black = 0, Teal = 6, Silver = 7, Red = 9, Lime = 10, Yellow = 11, Blue = 12,
             Fuchsia = 13, Aqua = 14, White = 15, Clear = -1 };

struct P {
    double x, y;
};

double Cross(P a, P b, P c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); }

double SegmentDistance(P p, P a, P b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
    return std::sqrt(ex * ex + ey * ey);
}

P Lerp(P a, P b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

// The prism drawn at size x size: every shape in pixels of that size, so one
// description serves the 16-colour icons, the smooth PNG icons and the SVG.
struct Prism {
    double size;
    P apex, left, right, entry, exit, beamStart;
    double outline;    // half-width of the black outline
    double innerBeam;  // half-width of the white beam inside the prism
    double outerBeam;  // half-width of the white beam that enters it
    double lightFace;  // Cross(apex, left, p) above this: the light band along the left face
    double shadeRow;   // rows below it (from the top) are silver, the rest teal
};

// The six colours of the fan, by angle around the exit point.
const int kFanColours[] = {Red, Yellow, Lime, Aqua, Blue, Fuchsia};
constexpr double kFanFirst = -0.24, kFanBand = 0.15;

Prism MakePrism(int size) {
    const double s = size;
    Prism g{};
    g.size = s;
    g.apex = {0.47 * s, 0.08 * s};
    g.left = {0.08 * s, 0.86 * s};
    g.right = {0.86 * s, 0.86 * s};
    g.entry = Lerp(g.apex, g.left, 0.5);
    g.exit = Lerp(g.apex, g.right, 0.45);
    g.beamStart = {0.0, 0.30 * s};
    // A hairline at the small sizes, thicker where the pixels are many.
    g.outline = std::max(0.75, 0.012 * s);
    g.innerBeam = 0.045 * s + 0.3;
    g.outerBeam = 0.05 * s + 0.3;
    g.lightFace = -0.09 * s * s;
    g.shadeRow = 0.6 * s;
    return g;
}

// The colour index at point p (in pixels from the top left corner), or Clear.
int ColourAt(const Prism& g, P p) {
    const bool inside =
        Cross(g.apex, g.left, p) <= 0 && Cross(g.left, g.right, p) <= 0 && Cross(g.right, g.apex, p) <= 0;
    const double edge = std::min({SegmentDistance(p, g.apex, g.left), SegmentDistance(p, g.left, g.right),
                                  SegmentDistance(p, g.right, g.apex)});
    if (edge < g.outline) return Black;
    if (inside) {
        if (SegmentDistance(p, g.entry, g.exit) < g.innerBeam) return White;
        return Cross(g.apex, g.left, p) > g.lightFace ? Aqua : (std::floor(p.y) < g.shadeRow ? Silver : Teal);
    }
    if (p.x < g.entry.x && SegmentDistance(p, g.beamStart, g.entry) < g.outerBeam) return White;
    // The fan: bands by angle around the exit point, right of the prism only.
    if (Cross(g.right, g.apex, p) > 0 && p.x > g.exit.x) {
        const double angle = std::atan2(p.y - g.exit.y, p.x - g.exit.x);
        const int i = static_cast<int>(std::floor((angle - kFanFirst) / kFanBand));
        if (i >= 0 && i < 6) return kFanColours[i];
    }
    return Clear;
}

// The 16-colour icon samples each pixel once, at its centre.
int PixelAt(int size, int column, int row) { return ColourAt(MakePrism(size), {column + 0.5, row + 0.5}); }

std::vector<std::string> Draw(int size) {
    std::vector<std::string> rows;
    for (int row = 0; row < size; ++row) {
        std::string line;
        for (int column = 0; column < size; ++column) {
            const int index = PixelAt(size, column, row);
            line += index < 0 ? '.' : "0123456789abcdef"[index];
        }
        rows.push_back(line);
    }
    return rows;
}

void WriteImage(std::FILE* out, const char* name, int size) {
    std::fprintf(out, "\nconstexpr std::string_view k%sRows[] = {\n", name);
    for (const std::string& row : Draw(size)) std::fprintf(out, "    \"%s\",\n", row.c_str());
    std::fprintf(out, "};\n");
}

// A size x size RGBA picture (straight alpha, rows from the top) with every
// pixel the mean of 8 x 8 samples of the drawing.
std::vector<unsigned char> DrawSmooth(int size) {
    constexpr int n = 8;
    const Prism g = MakePrism(size);
    std::vector<unsigned char> rgba;
    rgba.reserve(static_cast<std::size_t>(size) * size * 4);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            unsigned sum[3] = {0, 0, 0}, opaque = 0;
            for (int i = 0; i < n; ++i) {
                for (int j = 0; j < n; ++j) {
                    const int index = ColourAt(g, {column + (j + 0.5) / n, row + (i + 0.5) / n});
                    if (index == Clear) continue;
                    ++opaque;
                    for (int c = 0; c < 3; ++c) sum[c] += (kPalette[index] >> (16 - 8 * c)) & 0xFF;
                }
            }
            for (int c = 0; c < 3; ++c)
                rgba.push_back(opaque ? static_cast<unsigned char>((sum[c] + opaque / 2) / opaque) : 0);
            rgba.push_back(static_cast<unsigned char>((opaque * 255 + n * n / 2) / (n * n)));
        }
    }
    return rgba;
}

void PutBe32(std::string& out, unsigned long v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBe32(out, data.size());
    const std::string body = type + data;
    out += body;
    PutBe32(out, crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
}

// An 8-bit RGBA PNG file, no filter, best compression.
bool EncodePng(int size, const std::vector<unsigned char>& rgba, std::string& png) {
    std::string raw;
    for (int row = 0; row < size; ++row) {
        raw += '\0';  // filter type None
        raw.append(reinterpret_cast<const char*>(&rgba[static_cast<std::size_t>(row) * size * 4]),
                   static_cast<std::size_t>(size) * 4);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        return false;
    packed.resize(packedSize);
    std::string header;
    PutBe32(header, static_cast<unsigned long>(size));
    PutBe32(header, static_cast<unsigned long>(size));
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace
    png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", "");
    return true;
}

std::string Hex(int index) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", kPalette[index]);
    return text;
}

std::string Points(std::initializer_list<P> points) {
    std::string text;
    for (P p : points) {
        char pair[64];
        std::snprintf(pair, sizeof pair, "%s%.3f,%.3f", text.empty() ? "" : " ", p.x, p.y);
        text += pair;
    }
    return text;
}

// The prism of ColourAt as vector shapes on a 256 x 256 canvas, painted from
// the back: the fan, the entering beam, the body with its light face and inner
// beam, and the outline on top.
std::string DrawSvg() {
    const Prism g = MakePrism(256);
    const double s = g.size;
    std::string svg;
    char line[512];
    auto add = [&](const char* format, auto... values) {
        std::snprintf(line, sizeof line, format, values...);
        svg += line;
    };
    add("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" viewBox=\"0 0 %.0f %.0f\">\n", s, s,
        s, s);
    const std::string body = Points({g.apex, g.left, g.right});
    add("  <defs>\n    <clipPath id=\"body\"><polygon points=\"%s\"/></clipPath>\n", body.c_str());
    add("    <clipPath id=\"before-entry\"><rect x=\"0\" y=\"0\" width=\"%.3f\" height=\"%.0f\"/></clipPath>\n",
        g.entry.x, s);
    svg += "  </defs>\n";
    // Each band is a wedge reaching well beyond the canvas, which cuts it.
    const double reach = 3 * s;
    for (int i = 0; i < 6; ++i) {
        const double a = kFanFirst + i * kFanBand, b = a + kFanBand;
        const P from{g.exit.x + reach * std::cos(a), g.exit.y + reach * std::sin(a)};
        const P to{g.exit.x + reach * std::cos(b), g.exit.y + reach * std::sin(b)};
        add("  <polygon fill=\"%s\" points=\"%s\"/>\n", Hex(kFanColours[i]).c_str(),
            Points({g.exit, from, to}).c_str());
    }
    add("  <line x1=\"%.3f\" y1=\"%.3f\" x2=\"%.3f\" y2=\"%.3f\" stroke=\"%s\" stroke-width=\"%.3f\" "
        "stroke-linecap=\"round\" clip-path=\"url(#before-entry)\"/>\n",
        g.beamStart.x, g.beamStart.y, g.entry.x, g.entry.y, Hex(White).c_str(), 2 * g.outerBeam);
    svg += "  <g clip-path=\"url(#body)\">\n";
    add("    <rect x=\"0\" y=\"0\" width=\"%.0f\" height=\"%.0f\" fill=\"%s\"/>\n", s, s, Hex(Teal).c_str());
    add("    <rect x=\"0\" y=\"0\" width=\"%.0f\" height=\"%.3f\" fill=\"%s\"/>\n", s, std::ceil(g.shadeRow),
        Hex(Silver).c_str());
    // The light face: a strip along the left edge, as deep as lightFace allows.
    const P e{g.left.x - g.apex.x, g.left.y - g.apex.y};
    const double length = std::sqrt(e.x * e.x + e.y * e.y), depth = -g.lightFace / length;
    const P in{e.y / length * depth, -e.x / length * depth};  // towards the inside
    const P a{g.apex.x - e.x, g.apex.y - e.y}, b{g.left.x + e.x, g.left.y + e.y};
    add("    <polygon fill=\"%s\" points=\"%s\"/>\n", Hex(Aqua).c_str(),
        Points({a, b, {b.x + in.x, b.y + in.y}, {a.x + in.x, a.y + in.y}}).c_str());
    add("    <line x1=\"%.3f\" y1=\"%.3f\" x2=\"%.3f\" y2=\"%.3f\" stroke=\"%s\" stroke-width=\"%.3f\" "
        "stroke-linecap=\"round\"/>\n",
        g.entry.x, g.entry.y, g.exit.x, g.exit.y, Hex(White).c_str(), 2 * g.innerBeam);
    svg += "  </g>\n";
    add("  <polygon points=\"%s\" fill=\"none\" stroke=\"%s\" stroke-width=\"%.3f\" stroke-linejoin=\"round\"/>\n",
        body.c_str(), Hex(Black).c_str(), 2 * g.outline);
    svg += "</svg>\n";
    return svg;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

// The --png and --svg forms; -1 when the arguments are neither.
int WriteDesktopIcon(int argc, char** argv) {
    const std::string mode = argv[1];
    std::string bytes, path;
    if (mode == "--svg" && argc == 3) {
        bytes = DrawSvg();
        path = argv[2];
    } else if (mode == "--png" && argc == 4) {
        const int size = std::atoi(argv[2]);
        if (size < 1 || size > 1024 || !EncodePng(size, DrawSmooth(size), bytes)) {
            std::fprintf(stderr, "make-icon: bad size %s (1..1024)\n", argv[2]);
            return 2;
        }
        path = argv[3];
    } else {
        return -1;
    }
    if (WriteFile(path, bytes)) return 0;
    std::fprintf(stderr, "make-icon: cannot write %s\n", path.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3) {
        const int status = WriteDesktopIcon(argc, argv);
        if (status >= 0) return status;
    }
    if (argc != 2) {
        std::fprintf(stderr,
                     "usage: make-icon OUTPUT.cpp  (or - for standard output)\n"
                     "       make-icon --png SIZE OUTPUT.png\n"
                     "       make-icon --svg OUTPUT.svg\n");
        return 2;
    }
    const std::string path = argv[1];
    std::FILE* out = path == "-" ? stdout : std::fopen(path.c_str(), "w");
    if (!out) {
        std::fprintf(stderr, "make-icon: cannot create %s\n", path.c_str());
        return 1;
    }
    std::fprintf(out,
                 "// Generated by resources/icon/make_icon.cpp; do not edit.\n"
                 "#include \"resources/icon.h\"\n\n"
                 "namespace prismview {\n\n"
                 "const std::array<std::uint32_t, 16> IconPalette = {\n");
    for (int i = 0; i < 16; ++i) std::fprintf(out, "    0x%06X,\n", kPalette[i]);
    std::fprintf(out, "};\n\nnamespace {\n");
    WriteImage(out, "Large", 32);
    WriteImage(out, "Small", 16);
    std::fprintf(out,
                 "\n}  // namespace\n\n"
                 "const IconImage ProgramIconLarge = {32, kLargeRows};\n"
                 "const IconImage ProgramIconSmall = {16, kSmallRows};\n\n"
                 "}  // namespace prismview\n");
    const bool ok = std::fflush(out) == 0 && !std::ferror(out);
    if (out != stdout && std::fclose(out) != 0) return 1;
    return ok ? 0 : 1;
}

#include "tools/histogram_text.h"

#include <string_view>

namespace prismview {

namespace {

template <typename Each>
void ForEachTerm(const ColourCounts& counts, Each each) {
    each("r", counts.r);
    each("g", counts.g);
    each("b", counts.b);
    each("l", counts.l);
    each("t", counts.t);
    each("hue", counts.hue);
    each("spread", counts.spread);
}

// A caption as a CSV field: quoted, inner quotes doubled.
std::string CsvField(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

// A caption as a JSON string; captions hold no control characters, but a
// control character would still come out escaped.
std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[(c >> 4) & 0xF];
            out += kHex[c & 0xF];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

std::string HistogramCsv(const std::vector<CountedImage>& images) {
    std::string text = "image,caption,term,bin,count\n";
    for (const CountedImage& image : images) {
        const std::string lead = std::to_string(image.image) + "," + CsvField(image.caption) + ",";
        ForEachTerm(image.counts, [&](std::string_view term, const auto& bins) {
            for (std::size_t bin = 0; bin < bins.size(); ++bin)
                text += lead + std::string(term) + "," + std::to_string(bin) + "," + std::to_string(bins[bin]) + "\n";
        });
        text += lead + "greys,," + std::to_string(image.counts.greys) + "\n";
        text += lead + "pixels,," + std::to_string(image.counts.pixels) + "\n";
    }
    return text;
}

std::string HistogramJson(const std::vector<CountedImage>& images) {
    std::string text = "[";
    for (std::size_t i = 0; i < images.size(); ++i) {
        const CountedImage& image = images[i];
        text += i ? ",\n {" : "{";
        text += "\"image\": " + std::to_string(image.image) + ", \"caption\": " + JsonString(image.caption) +
                ", \"pixels\": " + std::to_string(image.counts.pixels) +
                ", \"greys\": " + std::to_string(image.counts.greys);
        ForEachTerm(image.counts, [&](std::string_view term, const auto& bins) {
            text += ", \"" + std::string(term) + "\": [";
            for (std::size_t bin = 0; bin < bins.size(); ++bin) {
                if (bin) text += ",";
                text += std::to_string(bins[bin]);
            }
            text += "]";
        });
        text += "}";
    }
    return text + "]\n";
}

}  // namespace prismview

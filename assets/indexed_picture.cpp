#include "assets/indexed_picture.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <map>
#include <stdexcept>

namespace assets {

namespace {

struct ColourCount {
    Rgb colour;
    long count = 0;
};

using ColourBox = std::vector<ColourCount>;

std::uint8_t Channel(const Rgb& c, int channel) { return channel == 0 ? c.red : channel == 1 ? c.green : c.blue; }

std::uint8_t ToByte(double component) { return static_cast<std::uint8_t>(std::clamp(std::lround(component), 0L, 255L)); }

int Range(const ColourBox& box, int channel) {
    const auto [low, high] = std::minmax_element(box.begin(), box.end(), [channel](const ColourCount& a, const ColourCount& b) {
        return Channel(a.colour, channel) < Channel(b.colour, channel);
    });
    return Channel(high->colour, channel) - Channel(low->colour, channel);
}

// Median cut after Heckbert, "Color image quantization for frame buffer display"
// (SIGGRAPH 1982): split the box of widest spread along that channel, at the
// median of its pixels, until there are as many boxes as palette entries.
std::vector<Rgb> MedianCut(ColourBox colours, std::size_t entries) {
    std::vector<ColourBox> boxes{std::move(colours)};
    while (boxes.size() < entries) {
        std::size_t widest = boxes.size();
        int widestRange = 0;
        int widestChannel = 0;
        for (std::size_t b = 0; b < boxes.size(); ++b) {
            for (int channel = 0; channel < 3; ++channel) {
                const int range = Range(boxes[b], channel);
                if (range > widestRange) {
                    widest = b;
                    widestRange = range;
                    widestChannel = channel;
                }
            }
        }
        if (widest == boxes.size()) break;  // every box holds a single colour

        ColourBox& box = boxes[widest];
        std::sort(box.begin(), box.end(), [widestChannel](const ColourCount& a, const ColourCount& b) {
            return Channel(a.colour, widestChannel) < Channel(b.colour, widestChannel);
        });
        long total = 0;
        for (const ColourCount& c : box) total += c.count;
        long seen = 0;
        std::size_t cut = 0;
        while (cut < box.size() && 2 * (seen + box[cut].count) <= total) seen += box[cut++].count;
        cut = std::clamp<std::size_t>(cut, 1, box.size() - 1);
        ColourBox upper(box.begin() + static_cast<std::ptrdiff_t>(cut), box.end());
        box.resize(cut);
        boxes.push_back(std::move(upper));
    }

    std::vector<Rgb> palette;
    for (const ColourBox& box : boxes) {
        double red = 0, green = 0, blue = 0, total = 0;
        for (const ColourCount& c : box) {
            red += static_cast<double>(c.count) * c.colour.red;
            green += static_cast<double>(c.count) * c.colour.green;
            blue += static_cast<double>(c.count) * c.colour.blue;
            total += static_cast<double>(c.count);
        }
        palette.push_back({ToByte(red / total), ToByte(green / total), ToByte(blue / total)});
    }
    return palette;
}

std::size_t Nearest(const std::vector<Rgb>& palette, Rgb colour) {
    std::size_t best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const long dr = palette[i].red - colour.red;
        const long dg = palette[i].green - colour.green;
        const long db = palette[i].blue - colour.blue;
        const long distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

IndexedPicture ToIndexed(const Canvas& canvas, int paletteSize) {
    if (paletteSize < 2 || paletteSize > 256 || (paletteSize & (paletteSize - 1)) != 0) {
        throw std::invalid_argument("une palette GIF a 2, 4, 8, 16, 32, 64, 128 ou 256 couleurs");
    }
    IndexedPicture picture{canvas.width(), canvas.height(), {}, {}, std::nullopt};

    std::vector<std::optional<Rgb>> pixels;
    std::map<Rgb, long> histogram;
    bool hasTransparent = false;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.OpacityAt(x, y) < 0.5) {
                pixels.emplace_back();
                hasTransparent = true;
                continue;
            }
            const Colour c = canvas.ColourAt(x, y);
            const Rgb rgb{ToByte(c.red), ToByte(c.green), ToByte(c.blue)};
            pixels.emplace_back(rgb);
            ++histogram[rgb];
        }
    }
    const std::size_t colourEntries = static_cast<std::size_t>(paletteSize) - (hasTransparent ? 1 : 0);

    std::vector<Rgb> colours;
    if (histogram.size() <= colourEntries) {
        for (const auto& [colour, count] : histogram) colours.push_back(colour);
    } else {
        ColourBox all;
        for (const auto& [colour, count] : histogram) all.push_back({colour, count});
        colours = MedianCut(std::move(all), colourEntries);
    }

    // Transparency takes entry 0, so that the colours follow it in the order found.
    if (hasTransparent) picture.transparent = 0;
    const std::size_t first = hasTransparent ? 1 : 0;
    picture.palette.assign(static_cast<std::size_t>(paletteSize), Rgb{});
    std::copy(colours.begin(), colours.end(), picture.palette.begin() + static_cast<std::ptrdiff_t>(first));

    std::map<Rgb, std::uint8_t> indexOf;
    for (const auto& [colour, count] : histogram) {
        indexOf[colour] = static_cast<std::uint8_t>(first + Nearest(colours, colour));
    }
    picture.indices.reserve(pixels.size());
    for (const std::optional<Rgb>& pixel : pixels) picture.indices.push_back(pixel ? indexOf[*pixel] : std::uint8_t{0});
    return picture;
}

}  // namespace assets

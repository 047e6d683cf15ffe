#include "assets/indexed_picture.h"

#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>
#include <stdexcept>
#include <utility>

namespace assets {

namespace {

std::uint8_t ToByte(double component) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(component), 0L, 255L));
}

// The opaque pixels in order, one plane per channel as giflib takes them.
struct ColourPlanes {
    std::vector<GifByteType> red;
    std::vector<GifByteType> green;
    std::vector<GifByteType> blue;
};

// The colours of the palette and, for each opaque pixel, its entry among them.
struct Reduction {
    std::vector<Rgb> colours;
    std::vector<std::uint8_t> indices;
};

// Every colour of the pixels as it is, or none if there are more than `entries`.
std::optional<Reduction> ExactColours(const ColourPlanes& pixels, std::size_t entries) {
    std::map<Rgb, std::uint8_t> entryOf;
    for (std::size_t i = 0; i < pixels.red.size() && entryOf.size() <= entries; ++i) {
        entryOf.emplace(Rgb{pixels.red[i], pixels.green[i], pixels.blue[i]}, 0);
    }
    if (entryOf.size() > entries) return std::nullopt;
    Reduction reduction;
    for (auto& [colour, entry] : entryOf) {
        entry = static_cast<std::uint8_t>(reduction.colours.size());
        reduction.colours.push_back(colour);
    }
    for (std::size_t i = 0; i < pixels.red.size(); ++i) {
        reduction.indices.push_back(entryOf.at({pixels.red[i], pixels.green[i], pixels.blue[i]}));
    }
    return reduction;
}

// giflib's median cut chooses the colours and maps each pixel to one of them.
Reduction Quantized(ColourPlanes& pixels, std::size_t entries) {
    const auto count = static_cast<unsigned int>(pixels.red.size());
    std::vector<GifColorType> map(entries);
    int mapSize = static_cast<int>(entries);
    Reduction reduction;
    reduction.indices.resize(count);
    if (GifQuantizeBuffer(count, 1, &mapSize, pixels.red.data(), pixels.green.data(), pixels.blue.data(),
                          reduction.indices.data(), map.data()) == GIF_ERROR) {
        throw std::runtime_error("giflib n'a pas pu réduire les couleurs de l'image");
    }
    for (const GifColorType& entry : map) reduction.colours.push_back({entry.Red, entry.Green, entry.Blue});
    return reduction;
}

}  // namespace

IndexedPicture ToIndexed(const Canvas& canvas, int paletteSize) {
    if (paletteSize < 2 || paletteSize > 256 || (paletteSize & (paletteSize - 1)) != 0) {
        throw std::invalid_argument("une palette GIF a 2, 4, 8, 16, 32, 64, 128 ou 256 couleurs");
    }
    IndexedPicture picture{canvas.width(), canvas.height(), {}, {}, std::nullopt};

    std::vector<bool> opaque;
    ColourPlanes pixels;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            opaque.push_back(canvas.OpacityAt(x, y) >= 0.5);
            if (!opaque.back()) continue;
            const Colour c = canvas.ColourAt(x, y);
            pixels.red.push_back(ToByte(c.red));
            pixels.green.push_back(ToByte(c.green));
            pixels.blue.push_back(ToByte(c.blue));
        }
    }
    // giflib's quantizer knows no transparency: it takes entry 0, and the colours follow.
    const bool hasTransparent = pixels.red.size() < opaque.size();
    if (hasTransparent) picture.transparent = 0;
    const std::size_t first = hasTransparent ? 1 : 0;
    const std::size_t colourEntries = static_cast<std::size_t>(paletteSize) - first;

    // Colours that fit are kept exactly: the quantizer works on 5 bits a channel and would shift them.
    std::optional<Reduction> exact = ExactColours(pixels, colourEntries);
    const Reduction reduction = exact ? std::move(*exact) : Quantized(pixels, colourEntries);

    picture.palette.assign(static_cast<std::size_t>(paletteSize), Rgb{});
    std::copy(reduction.colours.begin(), reduction.colours.end(),
              picture.palette.begin() + static_cast<std::ptrdiff_t>(first));
    picture.indices.reserve(opaque.size());
    auto entry = reduction.indices.begin();
    for (const bool isOpaque : opaque) {
        picture.indices.push_back(isOpaque ? static_cast<std::uint8_t>(first + *entry++) : std::uint8_t{0});
    }
    return picture;
}

}  // namespace assets

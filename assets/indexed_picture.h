#pragma once
// A picture reduced to a palette, as a GIF file holds it: a colour table whose size
// is a power of two, one index per pixel, and at most one index that stands for
// "transparent".

#include <compare>
#include <cstdint>
#include <optional>
#include <vector>

#include "assets/canvas.h"

namespace assets {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend constexpr auto operator<=>(Rgb, Rgb) = default;
};

struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> palette;                 // 2, 4, 8, ... or 256 entries
    std::vector<std::uint8_t> indices;        // row by row, top row first
    std::optional<std::uint8_t> transparent;  // the index of transparent pixels, if any
};

// Pixels less than half opaque become transparent; the others keep their colour if
// the palette can hold every colour, and otherwise take the one that giflib's
// quantizer, a median cut on 5 bits a channel, gives them. paletteSize is a power of
// two from 2 to 256; unused entries are black.
IndexedPicture ToIndexed(const Canvas& canvas, int paletteSize);

}  // namespace assets

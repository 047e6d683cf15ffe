#pragma once
// Reads a GIF picture back with giflib, independently of the code that wrote it:
// its size, its global palette and transparent index, and the colour of each pixel.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct GifColour {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const GifColour&) const = default;
    int Luminance() const { return (299 * red + 587 * green + 114 * blue + 500) / 1000; }
    bool IsGrey() const { return red == green && green == blue; }
};

struct GifPicture {
    int width = 0;
    int height = 0;
    int paletteSize = 0;
    std::vector<GifColour> palette;
    std::optional<int> transparentIndex;
    std::vector<int> indices;  // row by row

    int IndexAt(int x, int y) const { return indices[static_cast<std::size_t>(y) * width + x]; }
    bool IsOpaque(int x, int y) const { return !transparentIndex || IndexAt(x, y) != *transparentIndex; }
    GifColour At(int x, int y) const { return palette[static_cast<std::size_t>(IndexAt(x, y))]; }
};

// The picture in a file, or in bytes already read (e.g. from a Qt resource). Failures
// throw std::runtime_error naming what was read.
GifPicture ReadGifFile(const std::string& path);
GifPicture ReadGifBytes(const std::string& bytes, const std::string& name);

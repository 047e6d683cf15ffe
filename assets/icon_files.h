#pragma once
// The program's icon as the desktop wants it: a PNG picture for the menus and a
// scalable SVG picture, both drawn from the same coats of paint as the window's icon.

#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "assets/canvas.h"
#include "assets/pictures.h"

namespace assets {

// The file cannot be written; the message is a French sentence naming it.
class IconWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The canvas as a PNG picture with 8-bit colour and opacity.
void WritePng(const std::filesystem::path& path, const Canvas& canvas);

// The layers, bottom first, as an SVG picture of width x height pixels: each layer
// becomes one path, filled with its colour, traced around its region.
void WriteSvg(const std::filesystem::path& path, const std::vector<PaintLayer>& layers, int width, int height,
              std::string_view title);

}  // namespace assets

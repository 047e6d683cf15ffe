#pragma once
// The program's icon for the desktop's menus as a PNG picture. Its scalable form is
// the file assets/solvane.svg, traced once from the same drawing.

#include <filesystem>
#include <stdexcept>

#include "assets/canvas.h"

namespace assets {

// The file cannot be written; the message is a French sentence naming it.
class IconWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The canvas as a PNG picture with 8-bit colour and opacity.
void WritePng(const std::filesystem::path& path, const Canvas& canvas);

}  // namespace assets

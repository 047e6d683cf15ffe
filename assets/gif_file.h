#pragma once
// Writing a paletted picture as a GIF89a file.

#include <filesystem>
#include <stdexcept>

#include "assets/indexed_picture.h"

namespace assets {

// The file cannot be written; the message is a French sentence naming it.
class GifWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One image covering the whole screen area, the palette as the global colour table
// and, when the picture has a transparent index, a graphic control block naming it.
void WriteGif(const std::filesystem::path& path, const IndexedPicture& picture);

}  // namespace assets

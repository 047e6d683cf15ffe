#pragma once
// A paletted picture as the window holds it in memory, compiled into the program,
// for a picture it paints before its first frame: nothing to decode or copy at
// start-up, and its pages are those of the program file.
//
// The bytes are the colour table, 256 entries of four bytes each, the 32-bit word
// 0xAARRGGBB of Qt's QRgb stored little-endian (unused entries black, the
// transparent one 0), then the rows top first, one index a pixel, each row padded
// with zeros to a multiple of four bytes: the scan lines of a QImage of
// Format_Indexed8, which may use them where they lie.

#include <filesystem>
#include <string_view>

#include "assets/indexed_picture.h"

namespace assets {

constexpr int kIndexedRowsColours = 256;

// The bytes of one row.
constexpr int IndexedRowBytes(int width) { return (width + 3) / 4 * 4; }

// Writes a C++ source defining `name` (in namespace assets, aligned on four bytes)
// as those bytes, and `name`Size as their number, for a header that declares them.
// Throws GifWriteError (gif_file.h), a French sentence, when it cannot be written.
void WriteIndexedRowsSource(const std::filesystem::path& path, std::string_view name, const IndexedPicture& picture);

}  // namespace assets

#pragma once
// The window's background, compiled into the program as the window paints it
// (indexed_rows_file.h); drawn by draw_pictures (assets::DrawBackground).

#include <cstddef>

namespace assets {

extern const unsigned char kBackgroundRows[];
extern const std::size_t kBackgroundRowsSize;

}  // namespace assets

#include "assets/indexed_rows_file.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "assets/gif_file.h"

namespace assets {

namespace {

std::vector<std::uint8_t> IndexedRows(const IndexedPicture& picture) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(std::size_t(kIndexedRowsColours) * 4 + std::size_t(IndexedRowBytes(picture.width)) * picture.height);
    for (int index = 0; index < kIndexedRowsColours; ++index) {
        const bool used = std::size_t(index) < picture.palette.size() && picture.transparent != index;
        const Rgb colour = used ? picture.palette[std::size_t(index)] : Rgb{};
        // 0xAARRGGBB, lowest byte first.
        bytes.insert(bytes.end(), {colour.blue, colour.green, colour.red, std::uint8_t(used ? 0xFF : 0)});
    }
    for (int y = 0; y < picture.height; ++y) {
        const auto row = picture.indices.begin() + std::ptrdiff_t(y) * picture.width;
        bytes.insert(bytes.end(), row, row + picture.width);
        bytes.resize(bytes.size() + std::size_t(IndexedRowBytes(picture.width) - picture.width), 0);
    }
    return bytes;
}

}  // namespace

void WriteIndexedRowsSource(const std::filesystem::path& path, std::string_view name, const IndexedPicture& picture) {
    const std::vector<std::uint8_t> bytes = IndexedRows(picture);
    std::ofstream stream(path, std::ios::trunc);
    stream << "// Drawn by draw_pictures (assets/indexed_rows_file.h).\n#include <cstddef>\n\nnamespace assets {\n\n"
           << "alignas(4) extern const unsigned char " << name << "[] = {";
    for (std::size_t at = 0; at < bytes.size(); ++at) stream << (at % 32 == 0 ? "\n" : "") << int(bytes[at]) << ',';
    stream << "\n};\nextern const std::size_t " << name << "Size = sizeof " << name << ";\n\n}  // namespace assets\n";
    stream.close();
    if (!stream) throw GifWriteError("Impossible d'écrire l'image " + path.string());
}

}  // namespace assets

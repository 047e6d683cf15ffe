#include "gif_reader.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

struct ByteSource {
    const std::string* bytes;
    std::size_t position = 0;
};

int ReadBytes(GifFileType* file, GifByteType* out, int count) {
    auto* source = static_cast<ByteSource*>(file->UserData);
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(count), source->bytes->size() - source->position);
    std::memcpy(out, source->bytes->data() + source->position, n);
    source->position += n;
    return static_cast<int>(n);
}

}  // namespace

GifPicture ReadGifBytes(const std::string& bytes, const std::string& name) {
    ByteSource source{&bytes};
    int error = 0;
    GifFileType* file = DGifOpen(&source, ReadBytes, &error);
    if (!file) throw std::runtime_error(name + ": not a GIF (" + GifErrorString(error) + ")");
    if (DGifSlurp(file) != GIF_OK || file->ImageCount < 1) {
        const int slurpError = file->Error;
        DGifCloseFile(file, &error);
        throw std::runtime_error(name + ": unreadable GIF (" + GifErrorString(slurpError) + ")");
    }

    GifPicture picture;
    picture.width = file->SWidth;
    picture.height = file->SHeight;
    const SavedImage& image = file->SavedImages[0];
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : file->SColorMap;
    if (map) {
        picture.paletteSize = map->ColorCount;
        for (int i = 0; i < map->ColorCount; ++i) {
            picture.palette.push_back({map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
        }
    }
    GraphicsControlBlock control;
    if (DGifSavedExtensionToGCB(file, 0, &control) == GIF_OK && control.TransparentColor != NO_TRANSPARENT_COLOR) {
        picture.transparentIndex = control.TransparentColor;
    }
    const GifImageDesc& frame = image.ImageDesc;
    const bool coversScreen =
        frame.Left == 0 && frame.Top == 0 && frame.Width == picture.width && frame.Height == picture.height;
    if (!coversScreen || frame.Interlace) {
        DGifCloseFile(file, &error);
        throw std::runtime_error(name + ": the image does not cover the picture in plain row order");
    }
    picture.indices.assign(image.RasterBits,
                           image.RasterBits + static_cast<std::size_t>(picture.width) * picture.height);
    DGifCloseFile(file, &error);
    for (int index : picture.indices) {
        if (index >= picture.paletteSize) throw std::runtime_error(name + ": a pixel lies outside the palette");
    }
    return picture;
}

GifPicture ReadGifFile(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) throw std::runtime_error(path + ": cannot be opened");
    const std::string bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    return ReadGifBytes(bytes, path);
}

#include "assets/gif_file.h"

#include <gif_lib.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace assets {

namespace {

std::string Reason(int giflibError) {
    const char* text = GifErrorString(giflibError);
    return text ? text : "erreur inconnue de giflib";
}

[[noreturn]] void Fail(const std::filesystem::path& path, int giflibError) {
    throw GifWriteError("Impossible d'écrire l'image " + path.string() + " : " + Reason(giflibError));
}

struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

// giflib writes through this function into a stream of ours, rather than opening the
// file itself, which would make it readable by its owner only.
int WriteBytes(GifFileType* file, const GifByteType* bytes, int count) {
    auto& stream = *static_cast<std::ofstream*>(file->UserData);
    stream.write(reinterpret_cast<const char*>(bytes), count);
    return stream ? count : 0;
}

}  // namespace

void WriteGif(const std::filesystem::path& path, const IndexedPicture& picture) {
    std::vector<GifColorType> colours;
    for (const Rgb& entry : picture.palette) colours.push_back({entry.red, entry.green, entry.blue});
    const std::unique_ptr<ColorMapObject, MapDeleter> map(
        GifMakeMapObject(static_cast<int>(colours.size()), colours.data()));
    if (!map) throw GifWriteError("Palette refusée pour l'image " + path.string());

    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    if (!stream) throw GifWriteError("Impossible de créer l'image " + path.string());
    int error = 0;
    GifFileType* file = EGifOpen(&stream, WriteBytes, &error);
    if (!file) Fail(path, error);
    // Closing frees the file; an error while writing still closes it before reporting.
    const auto closeAndFail = [&](int writeError) {
        int closeError = 0;
        EGifCloseFile(file, &closeError);
        Fail(path, writeError);
    };

    EGifSetGifVersion(file, true);
    const int background = picture.transparent.value_or(0);
    if (EGifPutScreenDesc(file, picture.width, picture.height, 8, background, map.get()) == GIF_ERROR) {
        closeAndFail(file->Error);
    }
    if (picture.transparent) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSAL_UNSPECIFIED;
        control.UserInputFlag = false;
        control.DelayTime = 0;
        control.TransparentColor = *picture.transparent;
        GifByteType extension[4];
        const std::size_t length = EGifGCBToExtension(&control, extension);
        if (EGifPutExtension(file, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_ERROR) {
            closeAndFail(file->Error);
        }
    }
    if (EGifPutImageDesc(file, 0, 0, picture.width, picture.height, false, nullptr) == GIF_ERROR) {
        closeAndFail(file->Error);
    }
    std::vector<GifPixelType> row(static_cast<std::size_t>(picture.width));
    for (int y = 0; y < picture.height; ++y) {
        const auto start = picture.indices.begin() + static_cast<std::ptrdiff_t>(y) * picture.width;
        std::copy(start, start + picture.width, row.begin());
        if (EGifPutLine(file, row.data(), picture.width) == GIF_ERROR) closeAndFail(file->Error);
    }
    if (EGifCloseFile(file, &error) == GIF_ERROR) Fail(path, error);
    stream.close();
    if (!stream) throw GifWriteError("Impossible de terminer l'image " + path.string());
}

}  // namespace assets

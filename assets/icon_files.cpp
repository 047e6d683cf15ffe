#include "assets/icon_files.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <cmath>
#include <string>

namespace assets {

namespace {

int Channel(double value) { return std::clamp(static_cast<int>(std::lround(value)), 0, 255); }

std::string FailureSentence(const std::filesystem::path& path) {
    return "Impossible d'écrire le fichier " + path.string() + ".";
}

}  // namespace

void WritePng(const std::filesystem::path& path, const Canvas& canvas) {
    QImage image(canvas.width(), canvas.height(), QImage::Format_ARGB32);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const Colour colour = canvas.ColourAt(x, y);
            image.setPixel(x, y,
                           qRgba(Channel(colour.red), Channel(colour.green), Channel(colour.blue),
                                 Channel(255 * canvas.OpacityAt(x, y))));
        }
    }
    if (!image.save(QString::fromStdString(path.string()), "PNG")) throw IconWriteError(FailureSentence(path));
}

}  // namespace assets

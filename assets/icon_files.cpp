#include "assets/icon_files.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "assets/outline_tracing.h"

namespace assets {

namespace {

int Channel(double value) { return std::clamp(static_cast<int>(std::lround(value)), 0, 255); }

std::string FailureSentence(const std::filesystem::path& path) {
    return "Impossible d'écrire le fichier " + path.string() + ".";
}

// A coordinate with at most three decimals and no trailing zeros: 6.5, 4, 12.063.
std::string Coordinate(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    std::string number = text;
    number.erase(number.find_last_not_of('0') + 1);
    if (number.back() == '.') number.pop_back();
    if (number == "-0") number = "0";
    return number;
}

std::string HexColour(Colour colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", Channel(colour.red), Channel(colour.green), Channel(colour.blue));
    return text;
}

std::string EscapedXml(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

// One path for all the outlines of a layer: a hole is an outline inside another.
std::string PathData(const std::vector<Outline>& outlines) {
    std::string data;
    for (const Outline& outline : outlines) {
        for (std::size_t k = 0; k < outline.size(); ++k) {
            data += k == 0 ? 'M' : 'L';
            data += Coordinate(outline[k].x) + ' ' + Coordinate(outline[k].y);
        }
        data += 'Z';
    }
    return data;
}

}  // namespace

void WritePng(const std::filesystem::path& path, const Canvas& canvas) {
    QImage image(canvas.width(), canvas.height(), QImage::Format_ARGB32);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const Colour colour = canvas.ColourAt(x, y);
            image.setPixel(x, y, qRgba(Channel(colour.red), Channel(colour.green), Channel(colour.blue),
                                       Channel(255 * canvas.OpacityAt(x, y))));
        }
    }
    if (!image.save(QString::fromStdString(path.string()), "PNG")) throw IconWriteError(FailureSentence(path));
}

void WriteSvg(const std::filesystem::path& path, const std::vector<PaintLayer>& layers, int width, int height,
              std::string_view title) {
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) + "\" height=\"" +
           std::to_string(height) + "\" viewBox=\"0 0 " + std::to_string(width) + ' ' + std::to_string(height) +
           "\">\n";
    svg += "<title>" + EscapedXml(title) + "</title>\n";
    for (const PaintLayer& layer : layers) {
        const std::vector<Outline> outlines = TraceOutlines(layer.region, width, height);
        if (outlines.empty()) continue;
        svg += "<path fill=\"" + HexColour(layer.colour) + "\" fill-rule=\"evenodd\" d=\"" + PathData(outlines) +
               "\"/>\n";
    }
    svg += "</svg>\n";

    std::ofstream file(path, std::ios::binary);
    file << svg;
    file.close();
    if (!file) throw IconWriteError(FailureSentence(path));
}

}  // namespace assets

// The desktop icon's files. The checked-in SVG file, read back and filled by this
// test's own rasteriser, must give the pixels of the window's icon; the PNG file must
// hold the icon's canvas.

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "assets/icon_files.h"
#include "assets/pictures.h"

namespace {

namespace fs = std::filesystem;
using namespace assets;

// A closed outline: its corners in order, the last one joined back to the first.
using Outline = std::vector<Point>;

// Whether a point is inside a set of outlines by the even-odd rule: an odd number of
// them cross a ray from it to +x.
bool InsideEvenOdd(const std::vector<Outline>& outlines, Point p) {
    bool inside = false;
    for (const Outline& outline : outlines) {
        for (std::size_t k = 0; k < outline.size(); ++k) {
            const Point a = outline[k];
            const Point b = outline[(k + 1) % outline.size()];
            if ((a.y > p.y) == (b.y > p.y)) continue;
            if (a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y) > p.x) inside = !inside;
        }
    }
    return inside;
}

struct SvgPath {
    Colour colour;
    std::vector<Outline> outlines;
};

// The paths of the SVG file as it is written: a fill colour, the even-odd rule, and
// M, L and Z only. A path written otherwise is a failure, not a path left out.
std::vector<SvgPath> ReadSvgPaths(const std::string& svg) {
    static constexpr std::string_view kStart = R"(<path fill="#)";
    static constexpr std::string_view kRule = R"(" fill-rule="evenodd" d=")";
    std::vector<SvgPath> paths;
    for (std::size_t at = svg.find("<path"); at != std::string::npos; at = svg.find("<path", at + 1)) {
        const std::size_t rule = at + kStart.size() + 6;
        const std::size_t end = svg.find('"', rule + kRule.size());
        if (svg.compare(at, kStart.size(), kStart) != 0 ||
            svg.find_first_not_of("0123456789abcdef", at + kStart.size()) != rule ||
            svg.compare(rule, kRule.size(), kRule) != 0 || end == std::string::npos ||
            svg.compare(end, 3, "\"/>") != 0) {
            ADD_FAILURE() << "un chemin d'une autre forme : " << svg.substr(at, 80);
            continue;
        }
        SvgPath path;
        const unsigned long rgb = std::stoul(svg.substr(at + kStart.size(), 6), nullptr, 16);
        path.colour = {double(rgb >> 16), double((rgb >> 8) & 0xff), double(rgb & 0xff)};
        std::istringstream data(svg.substr(rule + kRule.size(), end - rule - kRule.size()));
        char command = 0;
        while (data >> command) {
            if (command == 'Z') continue;
            Point p;
            data >> p.x >> p.y;
            if (command == 'M') path.outlines.emplace_back();
            path.outlines.back().push_back(p);
        }
        paths.push_back(std::move(path));
    }
    return paths;
}

// The file was traced once from the drawing; this sees the two drift apart.
TEST(IconSvgFile, FilledSampleBySampleItIsTheIconsCanvas) {
    std::ifstream stream(ASSETS_SOURCE_DIR "/solvane.svg");
    ASSERT_TRUE(stream) << ASSETS_SOURCE_DIR "/solvane.svg";
    const std::string svg{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    EXPECT_NE(svg.find(R"(width="32" height="32" viewBox="0 0 32 32")"), std::string::npos);
    EXPECT_NE(svg.find("<title>Solvane</title>"), std::string::npos);
    const std::vector<SvgPath> paths = ReadSvgPaths(svg);
    ASSERT_FALSE(paths.empty());

    // The canvas's own samples, filled path by path, each laid over those below.
    const Canvas icon = DrawHourglassIcon();
    constexpr int kSamples = Canvas::kSamplesPerAxis;
    double worstOpacity = 0, worstColour = 0;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            Colour premultiplied;
            double opacity = 0;
            for (const SvgPath& path : paths) {
                int covered = 0;
                for (int sy = 0; sy < kSamples; ++sy) {
                    for (int sx = 0; sx < kSamples; ++sx) {
                        covered += InsideEvenOdd(path.outlines, {x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples});
                    }
                }
                const double c = double(covered) / (kSamples * kSamples);
                premultiplied = {c * path.colour.red + (1 - c) * premultiplied.red,
                                 c * path.colour.green + (1 - c) * premultiplied.green,
                                 c * path.colour.blue + (1 - c) * premultiplied.blue};
                opacity = c + (1 - c) * opacity;
            }
            const double expectedOpacity = icon.OpacityAt(x, y);
            const Colour expected = icon.ColourAt(x, y);
            worstOpacity = std::max(worstOpacity, std::abs(opacity - expectedOpacity));
            worstColour = std::max({worstColour, std::abs(premultiplied.red - expected.red * expectedOpacity),
                                    std::abs(premultiplied.green - expected.green * expectedOpacity),
                                    std::abs(premultiplied.blue - expected.blue * expectedOpacity)});
        }
    }
    // The outlines follow the borders within 0.005 pixel, so a sample that falls that
    // close to a border may land on the other side: one sample in 64 of a pixel, and
    // the colours' rounding to whole values.
    EXPECT_LE(worstOpacity, 1.0 / 64 + 1e-9);
    EXPECT_LE(worstColour, 255.0 / 64 + 0.5);
}

class IconFiles : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("solvane-icon-test-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    fs::path folder_;
};

TEST_F(IconFiles, ThePngPictureHoldsTheCanvasWithItsOpacity) {
    const fs::path file = folder_ / "icon.png";
    const Canvas icon = DrawHourglassIcon();
    constexpr int kSize = 32;
    WritePng(file, icon);
    const QImage image(QString::fromStdString(file.string()), "PNG");
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.size(), QSize(kSize, kSize));
    ASSERT_TRUE(image.hasAlphaChannel());
    int clear = 0, opaque = 0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const QRgb pixel = image.pixel(x, y);
            const double opacity = icon.OpacityAt(x, y);
            EXPECT_NEAR(qAlpha(pixel), 255 * opacity, 0.5) << x << ", " << y;
            clear += qAlpha(pixel) == 0;
            opaque += qAlpha(pixel) == 255;
            if (qAlpha(pixel) == 0) continue;
            const Colour colour = icon.ColourAt(x, y);
            EXPECT_NEAR(qRed(pixel), colour.red, 0.5) << x << ", " << y;
            EXPECT_NEAR(qGreen(pixel), colour.green, 0.5) << x << ", " << y;
            EXPECT_NEAR(qBlue(pixel), colour.blue, 0.5) << x << ", " << y;
        }
    }
    // An hourglass, not an empty or a filled square, and nothing above its upper
    // plate or below its lower one.
    EXPECT_GT(clear, 100);
    EXPECT_GT(opaque, 400);
    for (int x = 0; x < kSize; ++x) {
        EXPECT_EQ(qAlpha(image.pixel(x, 0)), 0) << x << ", 0";
        EXPECT_EQ(qAlpha(image.pixel(x, kSize - 1)), 0) << x << ", " << kSize - 1;
    }
}

TEST_F(IconFiles, AFileThatCannotBeWrittenIsAnError) {
    const fs::path nowhere = folder_ / "missing" / "icon";
    EXPECT_THROW(WritePng(nowhere.string() + ".png", DrawHourglassIcon()), IconWriteError);
}

}  // namespace

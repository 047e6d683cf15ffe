// The desktop icon's files. Outlines traced from a region must bound that region;
// the SVG file, read back and filled by this test's own rasteriser, must give the
// pixels of the window's icon; the PNG file must hold the icon's canvas.

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "assets/icon_files.h"
#include "assets/outline_tracing.h"
#include "assets/pictures.h"

namespace {

namespace fs = std::filesystem;
using namespace assets;

// Where a point stands against a set of outlines: the parity of the outlines
// around it (even-odd rule) and its winding number (non-zero rule), by a ray to +x.
struct Standing {
    bool insideEvenOdd = false;
    int winding = 0;
};

Standing StandingOf(const std::vector<Outline>& outlines, Point p) {
    Standing standing;
    for (const Outline& outline : outlines) {
        for (std::size_t k = 0; k < outline.size(); ++k) {
            const Point a = outline[k];
            const Point b = outline[(k + 1) % outline.size()];
            if ((a.y > p.y) == (b.y > p.y)) continue;
            const double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (x <= p.x) continue;
            standing.insideEvenOdd = !standing.insideEvenOdd;
            standing.winding += b.y > a.y ? 1 : -1;
        }
    }
    return standing;
}

double DistanceToOutlines(const std::vector<Outline>& outlines, Point p) {
    double nearest = INFINITY;
    for (const Outline& outline : outlines) {
        for (std::size_t k = 0; k < outline.size(); ++k) {
            nearest = std::min(nearest, DistanceToSegment(p, outline[k], outline[(k + 1) % outline.size()]));
        }
    }
    return nearest;
}

// Twice the signed area: its sign tells which way the outline turns.
double TwiceSignedArea(const Outline& outline) {
    double sum = 0;
    for (std::size_t k = 0; k < outline.size(); ++k) {
        const Point a = outline[k];
        const Point b = outline[(k + 1) % outline.size()];
        sum += a.x * b.y - b.x * a.y;
    }
    return sum;
}

// Every point of a fine grid (offset so as not to fall on the tracing grid) is
// inside the outlines by both filling rules exactly when it is in the region,
// except within `allowance` of the outlines. Returns the first point that is not.
// Smooth borders are followed within the tracing tolerance; a sharp corner that
// falls between grid lines is cut off, by less than a grid step.
std::string FirstMisplacedPoint(const Region& region, double width, double height,
                                double allowance = 2 * kTracingTolerance) {
    const std::vector<Outline> outlines = TraceOutlines(region, width, height);
    constexpr double kStep = 1.0 / 7;
    for (double y = 0.013; y < height; y += kStep) {
        for (double x = 0.029; x < width; x += kStep) {
            const Point p{x, y};
            const Standing standing = StandingOf(outlines, p);
            const bool inRegion = region(p);
            if (standing.insideEvenOdd != (standing.winding != 0) ||
                (standing.insideEvenOdd != inRegion && DistanceToOutlines(outlines, p) > allowance)) {
                std::ostringstream where;
                where << "(" << x << ", " << y << "): in region " << inRegion << ", even-odd "
                      << standing.insideEvenOdd << ", winding " << standing.winding;
                return where.str();
            }
        }
    }
    return "";
}

TEST(OutlineTracing, EveryCoatOfTheHourglassIsBoundedByItsOutlines) {
    const std::vector<PaintLayer> layers = HourglassIconLayers();
    for (std::size_t k = 0; k < layers.size(); ++k) {
        EXPECT_EQ(FirstMisplacedPoint(layers[k].region, kIconSize, kIconSize, kTracingStep), "") << "coat " << k;
    }
}

TEST(OutlineTracing, ARingGivesAnOuterOutlineAndAHoleTurningTheOtherWay) {
    const Point centre{10.3, 11.7};
    const Region ring = [centre](Point p) {
        const double r = Length(p - centre);
        return r <= 6 && r >= 3;
    };
    const std::vector<Outline> outlines = TraceOutlines(ring, 32, 32);
    ASSERT_EQ(outlines.size(), 2u);
    const double first = TwiceSignedArea(outlines[0]) / 2;
    const double second = TwiceSignedArea(outlines[1]) / 2;
    EXPECT_LT(first * second, 0) << "both outlines turn the same way";
    const double outer = std::max(std::abs(first), std::abs(second));
    const double hole = std::min(std::abs(first), std::abs(second));
    EXPECT_NEAR(outer, std::numbers::pi * 36, 0.002 * std::numbers::pi * 36);
    EXPECT_NEAR(hole, std::numbers::pi * 9, 0.005 * std::numbers::pi * 9);
    EXPECT_EQ(FirstMisplacedPoint(ring, 32, 32), "");
}

TEST(OutlineTracing, APartOutsideThePictureIsCutAtItsEdge) {
    const Region band = [](Point p) { return p.x >= 20.2 && p.x <= 45 && p.y >= -3 && p.y <= 10.4; };
    const std::vector<Outline> outlines = TraceOutlines(band, 32, 32);
    ASSERT_EQ(outlines.size(), 1u);
    double right = 0, top = 32;
    for (const Point& corner : outlines[0]) {
        right = std::max(right, corner.x);
        top = std::min(top, corner.y);
    }
    EXPECT_NEAR(right, 32, 1e-6);
    EXPECT_NEAR(top, 0, 1e-6);
    EXPECT_NEAR(std::abs(TwiceSignedArea(outlines[0])) / 2, (32 - 20.2) * 10.4, 5e-3);
}

// A checkerboard of lobes, sin(x) sin(y) above a level, inside the box [2, 30]:
// 8 x 8 lobes, the box's edges cutting through the outer ones. The lobes meet at
// saddle points that fall inside grid cells; a level just above 0 keeps them apart
// there, one just below 0 joins them.
Region Checkerboard(double level) {
    return [level](Point p) {
        const double w = std::numbers::pi / 4;
        const bool inBox = p.x >= 2 && p.x <= 30 && p.y >= 2 && p.y <= 30;
        return inBox && std::sin(w * (p.x + 0.03)) * std::sin(w * (p.y + 0.03)) > level;
    };
}
constexpr double kNearSaddle = 2e-4;

TEST(OutlineTracing, LobesThatNearlyTouchAtASaddleStayApart) {
    // The 32 positive lobes.
    EXPECT_EQ(TraceOutlines(Checkerboard(kNearSaddle), 32, 32).size(), 32u);
    EXPECT_EQ(FirstMisplacedPoint(Checkerboard(kNearSaddle), 32, 32), "");
}

TEST(OutlineTracing, LobesThatMeetAcrossASaddleJoinAroundTheirHoles) {
    // One joined region; its holes are the 18 negative lobes that do not reach the
    // box's edges.
    EXPECT_EQ(TraceOutlines(Checkerboard(-kNearSaddle), 32, 32).size(), 19u);
    EXPECT_EQ(FirstMisplacedPoint(Checkerboard(-kNearSaddle), 32, 32), "");
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

struct SvgPath {
    Colour colour;
    std::vector<Outline> outlines;
};

// The paths of an SVG file as WriteSvg writes them: a fill colour and M, L, Z only.
std::vector<SvgPath> ReadSvgPaths(const std::string& svg) {
    std::vector<SvgPath> paths;
    static const std::regex kPath(R"re(<path fill="#([0-9a-f]{6})" fill-rule="evenodd" d="([^"]*)"/>)re");
    for (auto match = std::sregex_iterator(svg.begin(), svg.end(), kPath); match != std::sregex_iterator(); ++match) {
        SvgPath path;
        const unsigned long rgb = std::stoul((*match)[1].str(), nullptr, 16);
        path.colour = {double(rgb >> 16), double((rgb >> 8) & 0xff), double(rgb & 0xff)};
        std::istringstream data((*match)[2].str());
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

TEST_F(IconFiles, TheSvgPictureFilledSampleBySampleIsTheIconsCanvas) {
    const fs::path file = folder_ / "icon.svg";
    WriteSvg(file, HourglassIconLayers(), kIconSize, kIconSize, "Solvane & co");
    std::ifstream stream(file);
    const std::string svg{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    EXPECT_NE(svg.find(R"(width="32" height="32" viewBox="0 0 32 32")"), std::string::npos);
    EXPECT_NE(svg.find("<title>Solvane &amp; co</title>"), std::string::npos);
    const std::vector<SvgPath> paths = ReadSvgPaths(svg);
    ASSERT_FALSE(paths.empty());

    // The canvas's own samples, filled path by path, each laid over those below.
    const Canvas icon = DrawHourglassIcon();
    constexpr int kSamples = Canvas::kSamplesPerAxis;
    double worstOpacity = 0, worstColour = 0;
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            Colour premultiplied;
            double opacity = 0;
            for (const SvgPath& path : paths) {
                int covered = 0;
                for (int sy = 0; sy < kSamples; ++sy) {
                    for (int sx = 0; sx < kSamples; ++sx) {
                        const Point sample{x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples};
                        covered += StandingOf(path.outlines, sample).insideEvenOdd;
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
    // A sample that falls within the tolerance of a border may land on the other
    // side: one sample in 64 of a pixel, and the colours' rounding to whole values.
    EXPECT_LE(worstOpacity, 1.0 / 64 + 1e-9);
    EXPECT_LE(worstColour, 255.0 / 64 + 0.5);
}

TEST_F(IconFiles, ThePngPictureHoldsTheCanvasWithItsOpacity) {
    const fs::path file = folder_ / "icon.png";
    const Canvas icon = DrawHourglassIcon();
    WritePng(file, icon);
    const QImage image(QString::fromStdString(file.string()), "PNG");
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.size(), QSize(kIconSize, kIconSize));
    ASSERT_TRUE(image.hasAlphaChannel());
    int clear = 0, opaque = 0;
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
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
    for (int x = 0; x < kIconSize; ++x) {
        EXPECT_EQ(qAlpha(image.pixel(x, 0)), 0) << x << ", 0";
        EXPECT_EQ(qAlpha(image.pixel(x, kIconSize - 1)), 0) << x << ", " << kIconSize - 1;
    }
}

TEST_F(IconFiles, AFileThatCannotBeWrittenIsAnError) {
    const fs::path nowhere = folder_ / "missing" / "icon";
    EXPECT_THROW(WritePng(nowhere.string() + ".png", DrawHourglassIcon()), IconWriteError);
    EXPECT_THROW(WriteSvg(nowhere.string() + ".svg", HourglassIconLayers(), kIconSize, kIconSize, "Solvane"),
                 IconWriteError);
}

}  // namespace

// The pictures built into the window, read back through the Qt resources of
// solvane_pictures, which this test program links as the window does.

#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string>

#include "assets/background_rows.h"
#include "gif_reader.h"

namespace {

GifPicture Resource(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error(path + ": no such resource");
    const QByteArray bytes = file.readAll();
    return ReadGifBytes(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())), path);
}

struct PictureRow {
    const char* what;
    const char* path;
    int width;
    int height;
    int paletteSize;
    bool transparent;
};

const PictureRow kPictureRows[] = {
    {"icon_is_32_pixels_in_256_colours", ":/pictures/icon.gif", 32, 32, 256, true},
    {"minimise_picture_is_13_pixels", ":/pictures/minimise.gif", 13, 13, 16, false},
    {"quit_picture_is_13_pixels", ":/pictures/quit.gif", 13, 13, 16, false},
    {"cursor_is_32_pixels_black_white_and_clear", ":/pictures/hand_cursor.gif", 32, 32, 4, true},
    {"initial_moon_is_30_pixels_in_32_colours", ":/pictures/moon_crescent.gif", 30, 30, 32, false},
    {"minimise_picture_at_2x_is_26_pixels", ":/pictures/minimise@2x.gif", 26, 26, 16, false},
    {"quit_picture_at_2x_is_26_pixels", ":/pictures/quit@2x.gif", 26, 26, 16, false},
    {"cursor_at_2x_is_64_pixels_black_white_and_clear", ":/pictures/hand_cursor@2x.gif", 64, 64, 4, true},
};

class WindowPicture : public testing::TestWithParam<PictureRow> {};

TEST_P(WindowPicture, IsReachableWithItsSizeAndPalette) {
    const PictureRow& row = GetParam();
    ASSERT_TRUE(QFile::exists(row.path)) << row.path;
    const GifPicture picture = Resource(row.path);
    EXPECT_EQ(picture.width, row.width);
    EXPECT_EQ(picture.height, row.height);
    EXPECT_EQ(picture.paletteSize, row.paletteSize);
    EXPECT_EQ(picture.transparentIndex.has_value(), row.transparent);
}

INSTANTIATE_TEST_SUITE_P(EveryPicture, WindowPicture, testing::ValuesIn(kPictureRows),
                         [](const testing::TestParamInfo<PictureRow>& info) { return info.param.what; });

// How far inside the window's outline a point lies: the window is cut to the
// rectangle from (1, 1) to (609, 447) with its corners rounded on circles of radius 15.
double DepthInsideOutline(double x, double y) {
    const double cornerX = std::clamp(x, 16.0, 594.0);
    const double cornerY = std::clamp(y, 16.0, 432.0);
    if (cornerX != x && cornerY != y) return 15 - std::hypot(x - cornerX, y - cornerY);
    return std::min({x - 1, 609 - x, y - 1, 447 - y});
}

// The background, read as indexed_rows_file.h lays it out: a table of 256 colours
// (0xAARRGGBB, lowest byte first), then rows of indices padded to four bytes.
GifPicture BackgroundRows() {
    constexpr int kWidth = 609, kHeight = 447, kRowBytes = 612, kColours = 256;
    if (assets::kBackgroundRowsSize != kColours * 4 + kRowBytes * kHeight) throw std::runtime_error("wrong size");
    const auto byte = [](std::size_t at) { return int(assets::kBackgroundRows[at]); };
    GifPicture picture;
    picture.width = kWidth;
    picture.height = kHeight;
    picture.paletteSize = kColours;
    for (std::size_t index = 0; index < kColours; ++index) {
        if (byte(4 * index + 3) != 0xFF) continue;  // unused entries are 0 all through
        picture.palette.resize(index + 1);
        picture.palette[index] = {byte(4 * index + 2), byte(4 * index + 1), byte(4 * index)};
    }
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int index = byte(kColours * 4 + std::size_t(y) * kRowBytes + std::size_t(x));
            if (std::size_t(index) >= picture.palette.size()) throw std::runtime_error("no colour");
            picture.indices.push_back(index);
        }
    }
    return picture;
}

TEST(Background, GreyFieldInsideADarkRimThatFollowsTheRoundedOutline) {
    const GifPicture background = BackgroundRows();
    // Grey levels by depth inside the outline, in half-pixel steps.
    std::map<double, std::pair<int, int>> levelsByDepth;  // lowest and highest
    for (int y = 0; y < background.height; ++y) {
        for (int x = 0; x < background.width; ++x) {
            const GifColour colour = background.At(x, y);
            ASSERT_TRUE(colour.IsGrey()) << "pixel " << x << ", " << y;
            const double depth = DepthInsideOutline(x + 0.5, y + 0.5);
            if (depth >= 11) {
                ASSERT_EQ(colour.red, 176) << "pixel " << x << ", " << y << " lies in the field";
            } else if (depth <= 0.5) {
                ASSERT_LE(colour.red, 40) << "pixel " << x << ", " << y << " lies on the window's edge";
            }
            const double step = std::floor(std::max(depth, -1.0) * 2) / 2;
            auto [it, first] = levelsByDepth.try_emplace(step, colour.red, colour.red);
            it->second.first = std::min(it->second.first, colour.red);
            it->second.second = std::max(it->second.second, colour.red);
        }
    }
    // Along the straight edges and round the corners alike, the same depth has the
    // same grey, and the grey rises with the depth until it meets the field.
    int previousHighest = -1;
    double fieldReached = 0;
    for (const auto& [depth, range] : levelsByDepth) {
        const auto [lowest, highest] = range;
        EXPECT_LE(highest - lowest, 16) << "depth " << depth;
        EXPECT_GE(lowest, previousHighest - 16) << "depth " << depth;
        previousHighest = highest;
        if (fieldReached == 0 && lowest >= 170) fieldReached = depth;
    }
    EXPECT_GE(fieldReached, 7) << "the rim is about ten pixels wide";
    EXPECT_LE(fieldReached, 11) << "the rim is about ten pixels wide";
}

// Colour families of the hourglass.
bool IsOlive(GifColour c) { return std::abs(c.red - c.green) <= 12 && c.red >= 60 && c.red <= 200 && c.blue <= 60; }
bool IsOrange(GifColour c) { return c.red >= 200 && c.green >= 80 && c.green <= 180 && c.blue <= 60; }
bool IsPaleYellow(GifColour c) { return c.red >= 235 && c.green >= 235 && c.blue >= 150 && c.blue <= 240; }

TEST(Icon, OliveOrangeAndPaleYellowHourglassOnTransparency) {
    const GifPicture icon = Resource(":/pictures/icon.gif");
    ASSERT_TRUE(icon.transparentIndex);
    for (const auto& [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}})
        EXPECT_FALSE(icon.IsOpaque(x, y)) << x << ", " << y;

    int olive = 0, orange = 0, paleYellow = 0, opaque = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (!icon.IsOpaque(x, y)) continue;
            ++opaque;
            olive += IsOlive(icon.At(x, y));
            orange += IsOrange(icon.At(x, y));
            paleYellow += IsPaleYellow(icon.At(x, y));
            // An hourglass is the same seen in a mirror.
            EXPECT_TRUE(icon.IsOpaque(31 - x, y)) << "pixel " << x << ", " << y << " has no mirror image";
        }
    }
    EXPECT_GE(olive, 100);
    EXPECT_GE(orange, 40);
    EXPECT_GE(paleYellow, 40);
    EXPECT_GE(olive + orange + paleYellow, opaque * 8 / 10) << "other colours are only shades between these";

    // The glass is pinched in the middle: few sand or glass pixels there, many in the bulbs.
    const auto glassWidth = [&](int y) {
        int width = 0;
        for (int x = 0; x < 32; ++x)
            width += icon.IsOpaque(x, y) && (IsOrange(icon.At(x, y)) || IsPaleYellow(icon.At(x, y)));
        return width;
    };
    EXPECT_LE(glassWidth(16), 3);
    EXPECT_GE(glassWidth(9), 8);
    EXPECT_GE(glassWidth(23), 8);
}

class HandCursor : public testing::TestWithParam<int> {};

TEST_P(HandCursor, BlackOutlinedWhiteHandTiltedFromItsFingertip) {
    const int scale = GetParam();
    const int size = 32 * scale;
    const GifPicture cursor = Resource(scale == 1 ? ":/pictures/hand_cursor.gif" : ":/pictures/hand_cursor@2x.gif");
    ASSERT_TRUE(cursor.transparentIndex);
    const int last = size - 1;
    for (const auto& [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}})
        EXPECT_FALSE(cursor.IsOpaque(x, y)) << x << ", " << y;
    if (scale == 1) {
        // The hot spot (1, 0) is the first opaque pixel of the top row: the fingertip.
        EXPECT_TRUE(cursor.IsOpaque(1, 0));
        EXPECT_EQ(cursor.At(1, 0), (GifColour{0, 0, 0}));
    }

    const auto opaque = [&](int x, int y) { return x >= 0 && y >= 0 && x < size && y < size && cursor.IsOpaque(x, y); };
    int white = 0, black = 0;
    double sumX = 0, sumY = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (!opaque(x, y)) continue;
            sumX += x;
            sumY += y;
            const GifColour c = cursor.At(x, y);
            ASSERT_TRUE(c == (GifColour{0, 0, 0}) || c == (GifColour{255, 255, 255})) << "pixel " << x << ", " << y;
            if (c.red == 0) {
                ++black;
                continue;
            }
            ++white;
            // The outline is closed: white never meets the transparent surroundings.
            EXPECT_TRUE(opaque(x - 1, y) && opaque(x + 1, y) && opaque(x, y - 1) && opaque(x, y + 1))
                << "pixel " << x << ", " << y;
        }
    }
    EXPECT_GE(white, 150 * scale * scale);
    EXPECT_GE(black, 60 * scale);
    // Tilted: the hand lies below and to the right of the fingertip, not straight under it.
    const int count = white + black;
    EXPECT_GT(sumX / count, 7 * scale);
    EXPECT_GT(sumY / count, 8 * scale);
}

INSTANTIATE_TEST_SUITE_P(AtOneAndTwoDevicePixelsPerWindowPixel, HandCursor, testing::Values(1, 2),
                         [](const testing::TestParamInfo<int>& info) { return "scale_" + std::to_string(info.param); });

// The pictures drawn again for screens of two device pixels per window pixel: the
// same drawing on twice as many pixels each way.
struct DoubledRow {
    const char* what;
    const char* path;
    const char* doubledPath;
    bool onWholePixels;  // every line of the drawing lies on whole pixels of the picture at 1x
};

const DoubledRow kDoubledRows[] = {
    {"minimise", ":/pictures/minimise.gif", ":/pictures/minimise@2x.gif", true},
    {"quit", ":/pictures/quit.gif", ":/pictures/quit@2x.gif", false},
    {"hand_cursor", ":/pictures/hand_cursor.gif", ":/pictures/hand_cursor@2x.gif", false},
};

class DoubledPicture : public testing::TestWithParam<DoubledRow> {};

// What a pixel shows, transparency included.
std::optional<GifColour> Shown(const GifPicture& picture, int x, int y) {
    if (!picture.IsOpaque(x, y)) return std::nullopt;
    return picture.At(x, y);
}

TEST_P(DoubledPicture, IsTheSameDrawingAtTwiceTheResolution) {
    const DoubledRow& row = GetParam();
    const GifPicture single = Resource(row.path);
    const GifPicture doubled = Resource(row.doubledPath);
    ASSERT_EQ(doubled.width, 2 * single.width);
    ASSERT_EQ(doubled.height, 2 * single.height);
    EXPECT_EQ(doubled.palette, single.palette);
    EXPECT_EQ(doubled.transparentIndex, single.transparentIndex);

    // Each pixel at 1x covers a block of 2 x 2 at 2x. Inside a shape, where a pixel and
    // its eight neighbours agree, the block shows the same; along the edges each
    // resolution follows the outline with its own pixels, and only there may a block's
    // pixels differ from the pixel they lie in.
    int edgeBlocks = 0;
    int differing = 0;    // pixels at 2x unlike the pixel at 1x they lie in
    int splitBlocks = 0;  // blocks whose four pixels are not all alike
    for (int y = 0; y < single.height; ++y) {
        for (int x = 0; x < single.width; ++x) {
            const std::optional<GifColour> shown = Shown(single, x, y);
            bool inside = true;
            for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, single.height - 1); ++ny) {
                for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, single.width - 1); ++nx) {
                    inside = inside && Shown(single, nx, ny) == shown;
                }
            }
            const std::optional<GifColour> corner = Shown(doubled, 2 * x, 2 * y);
            int differingHere = 0;
            bool split = false;
            for (int b = 0; b < 4; ++b) {
                const std::optional<GifColour> sub = Shown(doubled, 2 * x + b % 2, 2 * y + b / 2);
                differingHere += sub != shown;
                split = split || sub != corner;
            }
            if (inside) {
                EXPECT_EQ(differingHere, 0) << "pixel " << x << ", " << y << " at 1x";
            }
            edgeBlocks += !inside;
            differing += differingHere;
            splitBlocks += split;
        }
    }
    // An outline that moves by less than a pixel at 1x changes one or two pixels of
    // the blocks it crosses, and on its straight runs none.
    EXPECT_LE(differing, edgeBlocks) << "the outlines at 2x stray from those at 1x";
    if (row.onWholePixels) {
        EXPECT_EQ(differing, 0) << "lines on whole pixels double exactly";
    } else {
        EXPECT_GT(splitBlocks, 0) << "drawn anew, not the pixels enlarged";
    }
}

INSTANTIATE_TEST_SUITE_P(ButtonsAndCursor, DoubledPicture, testing::ValuesIn(kDoubledRows),
                         [](const testing::TestParamInfo<DoubledRow>& info) { return info.param.what; });

GifColour Mean(const GifPicture& picture, int x0, int y0, int x1, int y1) {
    GifColour sum;
    int n = 0;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x, ++n) {
            sum.red += picture.At(x, y).red;
            sum.green += picture.At(x, y).green;
            sum.blue += picture.At(x, y).blue;
        }
    }
    return {sum.red / n, sum.green / n, sum.blue / n};
}

bool IsBlack(const GifPicture& picture, int x, int y) { return picture.At(x, y).Luminance() < 40; }

class ButtonPicture : public testing::TestWithParam<const char*> {};

TEST_P(ButtonPicture, RaisedGreySquareLitFromTheUpperLeft) {
    const GifPicture button = Resource(GetParam());
    const int face = button.At(1, 6).Luminance();
    EXPECT_TRUE(button.At(1, 6).IsGrey());
    EXPECT_GT(Mean(button, 0, 0, 11, 0).Luminance(), face) << "top edge";
    EXPECT_GT(Mean(button, 0, 0, 0, 11).Luminance(), face) << "left edge";
    EXPECT_LT(Mean(button, 1, 12, 12, 12).Luminance(), face) << "bottom edge";
    EXPECT_LT(Mean(button, 12, 1, 12, 12).Luminance(), face) << "right edge";
}

INSTANTIATE_TEST_SUITE_P(BothButtons, ButtonPicture, testing::Values(":/pictures/minimise.gif", ":/pictures/quit.gif"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param).find("quit") != std::string::npos ? "quit" : "minimise";
                         });

TEST(QuitPicture, BlackXCentredOnTheFace) {
    const GifPicture quit = Resource(":/pictures/quit.gif");
    int black = 0;
    for (int y = 1; y <= 10; ++y) {
        for (int x = 1; x <= 10; ++x) {
            if (!IsBlack(quit, x, y)) continue;
            ++black;
            // The face spans pixels 1 to 10, so its mirror image maps x to 11 - x.
            EXPECT_TRUE(IsBlack(quit, 11 - x, y)) << "pixel " << x << ", " << y;
        }
    }
    EXPECT_GE(black, 14);
    // Both strokes run corner to corner and cross in the middle, leaving the middle
    // of each side clear.
    EXPECT_TRUE(IsBlack(quit, 3, 3) && IsBlack(quit, 8, 3) && IsBlack(quit, 3, 9) && IsBlack(quit, 8, 9));
    EXPECT_TRUE(IsBlack(quit, 5, 6) && IsBlack(quit, 6, 6));
    EXPECT_FALSE(IsBlack(quit, 5, 3) || IsBlack(quit, 2, 6) || IsBlack(quit, 9, 6) || IsBlack(quit, 5, 9));
}

TEST(MinimisePicture, TwoWindowsTheFrontOneLowerLeft) {
    const GifPicture minimise = Resource(":/pictures/minimise.gif");
    // Each window is a black frame; the front one hides the back one's lower left corner.
    const auto blackIn = [&](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) n += IsBlack(minimise, x, y);
        }
        return n;
    };
    EXPECT_GE(blackIn(8, 1, 11, 4), 6) << "the back window shows at the upper right";
    EXPECT_GE(blackIn(1, 8, 4, 11), 5) << "the front window shows at the lower left";
    EXPECT_EQ(blackIn(1, 1, 3, 3), 0) << "nothing at the upper left";
    EXPECT_EQ(blackIn(9, 9, 10, 10), 0) << "nothing at the lower right";
    // Inside the front window the face shows, not the back window's lines.
    const int face = minimise.At(1, 1).Luminance();
    EXPECT_FALSE(IsBlack(minimise, 5, 8) || IsBlack(minimise, 6, 8));
    EXPECT_EQ(minimise.At(5, 8).Luminance(), face);
}

TEST(InitialMoon, GreyCrescentLitOnTheRight) {
    const GifPicture moon = Resource(":/pictures/moon_crescent.gif");
    int litLeft = 0, litRight = 0, disc = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
            const GifColour c = moon.At(x, y);
            ASSERT_TRUE(c.IsGrey());
            disc += c.red > 18;
            if (c.red > 88) (x < 15 ? litLeft : litRight) += 1;
        }
    }
    EXPECT_EQ(moon.At(0, 0), (GifColour{0, 0, 0}));
    EXPECT_EQ(litLeft, 0);
    EXPECT_GT(litRight, disc / 20) << "a crescent, not a sliver";
    EXPECT_LT(litRight, disc * 2 / 5) << "a crescent, less than a half moon";
}

}  // namespace

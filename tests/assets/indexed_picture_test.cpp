// Reducing a drawing to a palette and writing it as GIF, checked by reading the file
// back with giflib.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "assets/canvas.h"
#include "assets/gif_file.h"
#include "assets/indexed_picture.h"
#include "gif_reader.h"

namespace {

using assets::Canvas;
using assets::Colour;

GifPicture WrittenAndRead(const Canvas& canvas, int paletteSize) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("assets_tests_" + std::to_string(getpid()) + ".gif");
    assets::WriteGif(path, assets::ToIndexed(canvas, paletteSize));
    const GifPicture picture = ReadGifFile(path.string());
    std::filesystem::remove(path);
    return picture;
}

TEST(IndexedPicture, FewColoursAndTransparencyComeBackExactly) {
    Canvas canvas(5, 3);
    const Colour colours[] = {{10, 20, 30}, {255, 0, 0}, {0, 128, 255}, {176, 176, 176}};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) canvas.Lay(x, y, colours[(x + y) % 4], 1);
    }
    canvas.Lay(4, 0, colours[1], 0.4);  // less than half opaque: transparent
    canvas.Lay(4, 1, colours[1], 0.6);  // more than half: opaque, its own colour
    const GifPicture picture = WrittenAndRead(canvas, 8);
    ASSERT_EQ(picture.width, 5);
    ASSERT_EQ(picture.height, 3);
    EXPECT_EQ(picture.paletteSize, 8);
    ASSERT_TRUE(picture.transparentIndex);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            const Colour c = colours[(x + y) % 4];
            EXPECT_EQ(picture.At(x, y), (GifColour{int(c.red), int(c.green), int(c.blue)})) << x << ", " << y;
        }
    }
    EXPECT_FALSE(picture.IsOpaque(4, 0));
    EXPECT_TRUE(picture.IsOpaque(4, 1));
    EXPECT_EQ(picture.At(4, 1), (GifColour{255, 0, 0}));
    EXPECT_FALSE(picture.IsOpaque(4, 2)) << "never painted";
}

// More greys than entries, as in a moon picture: giflib's quantizer chooses the
// palette. Every pixel stays grey, within the 8 levels that its 5 bits a channel
// leave apart, and the black background stays black.
TEST(IndexedPicture, ManyGreysStayGreyAndClose) {
    Canvas canvas(80, 16);
    const auto level = [](int x, int y) { return (64 * y + x) % 256; };
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 80; ++x) canvas.Lay(x, y, assets::Grey(x < 64 ? level(x, y) : 0), 1);
    }
    const GifPicture picture = WrittenAndRead(canvas, 32);
    ASSERT_EQ(picture.paletteSize, 32);
    EXPECT_FALSE(picture.transparentIndex);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 80; ++x) {
            const GifColour got = picture.At(x, y);
            ASSERT_TRUE(got.IsGrey()) << x << ", " << y;
            EXPECT_LT(std::abs(got.red - (x < 64 ? level(x, y) : 0)), 8) << x << ", " << y;
            if (x >= 64) {
                EXPECT_EQ(got.red, 0) << x << ", " << y;
            }
        }
    }
}

// 4096 colours beside a transparent band into 256 entries: the transparent one and
// 255 that the quantizer chooses, all put to use, each colour left near its own.
TEST(IndexedPicture, ManyColoursOnTransparencyFillTheOtherEntries) {
    Canvas canvas(80, 64);
    const auto colour = [](int x, int y) { return Colour{x * 4.0 + 2, y * 4.0 + 2, (x + y) * 2.0}; };
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) canvas.Lay(x, y, colour(x, y), 1);
    }
    const GifPicture picture = WrittenAndRead(canvas, 256);
    ASSERT_EQ(picture.paletteSize, 256);
    ASSERT_TRUE(picture.transparentIndex);
    std::set<int> used;
    double worst = 0, sum = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 80; ++x) {
            ASSERT_EQ(picture.IsOpaque(x, y), x < 64) << x << ", " << y;
            if (x >= 64) continue;
            used.insert(picture.IndexAt(x, y));
            const GifColour got = picture.At(x, y);
            const Colour want = colour(x, y);
            const double distance = std::hypot(got.red - want.red, got.green - want.green, got.blue - want.blue);
            worst = std::max(worst, distance);
            sum += distance;
        }
    }
    EXPECT_GE(used.size(), 250u) << "the palette is put to use";
    EXPECT_LE(sum / (64 * 64), 20) << "mean distance between a colour and its palette entry";
    EXPECT_LE(worst, 64) << "largest distance between a colour and its palette entry";
}

TEST(IndexedPicture, PaletteSizeMustSuitGif) {
    const Canvas canvas(2, 2);
    for (int size : {0, 1, 3, 48, 512}) EXPECT_THROW(assets::ToIndexed(canvas, size), std::invalid_argument) << size;
}

TEST(IndexedPicture, UnwritableFileIsReportedInFrench) {
    Canvas canvas(2, 2);
    canvas.Lay(0, 0, {1, 2, 3}, 1);
    try {
        assets::WriteGif("/nonexistent-folder/x.gif", assets::ToIndexed(canvas, 2));
        FAIL() << "no error";
    } catch (const assets::GifWriteError& error) {
        EXPECT_NE(std::string(error.what()).find("Impossible"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("/nonexistent-folder/x.gif"), std::string::npos) << error.what();
    }
}

}  // namespace

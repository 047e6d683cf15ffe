// The thirty moon pictures beside the program, measured pixel by pixel against the
// geometry of the phases: at phase angle theta = 2 pi n / 29.53 the lit share of the
// disc is (1 - cos theta) / 2, and on each row the lit run reaches from the limb to
// the terminator at w cos theta, w being half the row's width on the disc.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "gif_reader.h"

namespace {

constexpr int kPictures = 30;
constexpr int kNewMoon = 0;
constexpr int kFullMoon = 15;

double PhaseAngle(int age) { return 2 * std::numbers::pi * age / 29.53; }
double LitShare(int age) { return (1 - std::cos(PhaseAngle(age))) / 2; }

GifPicture Moon(int age) { return ReadGifFile(std::string(SOLVANE_PROGRAM_DIR) + "/" + std::to_string(age) + ".gif"); }

// Brightness measured against two reference pictures, which makes it independent of
// the plains and the shading of the surface: at new moon a pixel shows only the faint
// earthlit disc, in proportion to the share of it that the disc covers; at full moon
// (a sliver of 0.06 % short of it) the same disc wholly sunlit. A pixel's sunlit area
// is then its disc coverage times where its brightness lies between the two.
class Photometry {
public:
    Photometry() : newMoon_(Moon(kNewMoon)), fullMoon_(Moon(kFullMoon)) {
        earthlitCentre_ = newMoon_.At(newMoon_.width / 2, newMoon_.height / 2).Luminance();
    }

    double DiscCoverage(int x, int y) const {
        return std::min(1.0, newMoon_.At(x, y).Luminance() / double(earthlitCentre_));
    }

    // Pixels at the limb with too little of the disc in them to measure are left out.
    bool Measurable(int x, int y) const {
        return DiscCoverage(x, y) >= 0.3 && fullMoon_.At(x, y).Luminance() - newMoon_.At(x, y).Luminance() >= 20;
    }

    double SunlitArea(const GifPicture& moon, int x, int y) const {
        const double earthlit = newMoon_.At(x, y).Luminance();
        const double sunlit = fullMoon_.At(x, y).Luminance();
        const double share = (moon.At(x, y).Luminance() - earthlit) / (sunlit - earthlit);
        return DiscCoverage(x, y) * std::clamp(share, 0.0, 1.0);
    }

    int earthlitCentre() const { return earthlitCentre_; }

private:
    GifPicture newMoon_;
    GifPicture fullMoon_;
    int earthlitCentre_ = 0;
};

class MoonPicture : public testing::TestWithParam<int> {};

TEST_P(MoonPicture, IsAGreyDiscOnBlackWithAThirtyTwoColourPalette) {
    const GifPicture moon = Moon(GetParam());
    EXPECT_EQ(moon.width, 30);
    EXPECT_EQ(moon.height, 30);
    EXPECT_EQ(moon.paletteSize, 32);
    EXPECT_FALSE(moon.transparentIndex);
    for (int y = 0; y < moon.height; ++y) {
        for (int x = 0; x < moon.width; ++x) EXPECT_TRUE(moon.At(x, y).IsGrey()) << "pixel " << x << ", " << y;
    }
    for (const auto& [x, y] : {std::pair{0, 0}, {29, 0}, {0, 29}, {29, 29}, {15, 0}, {0, 15}}) {
        EXPECT_EQ(moon.At(x, y), (GifColour{0, 0, 0})) << "pixel " << x << ", " << y << " is off the disc";
    }
}

// The plain count: pixels brighter than the darkest sunlit plain, against the pixels
// more than half as bright as the earthlit disc at new moon.
TEST_P(MoonPicture, LitShareOfTheDiscFollowsThePhaseAngle) {
    const int age = GetParam();
    const GifPicture newMoon = Moon(kNewMoon);
    const GifPicture moon = Moon(age);
    const int halfEarthlit = newMoon.At(15, 15).Luminance() / 2;
    int disc = 0;
    int lit = 0;
    for (int y = 0; y < moon.height; ++y) {
        for (int x = 0; x < moon.width; ++x) {
            disc += newMoon.At(x, y).Luminance() > halfEarthlit;
            lit += moon.At(x, y).Luminance() > 100;
        }
    }
    EXPECT_NEAR(static_cast<double>(lit) / disc, LitShare(age), 0.02) << "age " << age << " days";
}

// Row by row, within half a pixel: this sees a terminator of the wrong shape even
// where the total area comes out right.
TEST_P(MoonPicture, EachRowIsLitFromTheLimbToTheTerminator) {
    const int age = GetParam();
    const Photometry photometry;
    const GifPicture moon = Moon(age);
    double litArea = 0;
    double discArea = 0;
    for (int y = 0; y < moon.height; ++y) {
        double rowWidth = 0;
        double rowLit = 0;
        for (int x = 0; x < moon.width; ++x) {
            if (!photometry.Measurable(x, y)) continue;
            rowWidth += photometry.DiscCoverage(x, y);
            rowLit += photometry.SunlitArea(moon, x, y);
        }
        litArea += rowLit;
        discArea += rowWidth;
        if (rowWidth < 8) continue;  // rows that only graze the disc
        EXPECT_NEAR(rowLit, rowWidth * LitShare(age), 0.5) << "age " << age << " days, row " << y;
    }
    EXPECT_NEAR(litArea / discArea, LitShare(age), 0.01) << "age " << age << " days";
}

// The centre of the sunlight lies right of the disc's centre while the moon waxes
// and left of it while it wanes, even for a crescent a day old or a sliver of shadow.
TEST_P(MoonPicture, WaxingMoonIsLitOnTheRightAndWaningMoonOnTheLeft) {
    const int age = GetParam();
    if (age == kNewMoon || age == kFullMoon) GTEST_SKIP() << "nothing lit, or a sliver too thin to measure against";
    const Photometry photometry;
    const GifPicture moon = Moon(age);
    double moment = 0;
    for (int y = 0; y < moon.height; ++y) {
        for (int x = 0; x < moon.width; ++x) {
            if (photometry.Measurable(x, y)) moment += photometry.SunlitArea(moon, x, y) * (x + 0.5 - 15);
        }
    }
    if (PhaseAngle(age) < std::numbers::pi) {
        EXPECT_GT(moment, 0) << "age " << age << " days is waxing";
    } else {
        EXPECT_LT(moment, 0) << "age " << age << " days is waning";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryAge, MoonPicture, testing::Range(0, kPictures),
                         [](const testing::TestParamInfo<int>& info) { return "age" + std::to_string(info.param); });

TEST(MoonPictures, DiscFillsThePictureButForANarrowMargin) {
    const Photometry photometry;
    double area = 0, sumX = 0, sumY = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
            const double c = photometry.DiscCoverage(x, y);
            area += c;
            sumX += c * (x + 0.5);
            sumY += c * (y + 0.5);
        }
    }
    EXPECT_NEAR(sumX / area, 15, 0.1);
    EXPECT_NEAR(sumY / area, 15, 0.1);
    const double radius = std::sqrt(area / std::numbers::pi);
    EXPECT_GT(radius, 11.5);
    EXPECT_LT(radius, 14.5);
    // Faint, but seen on the black around it.
    EXPECT_GE(photometry.earthlitCentre(), 20);
    EXPECT_LE(photometry.earthlitCentre(), 60);
}

TEST(MoonPictures, NewMoonIsDarkestAndFifteenDaysBrightest) {
    long darkest = 0;
    long brightest = 0;
    int darkestAge = -1;
    int brightestAge = -1;
    for (int age = 0; age < kPictures; ++age) {
        const GifPicture moon = Moon(age);
        long brightness = 0;
        for (int y = 0; y < moon.height; ++y) {
            for (int x = 0; x < moon.width; ++x) brightness += moon.At(x, y).Luminance();
        }
        if (darkestAge < 0 || brightness < darkest) darkest = brightness, darkestAge = age;
        if (brightestAge < 0 || brightness > brightest) brightest = brightness, brightestAge = age;
    }
    EXPECT_EQ(darkestAge, kNewMoon);
    EXPECT_EQ(brightestAge, kFullMoon);
}

}  // namespace

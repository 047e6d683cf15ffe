// Checked 16-bit arithmetic, real division, rounding and the number texts.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "calendar/numbers.h"
#include "tests/calendar/sweep_support.h"

namespace calendar {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Against wide integers: exact when the true result fits 16 bits, OverflowError exactly
// when it does not. The left operand covers both ends of the range and a stride through it.
TEST(Int16Test, EveryOperatorIsExactInRangeAndRaisesOutsideIt) {
    test::MismatchLog log;
    auto check = [&](const char* name, long long a, long long b, long long wide, auto operation) {
        const bool fits = wide >= Int16::kMin && wide <= Int16::kMax;
        const std::string what = std::to_string(a) + " " + name + " " + std::to_string(b);
        try {
            const int got = operation(Int16(a), Int16(b)).value();
            if (!fits || got != wide) log.Record(what + " gave " + std::to_string(got));
        } catch (const OverflowError&) {
            if (fits) log.Record(what + " overflowed");
        }
    };
    for (long long a = Int16::kMin; a <= Int16::kMax; a += (a < Int16::kMin + 300 || a > Int16::kMax - 300) ? 1 : 97) {
        for (long long b : {-32768, -32767, -181, -2, -1, 1, 2, 181, 182, 32767}) {
            check("+", a, b, a + b, [](Int16 x, Int16 y) { return x + y; });
            check("-", a, b, a - b, [](Int16 x, Int16 y) { return x - y; });
            check("*", a, b, a * b, [](Int16 x, Int16 y) { return x * y; });
            check("%", a, b, a % b, [](Int16 x, Int16 y) { return x % y; });  // C++ keeps the dividend's sign too
            check("quotient", a, b, a / b, [](Int16 x, Int16 y) { return Quotient(x, y); });
        }
        check("negation", a, 1, -a, [](Int16 x, Int16) { return -x; });
    }
    EXPECT_EQ(log.count(), 0);
    EXPECT_EQ((Int16(-7) % 4).value(), -3);
    EXPECT_THROW(Int16(32768), OverflowError);
    EXPECT_THROW(Int16(5) % 0, FloatingPointError);
    EXPECT_THROW(Quotient(Int16(5), 0), FloatingPointError);
}

TEST(Int16Test, ErrorsAreFrenchSentencesWithTheDetail) {
    auto message = [](auto failing) -> std::string {
        try {
            failing();
        } catch (const CalendarError& error) {
            return error.what();
        }
        return "no error";
    };
    EXPECT_EQ(message([] { return Int16(32767) + 1; }), "Dépassement de capacité (addition : 32768)");
    EXPECT_EQ(message([] { return RealDivide(1.0, 0.0); }),
              "Erreur de calcul en virgule flottante (division de 1 par 0)");
}

TEST(RealDivideTest, RaisesWhenTheQuotientIsNotFinite) {
    EXPECT_EQ(RealDivide(1e-308, 1e308), 0.0);  // an underflow to 0 is finite
    for (double dividend : {1.0, -1.0, 0.0}) EXPECT_THROW(RealDivide(dividend, 0.0), FloatingPointError);
    EXPECT_THROW(RealDivide(1e308, 1e-308), FloatingPointError);
    EXPECT_THROW(RealDivide(kNaN, 7.0), FloatingPointError);
}

TEST(ToIntegerTest, RoundsEveryValueOfTheRangeToNearestWithHalvesToEven) {
    test::MismatchLog log;
    for (int k = Int16::kMin; k < Int16::kMax; ++k) {
        const int even = k % 2 == 0 ? k : k + 1;
        if (ToInteger(k) != k || ToInteger(k + 0.4999) != k || ToInteger(k + 0.5) != even ||
            ToInteger(k + 0.5001) != k + 1) {
            log.Record("around " + std::to_string(k));
        }
    }
    EXPECT_EQ(log.count(), 0);
    EXPECT_THROW(ToInteger(32767.5), OverflowError);  // rounds to 32768
    EXPECT_EQ(ToInteger(-32768.4).value(), -32768);
    EXPECT_EQ(ToInteger(-32768.5).value(), -32768);  // its even neighbour is inside
    EXPECT_THROW(ToInteger(-32768.51), OverflowError);
    EXPECT_THROW(ToInteger(kInfinity), OverflowError);
    EXPECT_THROW(ToInteger(kNaN), FloatingPointError);
    EXPECT_EQ(ToInteger(4.0 / 7.0).value(), 1);
}

// Beyond what the whole-range sweep of ToInteger covers.
TEST(RoundWholeTest, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundWhole(0.5), 0.0);
    EXPECT_EQ(RoundWhole(28.5), 28.0);
    EXPECT_EQ(RoundWhole(29.5), 30.0);
    EXPECT_EQ(RoundWhole(-2.5), -2.0);
    EXPECT_EQ(RoundWhole(4503599627370495.5), 4503599627370496.0);  // the last half below 2^52
    EXPECT_EQ(RoundWhole(1e300), 1e300);
}

TEST(NumbersTest, IntPartFloorsAndNumberTextIsPlain) {
    EXPECT_EQ(IntPart(2.9), 2.0);
    EXPECT_EQ(IntPart(-0.25), -1.0);
    EXPECT_EQ(IntPart(-3.0), -3.0);
    EXPECT_EQ(NumberText(2024), "2024");
    EXPECT_EQ(NumberText(-5), "-5");
    EXPECT_EQ(NumberText(1234567), "1234567");
}

TEST(LeadingNumberTest, ReadsTheNumberThatTheTextBeginsWith) {
    const std::string fourHundredDigits(400, '9');
    const struct {
        const char* name;
        const char* text;
        double value;
    } rows[] = {
        {"empty text", "", 0},
        {"a first name", "Marcel", 0},
        {"inf spelt out", "inf", 0},
        {"Infinity spelt out", "Infinity", 0},
        {"nan spelt out", "-nan", 0},
        {"two blanks, 12 and a word", "  12 Marcel", 12},
        {"blanks and tabs", "\t \t8", 8},
        {"a line end is no blank", "\n8", 0},
        {"zero", "0", 0},
        {"hexadecimal prefix", "0x1A", 0},
        {"point five", ".5", 0.5},
        {"trailing point", "5.", 5},
        {"lone point", ".", 0},
        {"sign then blank", "- 5", 0},
        {"plus sign", "+7", 7},
        {"minus sign", "-3.25x", -3.25},
        {"comma ends it", "1,5", 1},
        {"second point ends it", "1.2.3", 1.2},
        {"a date", "01/01", 1},
        {"exponent not read", "1e5", 1},
        {"too long for a double", fourHundredDigits.c_str(), kInfinity},
    };
    for (const auto& row : rows) EXPECT_EQ(LeadingNumber(row.text), row.value) << row.name;
}

}  // namespace
}  // namespace calendar

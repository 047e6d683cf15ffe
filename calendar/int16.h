#pragma once
// Signed 16-bit integers whose every result is checked, and the errors that the
// calendar arithmetic raises. The whole calendar computes years, weekdays and day
// numbers in this arithmetic: a result outside -32768..32767 is an error, never a
// silent wrap-around.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace calendar {

// The errors carry a French sentence, because the window shows it to the user as it is.
class CalendarError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A 16-bit result, or a real value converted to 16 bits, left -32768..32767.
class OverflowError : public CalendarError {
public:
    explicit OverflowError(const std::string& detail);
};

// A real as an error message writes it: exactly, in as few digits as give it back.
std::string RealText(double x);

// A real division whose result is not a finite number.
class FloatingPointError : public CalendarError {
public:
    explicit FloatingPointError(const std::string& detail);
};

class Int16 {
public:
    static constexpr int kMin = -32768;
    static constexpr int kMax = 32767;

    constexpr Int16() = default;
    // Implicit, so that literals and 16-bit values mix as in the calendar rules;
    // a value outside the range raises OverflowError.
    constexpr Int16(long long value) : value_(Checked(value, "conversion")) {}

    constexpr int value() const { return value_; }
    constexpr explicit operator int() const { return value_; }

    friend constexpr Int16 operator+(Int16 a, Int16 b) {
        return Int16(Raw{}, Checked(a.value_ + b.value_, "addition"));
    }
    friend constexpr Int16 operator-(Int16 a, Int16 b) {
        return Int16(Raw{}, Checked(a.value_ - b.value_, "soustraction"));
    }
    friend constexpr Int16 operator*(Int16 a, Int16 b) {
        return Int16(Raw{}, Checked(static_cast<long long>(a.value_) * b.value_, "multiplication"));
    }
    // Remainder of the integer division; it takes the sign of the dividend (-7 mod 4 is -3),
    // which is what C++'s % does. A zero divisor has no remainder.
    friend constexpr Int16 operator%(Int16 a, Int16 b) {
        if (b.value_ == 0) throw FloatingPointError("reste d'une division par zéro");
        return Int16(Raw{}, Checked(a.value_ % b.value_, "reste de division"));
    }
    // Quotient of the integer division, toward zero (-7 by 4 is -1), the partner of
    // the remainder above: a = Quotient(a, b) * b + a % b. A named function rather than
    // operator/, so that a real division by a 16-bit value cannot be written by mistake.
    friend constexpr Int16 Quotient(Int16 a, Int16 b) {
        if (b.value_ == 0) throw FloatingPointError("division entière par zéro");
        return Int16(Raw{}, Checked(static_cast<long long>(a.value_) / b.value_, "division entière"));
    }
    constexpr Int16 operator-() const { return Int16(Raw{}, Checked(-static_cast<long long>(value_), "négation")); }

    friend constexpr bool operator==(Int16 a, Int16 b) = default;
    friend constexpr auto operator<=>(Int16 a, Int16 b) = default;

private:
    struct Raw {};
    constexpr Int16(Raw, int checkedValue) : value_(checkedValue) {}

    static constexpr int Checked(long long result, const char* operation) {
        if (result < kMin || result > kMax)
            throw OverflowError(std::string(operation) + " : " + std::to_string(result));
        return static_cast<int>(result);
    }

    int value_ = 0;
};

// Real division that raises FloatingPointError when the quotient is not finite
// (division by zero, overflow, an invalid operation).
double RealDivide(double dividend, double divisor);

}  // namespace calendar

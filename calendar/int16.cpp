#include "calendar/int16.h"

#include <cmath>
#include <cstdio>

namespace calendar {

OverflowError::OverflowError(const std::string& detail) : CalendarError("Dépassement de capacité (" + detail + ")") {}

FloatingPointError::FloatingPointError(const std::string& detail)
    : CalendarError("Erreur de calcul en virgule flottante (" + detail + ")") {}

// Seventeen significant digits give the value back exactly; "%g" alone would round it to six.
std::string RealText(double x) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", x);
    return text;
}

double RealDivide(double dividend, double divisor) {
    const double quotient = dividend / divisor;
    if (!std::isfinite(quotient)) {
        throw FloatingPointError("division de " + RealText(dividend) + " par " + RealText(divisor));
    }
    return quotient;
}

}  // namespace calendar

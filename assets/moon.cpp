// The moon's phase as it looks from the northern hemisphere, drawn from the angle
// between sun and moon seen from the earth. At phase angle theta (0 at new moon,
// pi at full moon) the lit part of the disc is bounded by one half of the limb and
// by the terminator, half an ellipse whose semi-axis across the disc is
// r |cos theta|: on each row at height y the disc spans -w..w with
// w = sqrt(r^2 - y^2), and the terminator crosses it at w cos theta. Waxing, the
// right part beyond it is lit; waning, the mirror image on the left. The lit share
// of the disc is therefore (1 - cos theta) / 2.

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "assets/pictures.h"
#include "calendar/moon.h"

namespace assets {

namespace {

constexpr int kSize = 30;
constexpr Point kCentre{15, 15};
constexpr double kRadius = 13;
constexpr double kHighlandGrey = 226;    // lit highlands at the centre of the disc
constexpr double kEarthshineGrey = 36;   // the unlit part, faintly and evenly lit by the earth
constexpr double kLimbDarkening = 0.16;  // share of the light lost toward the limb
constexpr double kDarkestMare = 0.64;    // share of the highlands' light kept on the darkest plain

// The large dark plains of the near side, in units of the disc's radius (x to the
// right, y downward, north up), each an ellipse with its share of light kept.
struct Mare {
    Point centre;
    double radiusX;
    double radiusY;
    double lightKept;
};

constexpr std::array kMaria{
    Mare{{-0.34, -0.44}, 0.36, 0.28, 0.66},  // Imbrium
    Mare{{-0.62, -0.04}, 0.30, 0.55, 0.70},  // Procellarum
    Mare{{0.16, -0.36}, 0.22, 0.20, 0.68},   // Serenitatis
    Mare{{0.36, -0.06}, 0.27, 0.23, 0.68},   // Tranquillitatis
    Mare{{0.74, -0.30}, 0.15, 0.13, 0.64},   // Crisium
    Mare{{0.60, 0.20}, 0.14, 0.21, 0.74},    // Fecunditatis
    Mare{{0.36, 0.30}, 0.11, 0.11, 0.74},    // Nectaris
    Mare{{-0.20, 0.40}, 0.25, 0.19, 0.74},   // Nubium
    Mare{{-0.54, 0.42}, 0.13, 0.12, 0.70},   // Humorum
};

// The share of light that the surface at p (in radii from the centre) sends back,
// 1 on the bright highlands; each mare darkens smoothly from its rim to its inner
// half, so that neighbouring maria run together as they do on the moon.
double Albedo(Point p) {
    double albedo = 1;
    for (const Mare& mare : kMaria) {
        const Point d = p - mare.centre;
        const double reach = std::hypot(d.x / mare.radiusX, d.y / mare.radiusY);
        const double t = std::clamp((1 - reach) / 0.5, 0.0, 1.0);
        albedo *= 1 - (1 - mare.lightKept) * t * t * (3 - 2 * t);
    }
    // Where maria overlap they are no darker than the darkest of them.
    return std::max(albedo, kDarkestMare);
}

}  // namespace

Canvas DrawMoon(double ageInDays) {
    // The age as the picture numbers count it: one cycle is kMoonAgeScale days.
    const double phaseAngle =
        2 * std::numbers::pi * std::fmod(ageInDays, calendar::kMoonAgeScale) / calendar::kMoonAgeScale;
    const bool waxing = phaseAngle <= std::numbers::pi;
    const double cosine = std::cos(phaseAngle);

    Canvas canvas(kSize, kSize);
    canvas.Paint([](Point) -> std::optional<Colour> { return Grey(0); });
    canvas.Paint([&](Point p) -> std::optional<Colour> {
        const Point d = p - kCentre;
        const double rowHalfWidth2 = kRadius * kRadius - d.y * d.y;
        if (rowHalfWidth2 < 0 || d.x * d.x > rowHalfWidth2) return std::nullopt;
        const double terminator = std::sqrt(rowHalfWidth2) * cosine;
        const bool lit = waxing ? d.x >= terminator : d.x <= -terminator;

        if (!lit) return Grey(kEarthshineGrey);
        const Point onDisc = (1 / kRadius) * d;
        const double facing = std::sqrt(std::max(0.0, 1 - onDisc.x * onDisc.x - onDisc.y * onDisc.y));
        return Grey(kHighlandGrey * Albedo(onDisc) * (1 - kLimbDarkening * (1 - facing)));
    });
    return canvas;
}

}  // namespace assets

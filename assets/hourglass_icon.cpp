// The window's icon: an hourglass in a wooden frame, two olive plates joined by two
// posts, with pale yellow glass between them and orange sand running from the
// upper bulb into a heap in the lower one. Everything is drawn darker olive first
// and then again one pixel smaller, which leaves each part with an outline.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "assets/pictures.h"

namespace assets {

namespace {

constexpr int kSize = 32;
constexpr double kAxis = 16;  // the vertical axis of symmetry

constexpr Colour kOliveDark{86, 86, 0};
constexpr Colour kOlive{128, 128, 0};
constexpr Colour kOliveLight{170, 170, 40};
constexpr Colour kPaleYellow{255, 255, 190};
constexpr Colour kGlassGleam{255, 255, 238};
constexpr Colour kOrange{255, 140, 0};
constexpr Colour kOrangeDark{214, 104, 0};

// The glass runs between the plates, from y = 5.5 to 26.5, pinched at y = 16.
constexpr double kGlassTop = 5.5;
constexpr double kGlassBottom = 26.5;
constexpr double kNeck = 16;
constexpr double kNeckHalfWidth = 1.1;
constexpr double kBulbHalfWidth = 7.2;
constexpr double kGlassWall = 1.0;

// Half the glass's width at height y (0 outside it): each bulb swells from the neck
// like a quarter sine and rounds off where it meets its plate.
double GlassHalfWidth(double y) {
    if (y < kGlassTop || y > kGlassBottom) return 0;
    const double u = std::abs(y - kNeck) / (kNeck - kGlassTop);  // 0 at the neck, 1 at a plate
    const double swell = std::sin(std::numbers::pi / 2 * std::min(1.0, u / 0.7));
    const double shoulder = u > 0.8 ? std::pow((u - 0.8) / 0.2, 2) * 1.6 : 0;
    return kNeckHalfWidth + (kBulbHalfWidth - kNeckHalfWidth) * swell - shoulder;
}

// The glass shrunk by inset, or grown by a negative one across but not beyond its ends.
Region Glass(double inset) {
    return [inset](Point p) {
        const double halfWidth = GlassHalfWidth(p.y);
        return halfWidth > 0 && std::abs(p.x - kAxis) <= halfWidth - inset;
    };
}

// A part with a dark outline one pixel wide around a face of the given colour.
void PaintOutlined(Canvas& canvas, RoundedRectangle part, Colour face) {
    canvas.Paint(part, kOliveDark);
    canvas.Paint(
        RoundedRectangle{part.left + 1, part.top + 1, part.right - 1, part.bottom - 1, std::max(0.0, part.radius - 1)},
        face);
}

void PaintPlate(Canvas& canvas, double top) {
    PaintOutlined(canvas, RoundedRectangle{5, top, 27, top + 4.5, 1.5}, kOlive);
    canvas.Paint(RoundedRectangle{6.5, top + 1, 25.5, top + 2, 0.5}, kOliveLight);  // light along the upper edge
}

}  // namespace

Canvas DrawHourglassIcon() {
    Canvas canvas(kSize, kSize);

    // The posts stand behind the glass.
    PaintOutlined(canvas, RoundedRectangle{6.5, 4, 9.5, 28, 0}, kOlive);
    PaintOutlined(canvas, RoundedRectangle{22.5, 4, 25.5, 28, 0}, kOlive);

    canvas.Paint(Glass(-0.3), kOliveDark);
    canvas.Paint(Glass(kGlassWall), kPaleYellow);

    // Sand: what is left in the upper bulb, with a hollow where it drains; the
    // stream through the neck; the heap below.
    const Region inner = Glass(kGlassWall);
    canvas.Paint(
        [inner](Point p) {
            return inner(p) && p.y < kNeck && p.y > 10.5 + 2.2 * std::exp(-std::pow((p.x - kAxis) / 1.8, 2));
        },
        kOrange);
    canvas.Paint([](Point p) { return std::abs(p.x - kAxis) <= 0.45 && p.y >= 13 && p.y <= 22; }, kOrange);
    canvas.Paint([inner](Point p) { return inner(p) && p.y > 20.5 + 0.11 * std::pow(p.x - kAxis, 2); }, kOrange);
    canvas.Paint([inner](Point p) { return inner(p) && p.y > 24.2 + 0.04 * std::pow(p.x - kAxis, 2); }, kOrangeDark);

    // A gleam down the left side of each bulb.
    canvas.Paint(
        [](Point p) { return p.y > 7 && p.y < 11 && std::abs(p.x - (kAxis - GlassHalfWidth(p.y) + 2.3)) <= 0.5; },
        kGlassGleam);

    PaintPlate(canvas, 1.5);
    PaintPlate(canvas, 26);
    return canvas;
}

}  // namespace assets

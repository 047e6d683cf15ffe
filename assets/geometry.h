#pragma once
// Plane geometry for drawing pictures: points in picture coordinates (x to the
// right, y downward, pixel (i, j) covering the square [i, i + 1) x [j, j + 1)) and
// the few shapes the pictures are built from, each answering whether it holds a point.

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace assets {

struct Point {
    double x = 0;
    double y = 0;
};

constexpr Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
constexpr Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
constexpr Point operator*(double k, Point a) { return {k * a.x, k * a.y}; }

inline double Length(Point a) { return std::hypot(a.x, a.y); }

// The point turned by angle radians about the origin; with y downward a positive
// angle turns clockwise on the screen.
inline Point Rotated(Point a, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return {c * a.x - s * a.y, s * a.x + c * a.y};
}

// Distance from p to the segment from a to b.
inline double DistanceToSegment(Point p, Point a, Point b) {
    const Point ab = b - a;
    const double lengthSquared = ab.x * ab.x + ab.y * ab.y;
    const double t =
        lengthSquared == 0 ? 0 : std::clamp(((p.x - a.x) * ab.x + (p.y - a.y) * ab.y) / lengthSquared, 0.0, 1.0);
    return Length(p - (a + t * ab));
}

// A set of points of the plane, given by its membership test.
using Region = std::function<bool(Point)>;

// The region drawn `scale` times larger about the origin: a picture drawn at twice
// the resolution paints each shape enlarged twice, and so holds the same drawing.
inline Region Enlarged(Region region, double scale) {
    return [region = std::move(region), scale](Point p) { return region((1 / scale) * p); };
}

// The points within radius of the segment from a to b: a stroke with round ends,
// or a disc when a and b coincide.
struct Capsule {
    Point a;
    Point b;
    double radius = 0;
    bool operator()(Point p) const { return DistanceToSegment(p, a, b) <= radius; }
};

// An axis-aligned rectangle with corners rounded to quarter circles of the given radius.
struct RoundedRectangle {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    double radius = 0;

    // Negative inside, positive outside, the distance to the outline either way: the
    // distance to the rectangle shrunk by the radius, less the radius.
    double SignedDistance(Point p) const {
        const double halfWidth = (right - left) / 2;
        const double halfHeight = (bottom - top) / 2;
        const double qx = std::abs(p.x - (left + right) / 2) - (halfWidth - radius);
        const double qy = std::abs(p.y - (top + bottom) / 2) - (halfHeight - radius);
        const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
        return outside + std::min(std::max(qx, qy), 0.0) - radius;
    }
    bool operator()(Point p) const { return SignedDistance(p) <= 0; }
};

}  // namespace assets

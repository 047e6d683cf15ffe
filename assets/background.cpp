// The window's background: a flat grey field inside a rim that darkens toward the
// window's edge. The window is cut to a rounded rectangle from (1, 1) to (609, 447),
// right and bottom excluded, with corners of a 30 x 30 ellipse; the rim follows that
// outline, so its corners are rounded the same way and the shading runs evenly
// along the cut.

#include <algorithm>
#include <cmath>

#include "assets/pictures.h"

namespace assets {

namespace {

constexpr int kWidth = 609;
constexpr int kHeight = 447;
constexpr RoundedRectangle kWindowOutline{1, 1, 609, 447, 15};
constexpr double kFieldGrey = 176;  // the window's own background colour
constexpr double kEdgeGrey = 14;    // at the outline
constexpr double kRimWidth = 10;

// The grey at a given depth inside the outline: near black at the edge, easing
// out of it and into the field (a smoothstep), so that neither the edge nor the
// field's border shows a line.
double RimGrey(double depth) {
    const double t = std::clamp(depth / kRimWidth, 0.0, 1.0);
    const double rise = t * t * (3 - 2 * t);
    return kEdgeGrey + (kFieldGrey - kEdgeGrey) * rise;
}

}  // namespace

Canvas DrawBackground() {
    Canvas canvas(kWidth, kHeight);
    canvas.Paint([](Point p) -> std::optional<Colour> { return Grey(RimGrey(-kWindowOutline.SignedDistance(p))); });
    return canvas;
}

}  // namespace assets

// The window's background: a flat grey field inside a rim that darkens toward the
// window's edge. The window is cut to its rounded outline (assets/window_shape.h);
// the rim follows that outline, so its corners are rounded the same way and the
// shading runs evenly along the cut.

#include <algorithm>
#include <cmath>

#include "assets/pictures.h"
#include "assets/window_shape.h"

namespace assets {

namespace {

using namespace window_shape;
constexpr RoundedRectangle kWindowOutline{kOutlineLeft, kOutlineTop, kWidth, kHeight, kCornerDiameter / 2.0};
constexpr double kFieldGrey = kGrey;
constexpr double kEdgeGrey = 14;  // at the outline
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

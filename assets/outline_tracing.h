#pragma once
// The border of a region as closed polygons, so that a picture drawn as regions
// (see canvas.h) can also be written as outlines that scale to any size.

#include <vector>

#include "assets/geometry.h"

namespace assets {

// A closed outline: its corners in order, the last one joined back to the first.
using Outline = std::vector<Point>;

// The grid on which regions are looked at, in pixels, and how far a traced outline
// may stray from the true border. A part of a region thinner than the grid step can
// be lost; the pictures' finest parts are almost a pixel wide.
inline constexpr double kTracingStep = 1.0 / 16;
inline constexpr double kTracingTolerance = 0.005;

// The outlines of the part of `region` inside the rectangle [0, width] x [0, height].
// They follow a smooth border within kTracingTolerance; a sharp corner that falls
// between the grid's lines is cut off, by less than a grid step. A point away from
// the border is in the region exactly when it is inside an odd number of outlines.
// Outlines around a part of the region turn one way and those around a hole the
// other, so that the even-odd and the non-zero rules of filling agree.
std::vector<Outline> TraceOutlines(const Region& region, double width, double height);

}  // namespace assets

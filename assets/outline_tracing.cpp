// Marching squares (the two-dimensional case of Lorensen and Cline's marching
// cubes, SIGGRAPH 1987) on a grid of step kTracingStep: every grid cell whose
// corners fall on both sides of the border holds one or two pieces of the outline.
// Each piece's ends are placed on the border itself by bisection along the cell's
// edges, and the closed polygons are then thinned by the Ramer-Douglas-Peucker
// method within kTracingTolerance.

#include "assets/outline_tracing.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace assets {

namespace {

// Halving the step 24 times places a crossing within 4e-9 pixels of the border.
constexpr int kBisections = 24;

class SampleGrid {
public:
    SampleGrid(const Region& region, double width, double height)
        : region_(region), width_(width), height_(height),
          columns_(static_cast<int>(std::ceil(width / kTracingStep))),
          rows_(static_cast<int>(std::ceil(height / kTracingStep))),
          inside_(static_cast<std::size_t>(columns_ + 3) * (rows_ + 3)) {
        // One ring of samples beyond the rectangle on every side, all outside it, so
        // that every outline closes inside the grid.
        for (int j = -1; j <= rows_ + 1; ++j) {
            for (int i = -1; i <= columns_ + 1; ++i) inside_[Index(i, j)] = Contains(At(i, j));
        }
    }

    int columns() const { return columns_; }
    int rows() const { return rows_; }

    Point At(int i, int j) const { return {i * kTracingStep, j * kTracingStep}; }
    bool Inside(int i, int j) const { return inside_[Index(i, j)]; }

    bool Contains(Point p) const { return p.x >= 0 && p.x <= width_ && p.y >= 0 && p.y <= height_ && region_(p); }

    // The border between a point inside and a point outside.
    Point Crossing(Point inside, Point outside) const {
        for (int step = 0; step < kBisections; ++step) {
            const Point middle = 0.5 * (inside + outside);
            (Contains(middle) ? inside : outside) = middle;
        }
        return 0.5 * (inside + outside);
    }

    // A number for each edge between two neighbouring samples.
    std::int64_t HorizontalEdge(int i, int j) const { return 2 * static_cast<std::int64_t>(Index(i, j)); }
    std::int64_t VerticalEdge(int i, int j) const { return 2 * static_cast<std::int64_t>(Index(i, j)) + 1; }

private:
    std::size_t Index(int i, int j) const {
        return static_cast<std::size_t>(j + 1) * (columns_ + 3) + static_cast<std::size_t>(i + 1);
    }

    const Region& region_;
    double width_;
    double height_;
    int columns_;
    int rows_;
    std::vector<bool> inside_;
};

// A piece of outline across one cell, from the edge where a walk around the cell
// leaves the region to the edge where it enters it again. Walking every cell the
// same way round, the edge where one piece ends is the edge where the next begins,
// and the region always lies on the same side of the pieces.
struct Piece {
    std::int64_t from;
    std::int64_t to;
    Point start;  // on the border, on edge `from`
};

std::vector<Piece> CutPieces(const SampleGrid& grid) {
    std::vector<Piece> pieces;
    for (int j = -1; j <= grid.rows(); ++j) {
        for (int i = -1; i <= grid.columns(); ++i) {
            const std::array<std::pair<int, int>, 4> corner{{{i, j}, {i + 1, j}, {i + 1, j + 1}, {i, j + 1}}};
            const std::array<std::int64_t, 4> edge{grid.HorizontalEdge(i, j), grid.VerticalEdge(i + 1, j),
                                                   grid.HorizontalEdge(i, j + 1), grid.VerticalEdge(i, j)};
            std::array<bool, 4> inside{};
            for (int k = 0; k < 4; ++k) inside[k] = grid.Inside(corner[k].first, corner[k].second);

            // The edges where the walk round the cell leaves or enters the region.
            struct Crossing {
                int edge;
                bool leaves;
            };
            std::array<Crossing, 4> crossings{};
            int count = 0;
            for (int k = 0; k < 4; ++k) {
                if (inside[k] != inside[(k + 1) % 4]) crossings[count++] = {k, inside[k]};
            }
            if (count == 0) continue;

            // Two crossings: one piece. Four (opposite corners inside): two pieces,
            // which cut off the outside corners when the cell's centre is inside and
            // the inside corners otherwise.
            const bool centreInside =
                count == 4 && grid.Contains(0.5 * (grid.At(i, j) + grid.At(i + 1, j + 1)));
            for (int c = 0; c < count; ++c) {
                if (!crossings[c].leaves) continue;
                const int partner = centreInside || count == 2 ? (c + 1) % count : (c + count - 1) % count;
                const int k = crossings[c].edge;
                const int next = (k + 1) % 4;
                const Point a = grid.At(corner[k].first, corner[k].second);
                const Point b = grid.At(corner[next].first, corner[next].second);
                pieces.push_back({edge[k], edge[crossings[partner].edge], grid.Crossing(a, b)});
            }
        }
    }
    return pieces;
}

std::vector<Outline> JoinPieces(const std::vector<Piece>& pieces) {
    std::unordered_map<std::int64_t, std::size_t> startingAt;
    startingAt.reserve(pieces.size());
    for (std::size_t p = 0; p < pieces.size(); ++p) startingAt.emplace(pieces[p].from, p);

    std::vector<Outline> outlines;
    std::vector<bool> used(pieces.size(), false);
    for (std::size_t first = 0; first < pieces.size(); ++first) {
        if (used[first]) continue;
        Outline outline;
        for (std::size_t p = first; !used[p]; p = startingAt.at(pieces[p].to)) {
            used[p] = true;
            outline.push_back(pieces[p].start);
        }
        outlines.push_back(std::move(outline));
    }
    return outlines;
}

// Ramer-Douglas-Peucker on a closed polygon: the first corner and the corner
// farthest from it are kept, and each of the two chains between them is thinned.
Outline Thin(const Outline& outline) {
    const std::size_t n = outline.size();
    if (n < 4) return outline;
    std::size_t farthest = 0;
    double farthestDistance = -1;
    for (std::size_t k = 1; k < n; ++k) {
        const double distance = Length(outline[k] - outline[0]);
        if (distance > farthestDistance) {
            farthest = k;
            farthestDistance = distance;
        }
    }

    // Index n stands for corner 0 again, closing the polygon.
    const auto corner = [&](std::size_t k) { return outline[k % n]; };
    std::vector<bool> kept(n + 1, false);
    kept[0] = kept[farthest] = kept[n] = true;
    std::vector<std::pair<std::size_t, std::size_t>> chains{{0, farthest}, {farthest, n}};
    while (!chains.empty()) {
        const auto [from, to] = chains.back();
        chains.pop_back();
        std::size_t worst = from;
        double worstDistance = kTracingTolerance;
        for (std::size_t k = from + 1; k < to; ++k) {
            const double distance = DistanceToSegment(corner(k), corner(from), corner(to));
            if (distance > worstDistance) {
                worst = k;
                worstDistance = distance;
            }
        }
        if (worst == from) continue;
        kept[worst] = true;
        chains.push_back({from, worst});
        chains.push_back({worst, to});
    }

    Outline thinned;
    for (std::size_t k = 0; k < n; ++k) {
        if (kept[k]) thinned.push_back(outline[k]);
    }
    return thinned;
}

}  // namespace

std::vector<Outline> TraceOutlines(const Region& region, double width, double height) {
    const SampleGrid grid(region, width, height);
    std::vector<Outline> outlines;
    for (const Outline& outline : JoinPieces(CutPieces(grid))) {
        Outline thinned = Thin(outline);
        if (thinned.size() >= 3) outlines.push_back(std::move(thinned));
    }
    return outlines;
}

}  // namespace assets

#pragma once
// A picture being drawn: every pixel holds a colour and an opacity, and shapes are
// laid over it like paint, each pixel taking the share of the shape that covers it.
// Sampling every pixel on a fine grid is what gives the edges their anti-aliasing.

#include <functional>
#include <optional>
#include <vector>

#include "assets/geometry.h"

namespace assets {

// A colour with components from 0 to 255, kept as reals until the picture is written.
struct Colour {
    double red = 0;
    double green = 0;
    double blue = 0;
};

constexpr Colour Grey(double level) { return {level, level, level}; }

// The colour at a point of the plane, or none where the paint leaves the point alone.
using Shader = std::function<std::optional<Colour>(Point)>;

class Canvas {
public:
    // Samples per pixel along each axis when painting.
    static constexpr int kSamplesPerAxis = 8;

    // A fully transparent picture.
    Canvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    // Lays the colour over pixel (x, y) with the given coverage, 0 to 1.
    void Lay(int x, int y, Colour colour, double coverage);

    // Every pixel receives the mean colour of its samples that the shader paints,
    // with the share of painted samples as coverage.
    void Paint(const Shader& shader);
    void Paint(const Region& region, Colour colour);

    // The colour without its opacity (black where nothing was laid), and the opacity.
    Colour ColourAt(int x, int y) const;
    double OpacityAt(int x, int y) const;

private:
    int width_;
    int height_;
    std::vector<Colour> premultiplied_;  // colour times opacity
    std::vector<double> opacity_;
};

}  // namespace assets

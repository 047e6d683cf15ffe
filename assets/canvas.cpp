#include "assets/canvas.h"

#include <cstddef>
#include <stdexcept>

namespace assets {

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      premultiplied_(static_cast<std::size_t>(width) * height),
      opacity_(static_cast<std::size_t>(width) * height, 0.0) {
    if (width <= 0 || height <= 0) throw std::invalid_argument("taille d'image non positive");
}

void Canvas::Lay(int x, int y, Colour colour, double coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0) return;
    const std::size_t i = static_cast<std::size_t>(y) * width_ + x;
    // Paint over what is there: the new colour hides coverage of the old one.
    Colour& under = premultiplied_[i];
    under.red = coverage * colour.red + (1 - coverage) * under.red;
    under.green = coverage * colour.green + (1 - coverage) * under.green;
    under.blue = coverage * colour.blue + (1 - coverage) * under.blue;
    opacity_[i] = coverage + (1 - coverage) * opacity_[i];
}

void Canvas::Paint(const Shader& shader) {
    constexpr int kSamples = kSamplesPerAxis * kSamplesPerAxis;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Colour sum;
            int painted = 0;
            for (int sy = 0; sy < kSamplesPerAxis; ++sy) {
                for (int sx = 0; sx < kSamplesPerAxis; ++sx) {
                    const Point sample{x + (sx + 0.5) / kSamplesPerAxis, y + (sy + 0.5) / kSamplesPerAxis};
                    if (const std::optional<Colour> colour = shader(sample)) {
                        sum.red += colour->red;
                        sum.green += colour->green;
                        sum.blue += colour->blue;
                        ++painted;
                    }
                }
            }
            if (painted == 0) continue;
            Lay(x, y, {sum.red / painted, sum.green / painted, sum.blue / painted},
                static_cast<double>(painted) / kSamples);
        }
    }
}

void Canvas::Paint(const Region& region, Colour colour) {
    Paint([&](Point p) -> std::optional<Colour> {
        if (region(p)) return colour;
        return std::nullopt;
    });
}

Colour Canvas::ColourAt(int x, int y) const {
    const std::size_t i = static_cast<std::size_t>(y) * width_ + x;
    const double a = opacity_[i];
    if (a <= 0) return {};
    const Colour& c = premultiplied_[i];
    return {c.red / a, c.green / a, c.blue / a};
}

double Canvas::OpacityAt(int x, int y) const { return opacity_[static_cast<std::size_t>(y) * width_ + x]; }

}  // namespace assets

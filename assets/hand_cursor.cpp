// The pointing hand shown over the push buttons: a white hand outlined in black, so
// that it reads on light and dark faces alike, its index finger raised, the other
// fingers folded and the thumb against them. It is drawn upright in its own frame,
// with the fingertip at the origin and the finger running down the y axis, then
// turned so that the finger points up and to the left and its tip falls in pixel
// (1, 0), where the window puts the cursor's hot spot.
//
// The hand is built from layers laid back to front, like cut-outs: each covers what
// lies under it with white and draws its own outline in black, so the folded
// fingers and the cuff show their edges where they lie over the hand.
//
// At a higher scale the same hand is laid on more pixels, and its outline keeps its
// width of one pixel of the 32 x 32 picture.

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "assets/pictures.h"

namespace assets {

namespace {

constexpr int kCursorSize = 32;
constexpr double kTilt = 0.3;              // radians, counter-clockwise from upright
constexpr Point kTipPosition{1.75, 0.35};  // where the fingertip lands in the picture

// One layer may join several parts, which then share one outline.
struct Layer {
    std::vector<Region> parts;
    bool operator()(Point p) const {
        return std::any_of(parts.begin(), parts.end(), [p](const Region& part) { return part(p); });
    }
};

// The hand, upright, in pixels, back to front.
const std::vector<Layer>& HandLayers() {
    static const std::vector<Layer> kLayers{
        {{Capsule{{0, 2.5}, {0, 13}, 2.5},                  // index finger
          RoundedRectangle{-2.5, 11, 14.4, 22.5, 3.5},      // back of the hand
          Capsule{{-1.0, 17.5}, {-5.0, 12.8}, 2.3}}},       // thumb
        {{RoundedRectangle{2.0, 8.0, 6.6, 15.0, 2.2}}},     // middle finger, folded
        {{RoundedRectangle{6.0, 9.2, 10.6, 16.0, 2.2}}},    // ring finger, folded
        {{RoundedRectangle{10.0, 10.8, 14.4, 17.0, 2.1}}},  // little finger, folded
        {{RoundedRectangle{-0.5, 22.0, 13.0, 27.0, 1.0}}},  // cuff
    };
    return kLayers;
}

// From the picture's frame back to the hand's own.
Point ToHand(Point p) { return Rotated(p - kTipPosition, kTilt); }

}  // namespace

Canvas DrawHandCursor(int scale) {
    const int size = kCursorSize * scale;
    Canvas canvas(size, size);
    for (const Layer& layer : HandLayers()) {
        // The pixels that the layer covers at least half of, and of those the ones
        // that a path of at most `scale` steps up, down or sideways leads from a pixel
        // it does not cover: at scale 1, those beside one.
        Canvas coverage(size, size);
        coverage.Paint(Enlarged([&](Point p) { return layer(ToHand(p)); }, scale), Grey(255));
        const auto covered = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < size && y < size && coverage.OpacityAt(x, y) >= 0.5;
        };
        const auto onEdge = [&](int x, int y) {
            for (int dy = -scale; dy <= scale; ++dy) {
                const int reach = scale - std::abs(dy);
                for (int dx = -reach; dx <= reach; ++dx) {
                    if (!covered(x + dx, y + dy)) return true;
                }
            }
            return false;
        };
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                if (covered(x, y)) canvas.Lay(x, y, onEdge(x, y) ? Grey(0) : Grey(255), 1);
            }
        }
    }
    return canvas;
}

}  // namespace assets

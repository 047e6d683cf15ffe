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

#include <algorithm>
#include <vector>

#include "assets/pictures.h"

namespace assets {

namespace {

constexpr int kSize = 32;
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
        {{Capsule{{0, 2.5}, {0, 13}, 2.5},                // index finger
          RoundedRectangle{-2.5, 11, 14.4, 22.5, 3.5},    // back of the hand
          Capsule{{-1.0, 17.5}, {-5.0, 12.8}, 2.3}}},     // thumb
        {{RoundedRectangle{2.0, 8.0, 6.6, 15.0, 2.2}}},   // middle finger, folded
        {{RoundedRectangle{6.0, 9.2, 10.6, 16.0, 2.2}}},  // ring finger, folded
        {{RoundedRectangle{10.0, 10.8, 14.4, 17.0, 2.1}}},  // little finger, folded
        {{RoundedRectangle{-0.5, 22.0, 13.0, 27.0, 1.0}}},  // cuff
    };
    return kLayers;
}

// From the picture's frame back to the hand's own.
Point ToHand(Point p) { return Rotated(p - kTipPosition, kTilt); }

}  // namespace

Canvas DrawHandCursor() {
    Canvas canvas(kSize, kSize);
    for (const Layer& layer : HandLayers()) {
        // The pixels that the layer covers at least half of, and of those the ones
        // beside a pixel it does not cover.
        Canvas coverage(kSize, kSize);
        coverage.Paint([&](Point p) { return layer(ToHand(p)); }, Grey(255));
        const auto covered = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < kSize && y < kSize && coverage.OpacityAt(x, y) >= 0.5;
        };
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                if (!covered(x, y)) continue;
                const bool onEdge = !covered(x - 1, y) || !covered(x + 1, y) || !covered(x, y - 1) || !covered(x, y + 1);
                canvas.Lay(x, y, onEdge ? Grey(0) : Grey(255), 1);
            }
        }
    }
    return canvas;
}

}  // namespace assets

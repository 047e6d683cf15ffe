// The pictures of the window's own two buttons: a raised grey square, lit from the
// upper left, carrying a small black drawing. Every line lies on whole pixels, so
// that the drawings stay sharp at this size.

#include <cmath>

#include "assets/pictures.h"

namespace assets {

namespace {

constexpr int kSize = 13;
constexpr Colour kFace = Grey(192);
constexpr Colour kHighlight = Grey(255);
constexpr Colour kShadow = Grey(128);
constexpr Colour kDarkShadow = Grey(64);
constexpr Colour kInk = Grey(0);

struct Box {
    double left;
    double top;
    double right;
    double bottom;
    bool operator()(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
};

// A face with a one-pixel light edge at the top and left and a two-step shadow at
// the bottom and right, as a raised button is drawn.
Canvas RaisedSquare() {
    Canvas canvas(kSize, kSize);
    canvas.Paint(Box{0, 0, kSize, kSize}, kHighlight);
    canvas.Paint(Box{1, 1, kSize, kSize}, kDarkShadow);
    canvas.Paint(Box{1, 1, kSize - 1, kSize - 1}, kShadow);
    canvas.Paint(Box{1, 1, kSize - 2, kSize - 2}, kFace);
    return canvas;
}

// A window seen from the front: a one-pixel frame under a title bar two pixels high.
void PaintWindowOutline(Canvas& canvas, Box frame) {
    canvas.Paint(frame, kInk);
    canvas.Paint(Box{frame.left + 1, frame.top + 2, frame.right - 1, frame.bottom - 1}, kFace);
}

}  // namespace

Canvas DrawMinimiseButton() {
    Canvas canvas = RaisedSquare();
    PaintWindowOutline(canvas, Box{5, 2, 11, 8});  // behind, upper right
    PaintWindowOutline(canvas, Box{2, 5, 8, 11});  // in front, lower left
    return canvas;
}

Canvas DrawQuitButton() {
    Canvas canvas = RaisedSquare();
    // The face spans pixels 1 to 10 across, so the X is centred on the line between
    // pixels 5 and 6 and drawn two pixels wide on each row: seven rows whose runs
    // meet in the middle one.
    constexpr Point kCentre{6, 6.5};
    constexpr double kHalfHeight = 3.5;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const Point d = Point{x + 0.5, y + 0.5} - kCentre;
            const bool onStroke = std::abs(std::abs(d.x) - std::abs(d.y)) <= 0.5;
            if (std::abs(d.y) < kHalfHeight && onStroke) canvas.Lay(x, y, kInk, 1);
        }
    }
    return canvas;
}

}  // namespace assets

// The pictures of the window's own two buttons: a raised grey square, lit from the
// upper left, carrying a small black drawing. Every line lies on whole pixels of the
// 13 x 13 picture, so that the drawings stay sharp at this size and at every whole
// scale. Coordinates are those of the 13 x 13 picture whatever the scale.

#include <cmath>
#include <utility>

#include "assets/pictures.h"

namespace assets {

namespace {

constexpr int kButtonSize = 13;
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

// A picture of the buttons' size at the given scale, painted in the 13 x 13
// picture's coordinates.
class ButtonCanvas {
public:
    explicit ButtonCanvas(int scale) : canvas_(kButtonSize * scale, kButtonSize * scale), scale_(scale) {}

    void Paint(Box box, Colour colour) { canvas_.Paint(Enlarged(box, scale_), colour); }

    // Inks every pixel whose centre the region holds, with no shading at its edges.
    void Ink(const Region& region) {
        for (int y = 0; y < canvas_.height(); ++y) {
            for (int x = 0; x < canvas_.width(); ++x) {
                if (region((1.0 / scale_) * Point{x + 0.5, y + 0.5})) canvas_.Lay(x, y, kInk, 1);
            }
        }
    }

    Canvas Picture() && { return std::move(canvas_); }

private:
    Canvas canvas_;
    int scale_;
};

// A face with a one-pixel light edge at the top and left and a two-step shadow at
// the bottom and right, as a raised button is drawn.
ButtonCanvas RaisedSquare(int scale) {
    ButtonCanvas canvas(scale);
    canvas.Paint(Box{0, 0, kButtonSize, kButtonSize}, kHighlight);
    canvas.Paint(Box{1, 1, kButtonSize, kButtonSize}, kDarkShadow);
    canvas.Paint(Box{1, 1, kButtonSize - 1, kButtonSize - 1}, kShadow);
    canvas.Paint(Box{1, 1, kButtonSize - 2, kButtonSize - 2}, kFace);
    return canvas;
}

// A window seen from the front: a one-pixel frame under a title bar two pixels high.
void PaintWindowOutline(ButtonCanvas& canvas, Box frame) {
    canvas.Paint(frame, kInk);
    canvas.Paint(Box{frame.left + 1, frame.top + 2, frame.right - 1, frame.bottom - 1}, kFace);
}

}  // namespace

Canvas DrawMinimiseButton(int scale) {
    ButtonCanvas canvas = RaisedSquare(scale);
    PaintWindowOutline(canvas, Box{5, 2, 11, 8});  // behind, upper right
    PaintWindowOutline(canvas, Box{2, 5, 8, 11});  // in front, lower left
    return std::move(canvas).Picture();
}

Canvas DrawQuitButton(int scale) {
    ButtonCanvas canvas = RaisedSquare(scale);
    // The face spans pixels 1 to 10 across, so the X is centred on the line between
    // pixels 5 and 6; each stroke is one pixel wide across, so that at scale 1 each
    // of the seven rows holds two pixels of each, the runs meeting in the middle row.
    constexpr Point kCentre{6, 6.5};
    constexpr double kHalfHeight = 3.5;
    canvas.Ink([kCentre](Point p) {
        const Point d = p - kCentre;
        const bool onStroke = std::abs(std::abs(d.x) - std::abs(d.y)) <= 0.5;
        return std::abs(d.y) < kHalfHeight && onStroke;
    });
    return std::move(canvas).Picture();
}

}  // namespace assets

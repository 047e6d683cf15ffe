#pragma once
// The pictures that the window is built with and the thirty moon phases, each
// drawn from its geometry onto a canvas of its final size.

#include "assets/canvas.h"

namespace assets {

// 609 x 447: the grey field of the window inside a dark rim that follows the
// window's rounded outline.
Canvas DrawBackground();

// 32 x 32: an hourglass in olive, orange and pale yellow on transparency.
Canvas DrawHourglassIcon();

// The buttons' pictures and the cursor are also drawn at a higher resolution for
// screens of more than one pixel per window pixel: at scale 2 the same drawing on
// twice as many pixels each way, every shape traced anew, not the pixels enlarged.

// 13 x 13 raised grey squares at scale 1: two overlapping windows, and a black X.
Canvas DrawMinimiseButton(int scale = 1);
Canvas DrawQuitButton(int scale = 1);

// 32 x 32 at scale 1, in black and white on transparency: a tilted pointing hand
// whose index finger ends in pixel (1, 0), the hot spot.
Canvas DrawHandCursor(int scale = 1);

// 30 x 30 on black: the moon ageInDays days after new moon, as seen from the
// northern hemisphere (lit on the right while waxing, on the left while waning).
Canvas DrawMoon(double ageInDays);

}  // namespace assets

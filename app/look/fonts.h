#pragma once
// The window's fonts are Arial and MS Sans Serif at 96 dpi; Liberation Sans has
// Arial's metrics. Sizes are in pixels (8.25 pt is 11 px, 9 pt 12 px, 9.75 pt 13 px,
// 12 pt 16 px) so that the layout does not depend on the display's dpi.

#include <QFont>

inline constexpr const char* kWindowFontFamily = "Liberation Sans";

// The window's own text size, Arial 8.25 pt: its labels, buttons, tooltips and
// calendar days unless a label says otherwise.
inline constexpr int kBaseFontPixels = 11;

QFont WindowFont(int pixelSize, bool bold);

// The window's own font at its own size, not bold.
inline QFont BaseWindowFont() { return WindowFont(kBaseFontPixels, false); }

#pragma once
// The window's size, outline and background grey: the window is built to them, and
// its background picture is drawn to them.

namespace window_shape {

inline constexpr int kWidth = 609;
inline constexpr int kHeight = 447;

// The outline is the rectangle from (kOutlineLeft, kOutlineTop) to (kWidth,
// kHeight), right and bottom excluded (the window's top row and left column lie
// outside it), its corners rounded on circles of kCornerDiameter.
inline constexpr int kOutlineLeft = 1;
inline constexpr int kOutlineTop = 1;
inline constexpr int kCornerDiameter = 30;

// The background's grey, red, green and blue alike.
inline constexpr int kGrey = 176;

}  // namespace window_shape

#pragma once
// The window's own colours, which no desktop theme changes.

#include <QColor>

#include "assets/window_shape.h"

// The window's background, a mid grey; the calendar takes it too.
inline const QColor kWindowGrey(window_shape::kGrey, window_shape::kGrey, window_shape::kGrey);

// The navy of the frames, of the panel texts that describe the selected day, and of
// the calendar's day names, day numbers and grid.
inline const QColor kNavy(0, 0, 128);

// The calendar's month and year title and its page arrows, a brighter blue.
inline const QColor kCalendarTitleBlue(0, 0, 160);

// The French public holidays in the calendar's grid: a dark red, in bold, apart from
// the navy of the other days on the grey cells; bold marks them also on the selected
// day's navy and among the faded days of the neighbouring months.
inline const QColor kHolidayRed(140, 0, 0);

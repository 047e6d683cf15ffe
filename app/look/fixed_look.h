#pragma once
// The fixed look: the gadget looks the same on every desktop, whatever its theme,
// its menus and tooltips included.

#include <QIcon>
#include <QPalette>

class QStyle;

// Fusion with its own palette, whatever the desktop: the gadget looks the same
// everywhere, its menus and tooltips included. Its standard arrows are the month
// calendar's own, its push buttons without a picture are raised with a flat face
// in their palette's button colour, and the keyboard's focus on the calendar's day
// is a dotted frame. Call it once the application exists, before the window is built.
void ApplyFixedLook();

// The fixed look's palette: every colour role set, in every state, the same on every
// desktop. A window given it passes all of it on to its controls.
QPalette FixedLookPalette();

// A dialog of the gadget's own (« Lieu… », « Nouvel évènement »): navy words on the
// window's grey, in the window's font a pixel larger.
void DressAsGadgetDialog(QWidget* dialog);

// The fixed look's style, for a control that needs a style of its own built on it.
QStyle* NewFixedLookStyle();

// The arrows that turn the calendar's pages, pointing back (left) or forward: a
// plain triangle in the calendar title's colour instead of the theme's green icons.
QIcon CalendarArrowIcon(bool forward);

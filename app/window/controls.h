#pragma once
// The small kinds of control the window is built from: text labels that draw on
// the window's own background, the label that widens to its text, the moon picture,
// and the navy outlines that lie on the background without taking the mouse.

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <string>
#include <string_view>

#include "app/look/colours.h"
#include "app/look/fonts.h"
#include "assets/window_shape.h"

// The widest a tooltip may be, in window pixels: a name of the data files can be
// long, and a tooltip as wide as its text would cross the whole screen.
inline constexpr int kWidestToolTip = 400;

// A tooltip's text laid out within kWidestToolTip in `metrics`, the tooltips' font:
// each line wrapped at its blanks, a word wider than the whole width cut with « … ».
QString BoundedToolTip(const QString& text, const QFontMetrics& metrics);

// The same in the tooltips' own font (QToolTip::font).
QString BoundedToolTip(const QString& text);

// A label as the window shows it: no background of its own, text from the top of
// its box, wrapped at blanks when wider than the box, cut off below the box. It
// takes the mouse presses on its box and does nothing with them, so that a press
// on a text never reaches the window (where it would start a move).
//
// Its text is written through setText or SetUtf8Text only (never through a QLabel
// pointer): the label keeps the text it shows in UTF-8 beside QLabel's own.
class TextLabel : public QLabel {
    Q_OBJECT
public:
    explicit TextLabel(QWidget* parent = nullptr);

    // Hides QLabel::setText so that a label that follows its text sees every change.
    // A text equal to the one shown changes nothing: no layout, size or paint.
    void setText(const QString& text);

    // The same from a UTF-8 text. The refreshes build their texts in UTF-8 and
    // rewrite every label many times a second, nearly always with the text it
    // already shows: that one is recognised before anything is converted.
    void SetUtf8Text(std::string_view utf8);

    // The text shown, in UTF-8.
    const std::string& Utf8Text() const { return utf8Text_; }

protected:
    virtual void TextChanged() {}
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::string utf8Text_;
};

// A label that keeps its left edge and its height and takes the width of its text
// on one line.
class FitLabel : public TextLabel {
    Q_OBJECT
public:
    explicit FitLabel(QWidget* parent = nullptr);

protected:
    void TextChanged() override;
};

// A label that keeps its text on one line. A text wider than the box is cut with
// « … » where it stops, and only then does the whole text become the label's
// tooltip and accessible description: a text seen whole needs neither, and a screen
// reader, which reads the label's whole text as its name already, would say it twice.
class OneLineLabel : public TextLabel {
    Q_OBJECT
public:
    explicit OneLineLabel(QWidget* parent = nullptr);

protected:
    void TextChanged() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool IsCut() const;
};

// Shows a picture unscaled from its top-left corner and takes the picture's size.
// Like the labels, it takes the mouse presses on its box and ignores them.
class PictureControl : public QLabel {
    Q_OBJECT
public:
    explicit PictureControl(QWidget* parent = nullptr);

    // A null picture (one that could not be loaded) leaves the box as it was.
    void SetPicture(const QPixmap& picture);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A rectangle frame or a straight rule, 2 pixels wide in the text colour of its
// palette, filling the edges of its box (a rule is a box 2 pixels high). It takes
// no mouse presses: they reach the window or the control below.
class OutlineShape : public QWidget {
    Q_OBJECT
public:
    enum class Form { Frame, Rule };

    static constexpr int kPenWidth = 2;

    OutlineShape(Form form, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Form form_;
};

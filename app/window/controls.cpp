#include "app/window/controls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "app/text/qt_text.h"

QString BoundedToolTip(const QString& text, const QFontMetrics& metrics) {
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        // A line that fits is kept as it is, measured once rather than word by word:
        // nearly every line of a day's facts, which the grid asks for ten weeks at a time.
        if (metrics.horizontalAdvance(line) <= kWidestToolTip) {
            lines.append(line);
            continue;
        }
        QString current;
        for (const QString& blankSeparated : line.split(QLatin1Char(' '))) {
            const QString word = metrics.elidedText(blankSeparated, Qt::ElideRight, kWidestToolTip);
            const QString longer = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
            if (!current.isEmpty() && metrics.horizontalAdvance(longer) > kWidestToolTip) {
                lines.append(current);
                current = word;
            } else {
                current = longer;
            }
        }
        lines.append(current);
    }
    return lines.join(QLatin1Char('\n'));
}

QString BoundedToolTip(const QString& text) { return BoundedToolTip(text, QFontMetrics(QToolTip::font())); }

TextLabel::TextLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setFocusPolicy(Qt::NoFocus);
}

void TextLabel::setText(const QString& text) {
    if (text == this->text()) return;
    utf8Text_ = Utf8Of(text);
    QLabel::setText(text);
    TextChanged();
}

void TextLabel::SetUtf8Text(std::string_view utf8) {
    Q_ASSERT_X(text() == Utf8(utf8Text_), "TextLabel::SetUtf8Text", "the text was changed through QLabel::setText");
    if (utf8 == utf8Text_) return;
    utf8Text_.assign(utf8);
    QLabel::setText(Utf8(utf8));
    TextChanged();
}

void TextLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const QRect box = contentsRect();
    int flags = int(alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop;
    // A text that fits on one line is placed with its trailing blanks, as Windows
    // places "V3.6 " one blank away from the right edge; a longer text wraps at
    // blanks, and the blanks at the breaks take no room.
    if (wordWrap() && fontMetrics().horizontalAdvance(text()) > box.width()) {
        flags |= Qt::TextWordWrap;
    } else {
        flags |= Qt::TextIncludeTrailingSpaces;
    }
    painter.drawText(box, flags, text());
}

void TextLabel::mousePressEvent(QMouseEvent* event) { event->accept(); }

void TextLabel::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }

FitLabel::FitLabel(QWidget* parent) : TextLabel(parent) { setWordWrap(false); }

void FitLabel::TextChanged() { resize(fontMetrics().horizontalAdvance(text()), height()); }

OneLineLabel::OneLineLabel(QWidget* parent) : TextLabel(parent) { setWordWrap(false); }

bool OneLineLabel::IsCut() const { return fontMetrics().horizontalAdvance(text()) > contentsRect().width(); }

void OneLineLabel::TextChanged() {
    const QString whole = IsCut() ? text() : QString();
    setToolTip(BoundedToolTip(whole));
    setAccessibleDescription(whole);
}

void OneLineLabel::resizeEvent(QResizeEvent* event) {
    TextLabel::resizeEvent(event);
    TextChanged();
}

void OneLineLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const QRect box = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, box.width());
    painter.drawText(box, int(alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop | Qt::TextSingleLine, shown);
}

PictureControl::PictureControl(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFocusPolicy(Qt::NoFocus);
}

void PictureControl::SetPicture(const QPixmap& picture) {
    setPixmap(picture);
    if (!picture.isNull()) resize(picture.deviceIndependentSize().toSize());
}

void PictureControl::mousePressEvent(QMouseEvent* event) { event->accept(); }

void PictureControl::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }

OutlineShape::OutlineShape(Form form, QWidget* parent) : QWidget(parent), form_(form) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void OutlineShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor pen = palette().color(QPalette::WindowText);
    const QRect box = rect();
    if (form_ == Form::Rule) {
        painter.fillRect(box, pen);
        return;
    }
    painter.fillRect(QRect(box.left(), box.top(), box.width(), kPenWidth), pen);
    painter.fillRect(QRect(box.left(), box.bottom() - kPenWidth + 1, box.width(), kPenWidth), pen);
    painter.fillRect(QRect(box.left(), box.top(), kPenWidth, box.height()), pen);
    painter.fillRect(QRect(box.right() - kPenWidth + 1, box.top(), kPenWidth, box.height()), pen);
}

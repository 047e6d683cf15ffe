#include "app/form1.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {

const QColor kBackColour(176, 176, 176);

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Solvane"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.gif")));
    setFixedSize(kWidth, kHeight);
    setFont(WindowFont(11, false));  // Arial 8.25 pt
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kBackColour);
    setPalette(palette);
    background_ = QPixmap(QStringLiteral(":/pictures/background.gif"));

    CreateControls();

    connect(cejour, &QPushButton::clicked, this, &Form1::cejour_Click);
    connect(recul, &QPushButton::clicked, this, &Form1::recul_Click);
    connect(avance, &QPushButton::clicked, this, &Form1::avance_Click);
    connect(CmdMinimise, &QPushButton::clicked, this, &Form1::CmdMinimise_Click);
    connect(cmdQuit, &QPushButton::clicked, this, &Form1::cmdQuit_Click);
    connect(Timer1, &PlatformTimer::Timer, this, &Form1::Timer1_Timer);
    connect(Timer2, &PlatformTimer::Timer, this, &Form1::Timer2_Timer);
}

void Form1::Form_Load() {
    // The outline comes first, so that the window is never seen square.
    platform_.SetOutline(RoundRectRegion(1, 1, 609, 447, 30, 30));
    Cal1->Today();
}

void Form1::Form_MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers, QPointF Position, QPointF ScreenPosition) {
    if (Button != Qt::LeftButton) return;
    platform_.KeepAbove();
    platform_.StartMove(Position.toPoint(), ScreenPosition.toPoint());
}

void Form1::cejour_Click() { Cal1->Today(); }

void Form1::recul_Click() { Cal1->PreviousMonth(); }

void Form1::avance_Click() { Cal1->NextMonth(); }

void Form1::CmdMinimise_Click() { platform_.Minimise(); }

void Form1::cmdQuit_Click() { platform_.Quit(); }

void Form1::Timer1_Timer() {}

void Form1::Timer2_Timer() {}

void Form1::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackColour);
    painter.drawPixmap(0, 0, background_);
}

void Form1::showEvent(QShowEvent* event) {
    if (!centred_ && !event->spontaneous()) {
        centred_ = true;
        if (const QScreen* screen = this->screen()) {
            const QRect area = screen->geometry();
            move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
        }
    }
    QWidget::showEvent(event);
}

void Form1::mousePressEvent(QMouseEvent* event) {
    Form_MouseDown(event->button(), event->modifiers(), event->position(), event->globalPosition());
    event->accept();
}

// The second press of a double click has already come as a press of its own;
// QWidget would pass the double click on as one more.
void Form1::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

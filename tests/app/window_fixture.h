#pragma once
// What the window's tests share: the window shown with its timers stopped, and for
// the tests of the two refreshes, the window started on a copy of the data files
// that the build puts beside the program (so that a test may damage them), its
// ticks run by hand, one at a time, on a fixed clock. A test class that derives from
// WindowTest gets a new such window for each of its test functions.

#include <QCalendarWidget>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QHelpEvent>
#include <QImageReader>
#include <QLayout>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

#include "app/look/fixed_look.h"
#include "app/platform/platform_window.h"
#include "app/window/form1.h"
#include "calendar/serial_date.h"

namespace test {

// 6 December 2026, a Sunday, at 09:05:07.
inline const calendar::SerialDate kSundayMorning = calendar::MakeDate(2026, 12, 6) + (9 * 3600 + 5 * 60 + 7) / 86400.0;

// The window's control of that name: the controls are the window's own, and a test
// finds each by the object name the window gives it, as a screen reader's tools do.
template <typename Control>
Control* Named(const Form1& form, const char* name) {
    auto* control = form.findChild<Control*>(QString::fromLatin1(name));
    if (!control) qFatal("the window has no %s named %s", Control::staticMetaObject.className(), name);
    return control;
}

inline CalendarControl* Cal1Of(const Form1& form) { return Named<CalendarControl>(form, "Cal1"); }

// What resting the pointer on a cell of the grid shows, as the grid's viewport is
// asked for it once the wait is over: the tooltip's text, or nothing when no tooltip
// shows.
inline QString CellTooltip(const CalendarControl& grid, const QModelIndex& cell) {
    auto* view = grid.Widget()->findChild<QTableView*>();
    if (auto* layout = grid.layout()) layout->activate();  // a window not shown yet has its cells laid out
    const QPoint at = view->visualRect(cell).center();
    if (view->indexAt(at) != cell) qFatal("the grid's cell %d, %d is not under its centre", cell.row(), cell.column());
    QHelpEvent asked(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(view->viewport(), &asked);
    return asked.isAccepted() ? QToolTip::text() : QString();
}

// The same for `day` on the page shown, its cell found as the calendar lays out six
// weeks below the weekday names: from the Monday before the 1st, a whole week before
// when the 1st is a Monday.
inline QString DayTooltip(const CalendarControl& grid, QDate day) {
    const QDate first(grid.Widget()->yearShown(), grid.Widget()->monthShown(), 1);
    const QDate gridStart = first.addDays(-(first.dayOfWeek() == 1 ? 7 : first.dayOfWeek() - 1));
    const qint64 offset = gridStart.daysTo(day);
    if (offset < 0 || offset >= 42) qFatal("the page shown has no %s", qPrintable(day.toString(Qt::ISODate)));
    const QAbstractItemModel* model = grid.Widget()->findChild<QTableView*>()->model();
    return CellTooltip(grid, model->index(1 + int(offset / 7), int(offset % 7) + (grid.WeekNumbers() ? 1 : 0)));
}

// Stops or lets run the two refreshes, Timer1_Timer and Timer2_Timer.
inline void SetRefreshesEnabled(const Form1& form, bool enabled) {
    Named<RefreshGate>(form, "Timer1")->SetEnabled(enabled);
    Named<RefreshGate>(form, "Timer2")->SetEnabled(enabled);
}

inline QImage PictureOf(const QString& path) { return QImageReader(path).read(); }

inline QByteArray BytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The window on the data files the build puts beside the program, shown as it
// stands before start-up, its timers stopped so that nothing writes its panels.
inline Form1* ShowStoppedWindow() {
    auto* form = new Form1(QStringLiteral(SOLVANE_PROGRAM_DIR));
    SetRefreshesEnabled(*form, false);
    form->show();
    return form;
}

class WindowFixture {
protected:
    QTemporaryDir folder_;  // the copy of the program's data files
    Form1* form_ = nullptr;

    QString DataFile(const QString& name) const { return folder_.filePath(name); }

    // A fresh copy of fetes.txt and of the thirty moon pictures.
    void CopyDataFiles() {
        QStringList names{QStringLiteral("fetes.txt")};
        for (int n = 0; n < 30; ++n) names << QStringLiteral("%1.gif").arg(n);
        for (const QString& name : names) {
            QFile::remove(DataFile(name));
            QVERIFY2(QFile::copy(QStringLiteral(SOLVANE_PROGRAM_DIR "/") + name, DataFile(name)), qPrintable(name));
        }
    }

    // Once for the whole test: the look that makes pixels comparable, and the folder.
    void PrepareLookAndFolder() {
        ApplyFixedLook();
        QVERIFY(folder_.isValid());
    }

    // The window on the copied files and the fixed clock, its timers stopped so that
    // only the ticks a test asks for run; not yet started up. Its names are decided
    // from `systemLocale`, the process's own unless a test passes another.
    void CreateWindow(const QLocale& systemLocale = QLocale::system()) {
        CopyDataFiles();
        calendar::SetFixedClock(kSundayMorning);
        form_ = new Form1(folder_.path(), nullptr, systemLocale);
        SetRefreshesEnabled(*form_, false);
    }

    void DestroyWindow() {
        delete form_;
        form_ = nullptr;
        calendar::SetFixedClock(std::nullopt);
    }

    // The refreshes run by themselves, whenever something they read can have
    // changed, as in the running program.
    void RunRefreshesByThemselves() { SetRefreshesEnabled(*form_, true); }

    // Everything the refreshes write, a line per control.
    static QStringList PanelsOf(const Form1& form) {
        QStringList panels;
        for (const TextLabel* label : form.findChildren<TextLabel*>()) {
            panels << label->objectName() + (label->isHidden() ? QStringLiteral(" (hidden): ") : QStringLiteral(": ")) +
                          label->text();
        }
        panels << QStringLiteral("Combo1: %1").arg(Named<QComboBox>(form, "Combo1")->currentIndex());
        const QImage moon =
            Named<PictureControl>(form, "Image1")->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        const QByteArrayView bits(moon.constBits(), moon.sizeInBytes());
        panels << QStringLiteral("Image1: ") + QCryptographicHash::hash(bits, QCryptographicHash::Md5).toHex();
        return panels;
    }

    // What a window started afresh on the same data files and clock shows once its
    // refreshes have run on `date`.
    QStringList FreshPanels(QDate date) {
        Form1 fresh(folder_.path());
        SetRefreshesEnabled(fresh, false);
        fresh.Form_Load();
        Cal1Of(fresh)->Widget()->setSelectedDate(date);
        QMetaObject::invokeMethod(&fresh, "Timer1_Timer", Qt::DirectConnection);
        QMetaObject::invokeMethod(&fresh, "Timer2_Timer", Qt::DirectConnection);
        return PanelsOf(fresh);
    }

    QString Text(const char* name) const { return form_->findChild<QLabel*>(QString::fromLatin1(name))->text(); }

    void Select(QDate date) { Cal1Of(*form_)->Widget()->setSelectedDate(date); }
    void TickDatePanel() { QMetaObject::invokeMethod(form_, "Timer1_Timer", Qt::DirectConnection); }
    void TickNameDayAndMoon() { QMetaObject::invokeMethod(form_, "Timer2_Timer", Qt::DirectConnection); }
    void TickBoth() {
        TickDatePanel();
        TickNameDayAndMoon();
    }
};

// The look and the folder once for the whole test, and a new window on a fresh copy
// of the data files for each test function, not yet started up.
class WindowTest : public QObject, public WindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareLookAndFolder(); }
    void init() { CreateWindow(); }
    void cleanup() { DestroyWindow(); }
};

}  // namespace test

// One tick of each of the window's two timers, on the real window (offscreen
// platform): the date panel refresh and the name-day and moon refresh. Both run at
// every second for as long as the gadget is open, and at every change of the
// calendar's selection: what one tick costs is what a click costs before its repaint.
//
// The *AndPaint variants also let the window handle what the tick asked for (the
// repaints of changed labels), as the event loop does right after each tick.
//
// BM_MonthTooltips: what the calendar's grid writes for the days it can show as each
// page turns or a choice changes: their marks, ten weeks of holidays and days with
// events. BM_DayTooltip: the tooltip of one day, asked as the pointer rests on it,
// each of the page's 42 days in turn: a day's facts, the sun and the season at the
// place included, laid out and shown.

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QCalendarWidget>
#include <QFile>
#include <QHelpEvent>
#include <QTableView>
#include <QTemporaryDir>

#include "app/look/fixed_look.h"
#include "app/platform/platform_window.h"
#include "app/window/form1.h"

namespace {

// The window with its data files as the build lays them out, started up, shown, and
// its timers stopped so that only the benchmark ticks it.
Form1& StartedWindow() {
    static Form1* window = [] {
        auto* form = new Form1(QStringLiteral(SOLVANE_PROGRAM_DIR));
        form->Form_Load();
        form->findChild<RefreshGate*>(QStringLiteral("Timer1"))->SetEnabled(false);
        form->findChild<RefreshGate*>(QStringLiteral("Timer2"))->SetEnabled(false);
        form->show();
        // One tick of each, so that the labels hold today's texts and the name day
        // has the year's sentence to wait for.
        QMetaObject::invokeMethod(form, "Timer1_Timer", Qt::DirectConnection);
        QMetaObject::invokeMethod(form, "Timer2_Timer", Qt::DirectConnection);
        QCoreApplication::processEvents();
        return form;
    }();
    return *window;
}

void Tick(Form1& window, const char* handler) { QMetaObject::invokeMethod(&window, handler, Qt::DirectConnection); }

void BM_Timer1Tick(benchmark::State& state) {
    Form1& window = StartedWindow();
    for (auto _ : state) Tick(window, "Timer1_Timer");
    QCoreApplication::processEvents();  // the repaints asked for, outside the timing
}
BENCHMARK(BM_Timer1Tick);

void BM_Timer2Tick(benchmark::State& state) {
    Form1& window = StartedWindow();
    for (auto _ : state) Tick(window, "Timer2_Timer");
    QCoreApplication::processEvents();
}
BENCHMARK(BM_Timer2Tick);

void BM_Timer1TickAndPaint(benchmark::State& state) {
    Form1& window = StartedWindow();
    for (auto _ : state) {
        Tick(window, "Timer1_Timer");
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_Timer1TickAndPaint);

void BM_Timer2TickAndPaint(benchmark::State& state) {
    Form1& window = StartedWindow();
    for (auto _ : state) {
        Tick(window, "Timer2_Timer");
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_Timer2TickAndPaint);

void BM_MonthTooltips(benchmark::State& state) {
    Form1& window = StartedWindow();
    for (auto _ : state) window.findChild<CalendarControl*>(QStringLiteral("Cal1"))->DescribeDaysAgain();
    state.SetLabel(window.AlmanacPlace().text);
}
BENCHMARK(BM_MonthTooltips)->Unit(benchmark::kMillisecond);

void BM_DayTooltip(benchmark::State& state) {
    Form1& window = StartedWindow();
    auto* grid = window.findChild<CalendarControl*>(QStringLiteral("Cal1"))->Widget()->findChild<QTableView*>();
    const QAbstractItemModel* days = grid->model();
    int shown = 0;
    for (auto _ : state) {
        // The six weeks below the row of the weekday names.
        const QModelIndex cell = days->index(1 + shown / 7, shown % 7);
        const QPoint at = grid->visualRect(cell).center();
        QHelpEvent pointed(QEvent::ToolTip, at, grid->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(grid->viewport(), &pointed);
        if (!pointed.isAccepted()) state.SkipWithError("no tooltip shows");
        shown = (shown + 1) % 42;
    }
    state.SetLabel(window.AlmanacPlace().text);
}
BENCHMARK(BM_DayTooltip)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    // Set before the application exists, which reads it.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The sun of the nation's chef-lieu, Paris, in France's time, whatever the
    // settings of the user who measures.
    QTemporaryDir noSettings;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(noSettings.path()));
    qputenv("TZ", "Europe/Paris");
    QApplication application(argc, argv);
    ApplyFixedLook();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// « Nouvel évènement » driven by the keyboard alone: a phrase typed into the quick-add
// line fills the fields, Enter saves, and the file written is read back by
// python3-icalendar, not by the gadget's reader; what cannot be written is said in the
// dialog and the input stays; with no writable calendar the local one is made and
// listed; a day of the grid opens the dialog on that day; an event of the day is
// changed or removed, one occurrence, this one and the following, or all of them.

#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <ctime>

#include "app/platform/gadget_settings.h"
#include "app/window/event_dialog.h"
#include "app/window/form1.h"
#include "tests/app/test_classes.h"
#include "tests/app/window_fixture.h"

namespace {

// Thursday 10 December 2026 at 15:20, the moment the phrases are read at.
const QDateTime kNow(QDate(2026, 12, 10), QTime(15, 20));

// Types `text` key by key, as a keyboard does; QTest::keyClicks takes ASCII alone.
void Type(QWidget* field, const QString& text) {
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// The events of the folder's files as python3-icalendar reads them (written_events.py).
QStringList WrittenEvents(const QString& folder) {
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(SOLVANE_WRITTEN_EVENTS), folder});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
        return {QString::fromUtf8(reader.readAllStandardError())};
    return QString::fromUtf8(reader.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// A weekly meeting from Monday 30 November 2026, 9 h to 10 h in Paris, by `rule`.
QByteArray Meeting(const char* rule) {
    return QByteArray(
               "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Essai//FR\r\nBEGIN:VEVENT\r\nUID:reunion\r\n"
               "DTSTAMP:20261101T000000Z\r\nDTSTART;TZID=Europe/Paris:20261130T090000\r\n"
               "DTEND;TZID=Europe/Paris:20261130T100000\r\nRRULE:") +
           rule + "\r\nSUMMARY:Réunion\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

template <typename Widget>
Widget* Child(const QWidget& dialog, const char* name) {
    return dialog.findChild<Widget*>(QLatin1String(name));
}

}  // namespace

class EventDialogTest : public QObject {
    Q_OBJECT
    QTemporaryDir data_, state_, calendars_;

    // A vdir of the test's own, the only writable agenda and the one for new events.
    QString WritableCalendar(GadgetSettings& settings, const QString& name) {
        const QString folder = calendars_.filePath(name);
        QDir().mkpath(folder);
        settings.SetAgendas({{.source = folder.toStdString(), .name = {}, .writable = true}});
        settings.SetDefaultAgenda(folder.toStdString());
        return folder;
    }

private slots:
    void initTestCase() {
        ApplyFixedLook();
        qputenv("TZ", "Europe/Paris");
        tzset();
        qputenv("XDG_DATA_HOME", QFile::encodeName(data_.path()));
        qputenv("XDG_STATE_HOME", QFile::encodeName(state_.path()));
    }

    // The phrases of the guide, and a time alone on a day of the grid that is not
    // today; a reminder chosen by its key (Alt+A) and the arrows. Expected: what
    // python3-icalendar reads, SUMMARY|DTSTART|DTEND|RRULE|LOCATION|TRIGGER
    // (in seconds).
    void aTypedPhraseIsWrittenAsItWasUnderstood_data() {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<int>("reminderSteps");
        QTest::addColumn<QString>("written");
        const QDate today = kNow.date();
        QTest::newRow("a weekday and a time") << today << QStringLiteral("jeudi 18 h 30 Piscine") << 0
                                              << QStringLiteral(
                                                     "Piscine|2026-12-17T18:30 Europe/Paris|"
                                                     "2026-12-17T19:30 Europe/Paris|||");
        QTest::newRow("tomorrow from 14 h to 15 h 30, reminded 10 min before")
            << today << QStringLiteral("demain 14h-15h30 Dentiste") << 2
            << QStringLiteral("Dentiste|2026-12-11T14:00 Europe/Paris|2026-12-11T15:30 Europe/Paris|||-600");
        QTest::newRow("a whole day next May, reminded the day before")
            << today << QStringLiteral("12 mai toute la journée Anniversaire de Léa") << 5
            << QStringLiteral("Anniversaire de Léa|2027-05-12|2027-05-13|||-86400");
        QTest::newRow("every week") << today << QStringLiteral("lundi 9h réunion chaque semaine") << 0
                                    << QStringLiteral(
                                           "réunion|2026-12-14T09:00 Europe/Paris|"
                                           "2026-12-14T10:00 Europe/Paris|FREQ=WEEKLY||");
        QTest::newRow("every day ten times, at a place, reminded at the start")
            << today << QStringLiteral("chaque jour 7h Course 10 fois @ Parc") << 1
            << QStringLiteral(
                   "Course|2026-12-11T07:00 Europe/Paris|2026-12-11T08:00 Europe/Paris|"
                   "FREQ=DAILY;COUNT=10|Parc|0");
        QTest::newRow("a time alone keeps the day of the grid")
            << QDate(2026, 12, 24) << QStringLiteral("18h Réveillon") << 0
            << QStringLiteral("Réveillon|2026-12-24T18:00 Europe/Paris|2026-12-24T19:00 Europe/Paris|||");
    }

    void aTypedPhraseIsWrittenAsItWasUnderstood() {
        QFETCH(QDate, day);
        QFETCH(QString, phrase);
        QFETCH(int, reminderSteps);
        QFETCH(QString, written);
        GadgetSettings settings(GadgetSettings::DefaultPath(), QStringLiteral(":1"));
        const QString folder = WritableCalendar(settings, QString::fromLatin1(QTest::currentDataTag()));
        EventDialog dialog(day, kNow, EventSaving(QStringLiteral(SOLVANE_PROGRAM_DIR), settings));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* line = Child<QLineEdit>(dialog, "QuickEntry");
        QCOMPARE(QApplication::focusWidget(), line);
        Type(line, phrase);
        QCOMPARE(Child<QLineEdit>(dialog, "Title")->text(), written.section(QLatin1Char('|'), 0, 0));
        QVERIFY2(Child<QLabel>(dialog, "Understood")->text().startsWith(QStringLiteral("Compris : ")),
                 qPrintable(Child<QLabel>(dialog, "Understood")->text()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), Child<QComboBox>(dialog, "Reminder"));
        for (int step = 0; step < reminderSteps; ++step) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(WrittenEvents(folder), QStringList{written});
    }

    // Nothing written, a sentence in the dialog that a screen reader hears, and the
    // input as it was: a start the night clocks go forward, 2 h 30, that reads 3 h 30,
    // after the end; without a title; and with the calendar's folder removed while the
    // dialog was open.
    void whatCannotBeWrittenIsSaidAndTheInputKept() {
        GadgetSettings settings(GadgetSettings::DefaultPath(), QStringLiteral(":1"));
        const QString folder = WritableCalendar(settings, QStringLiteral("removed"));
        EventDialog dialog(kNow.date(), kNow, EventSaving(QStringLiteral(SOLVANE_PROGRAM_DIR), settings));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* line = Child<QLineEdit>(dialog, "QuickEntry");
        auto* problem = Child<QLabel>(dialog, "Problem");
        Type(line, QStringLiteral("28 mars 2027 2h30-3h15 Garde"));
        QTest::keyClick(line, Qt::Key_Return);
        QVERIFY2(problem->text().contains(QStringLiteral("02 h 30 n'existe pas et se lit 03 h 30")),
                 qPrintable(problem->text()));
        QVERIFY(QDir(folder).isEmpty());
        line->clear();
        Type(line, QStringLiteral("demain 14h"));
        QTest::keyClick(line, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(problem->text(), QStringLiteral("L'évènement n'a pas de titre : rien n'est écrit."));
        QCOMPARE(QApplication::focusWidget(), Child<QLineEdit>(dialog, "Title"));
        // Heard with the focus: X11's bridge carries no alert.
        QCOMPARE(QApplication::focusWidget()->accessibleDescription(), problem->text());

        Type(QApplication::focusWidget(), QStringLiteral("Dentiste"));
        QVERIFY(QDir(folder).removeRecursively());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QVERIFY2(problem->isVisibleTo(&dialog) && problem->text().contains(QStringLiteral("n'existe pas")),
                 qPrintable(problem->text()));
        QCOMPARE(problem->accessibleName(), problem->text());
        QCOMPARE(QApplication::focusWidget()->accessibleDescription(), problem->text());
        QCOMPARE(line->text(), QStringLiteral("demain 14h"));
        QCOMPARE(Child<QLineEdit>(dialog, "Title")->text(), QStringLiteral("Dentiste"));
        QCOMPARE(Child<QDateEdit>(dialog, "StartDate")->date(), QDate(2026, 12, 11));
        QVERIFY(!QFileInfo::exists(folder));
    }

    // No agenda writable: the event goes to the gadget's own calendar, made then,
    // named « Solvane », and listed as writable and chosen for the next events.
    // The calendar chosen is made read-only in « Agendas… » (by another gadget) while
    // the dialog is open: nothing is written there.
    void aCalendarNoLongerWritableTakesNoEvent() {
        GadgetSettings settings(GadgetSettings::DefaultPath(), QStringLiteral(":1"));
        const QString folder = WritableCalendar(settings, QStringLiteral("unticked"));
        EventDialog dialog(kNow.date(), kNow, EventSaving(QStringLiteral(SOLVANE_PROGRAM_DIR), settings));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        settings.SetAgendas({{.source = folder.toStdString(), .name = {}, .writable = false}});
        Type(Child<QLineEdit>(dialog, "QuickEntry"), QStringLiteral("demain 14h Dentiste"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QVERIFY2(Child<QLabel>(dialog, "Problem")->text().contains(QStringLiteral("n'est plus modifiable")),
                 qPrintable(Child<QLabel>(dialog, "Problem")->text()));
        QVERIFY(QDir(folder).isEmpty());
    }

    void withNoWritableCalendarTheLocalOneIsMade() {
        GadgetSettings settings(GadgetSettings::DefaultPath(), QStringLiteral(":1"));
        settings.SetAgendas({{.source = "https://example.org/agenda.ics", .name = {}, .writable = true}});
        EventDialog dialog(kNow.date(), kNow, EventSaving(QStringLiteral(SOLVANE_PROGRAM_DIR), settings));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(Child<QComboBox>(dialog, "Calendar")->count(), 1);
        Type(QApplication::focusWidget(), QStringLiteral("demain 9h Piano"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const QString local = data_.filePath(QStringLiteral("solvane/agenda"));
        QCOMPARE(test::BytesOf(local + QStringLiteral("/displayname")), QByteArray("Solvane"));
        QCOMPARE(WrittenEvents(local),
                 QStringList{QStringLiteral("Piano|2026-12-11T09:00 Europe/Paris|2026-12-11T10:00 Europe/Paris|||")});
        QCOMPARE(settings.Choices().defaultAgenda, local.toStdString());
        QCOMPARE(settings.Agendas().back().writable, true);
    }

    // Every control the Tab key reaches has a name for screen readers, and the Tab key
    // goes down the form, never back up.
    void theFieldsAreNamedAndTabbedInTheirOrder() {
        GadgetSettings settings(GadgetSettings::DefaultPath(), QStringLiteral(":1"));
        EventDialog dialog(kNow.date(), kNow, EventSaving(QStringLiteral(SOLVANE_PROGRAM_DIR), settings));
        Child<QComboBox>(dialog, "Repetition")->setCurrentIndex(1);
        Child<QComboBox>(dialog, "Ending")->setCurrentIndex(1);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        // A date or a time takes Tab from one of its parts to the next, as Qt's do.
        QWidget* first = QApplication::focusWidget();
        QList<QWidget*> reached;
        int lastMiddle = -1;
        do {
            QWidget* field = QApplication::focusWidget();
            QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(field);
            QVERIFY2(heard && !heard->text(QAccessible::Name).isEmpty(), field->metaObject()->className());
            // The fields of a row share its middle line whatever their heights (a date
            // is taller than a list on some Qt versions); a field of a row above ends
            // above it.
            const QRect place(field->mapTo(&dialog, QPoint(0, 0)), field->size());
            QVERIFY2(place.bottom() >= lastMiddle, qPrintable(field->objectName()));
            lastMiddle = place.center().y();
            if (!reached.contains(field)) reached << field;
            QTest::keyClick(field, Qt::Key_Tab);
        } while (QApplication::focusWidget() != first && reached.size() < 30);
        QCOMPARE(reached.size(), 15);  // every field, the last day among them but not the count, and the buttons
    }

    // An event of the day chosen in the list by the keyboard (Alt+V), its title typed
    // anew and the occurrences chosen (Alt+O), then saved; or removed (Alt+P), the
    // question answered by Alt+S. Expected: the question, and the vdir's events as
    // python3-icalendar reads them (with the RECURRENCE-ID of an occurrence changed
    // alone), sorted, and how many files hold them. Earlier occurrences never move.
    void aRepeatedEventIsChangedFromItsDay_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<int>("scopeSteps");  // 0 this one, 1 this one and the following, 2 all
        QTest::addColumn<QString>("title");   // empty: removed
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<int>("files");
        const QString first = QStringLiteral("2026-11-30T09:00 Europe/Paris|2026-11-30T10:00 Europe/Paris|");
        const QString fourteenth = QStringLiteral("2026-12-14T09:00 Europe/Paris|2026-12-14T10:00 Europe/Paris|");
        QTest::newRow("one occurrence is an override in the series' file")
            << Meeting("FREQ=WEEKLY") << QDate(2026, 12, 14) << 0 << QStringLiteral("Réunion déplacée") << QString()
            << QStringList{QStringLiteral("Réunion déplacée|") + fourteenth +
                               QStringLiteral("|||2026-12-14T09:00 Europe/Paris"),
                           QStringLiteral("Réunion|") + first + QStringLiteral("FREQ=WEEKLY||")}
            << 1;
        QTest::newRow("this one and the following end the series and start another")
            << Meeting("FREQ=WEEKLY") << QDate(2026, 12, 14) << 1 << QStringLiteral("Réunion d'équipe") << QString()
            << QStringList{QStringLiteral("Réunion d'équipe|") + fourteenth + QStringLiteral("FREQ=WEEKLY||"),
                           QStringLiteral("Réunion|") + first + QStringLiteral("FREQ=WEEKLY;UNTIL=20261214T075959Z||")}
            << 2;
        QTest::newRow("a rule the fields cannot say survives a change of them all")
            << Meeting("FREQ=WEEKLY;BYDAY=MO,WE") << QDate(2026, 12, 16) << 2 << QStringLiteral("Réunion d'équipe")
            << QString()
            << QStringList{QStringLiteral("Réunion d'équipe|") + first + QStringLiteral("FREQ=WEEKLY;BYDAY=MO,WE||")}
            << 1;
        QTest::newRow("removing them all names how many")
            << Meeting("FREQ=WEEKLY;COUNT=5") << QDate(2026, 12, 14) << 2 << QString()
            << QStringLiteral("Supprimer « Réunion » et ses 5 occurrences ?") << QStringList{} << 0;
    }

    void aRepeatedEventIsChangedFromItsDay() {
        QFETCH(QByteArray, file);
        QFETCH(QDate, day);
        QFETCH(int, scopeSteps);
        QFETCH(QString, title);
        QFETCH(QString, question);
        QFETCH(QStringList, written);
        QFETCH(int, files);
        GadgetSettings settings(GadgetSettings::DefaultPath(), QStringLiteral(":1"));
        const QString folder = WritableCalendar(settings, QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(test::WriteBytes(folder + QStringLiteral("/reunion.ics"), file));
        EventDialog dialog(day, kNow, EventSaving(QStringLiteral(SOLVANE_PROGRAM_DIR), settings));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), Child<QComboBox>(dialog, "Event"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Modifier l'évènement"));
        QCOMPARE(Child<QLineEdit>(dialog, "Title")->text(), QStringLiteral("Réunion"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), Child<QComboBox>(dialog, "Scope"));
        for (int step = 0; step < scopeSteps; ++step) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        // A button's key clicks it a moment later: the question is answered once it is up.
        QString asked;
        QTimer answer;
        connect(&answer, &QTimer::timeout, &dialog, [&asked, &answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isActiveWindow()) return;
            answer.stop();
            asked = box->text();
            QTest::keyClick(box, Qt::Key_S, Qt::AltModifier);
        });
        if (title.isEmpty()) {
            answer.start(10);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::AltModifier);
        } else {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::AltModifier);
            Type(QApplication::focusWidget(), title);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QTRY_VERIFY2_WITH_TIMEOUT(dialog.result() == QDialog::Accepted,
                                  qPrintable(Child<QLabel>(dialog, "Problem")->text()), 20000);
        QCOMPARE(asked, question);
        QStringList events = WrittenEvents(folder);
        events.sort();
        QCOMPARE(events, written);
        QCOMPARE(QDir(folder).entryList({QStringLiteral("*.ics")}, QDir::Files).size(), files);
    }

    // The file changed after the event was opened (a synchronisation): nothing is
    // written over it, the sentence says so, and the title typed stays.
    void anEventChangedMeanwhileIsNotWrittenOver() {
        GadgetSettings settings(GadgetSettings::DefaultPath(), QStringLiteral(":1"));
        const QString folder = WritableCalendar(settings, QStringLiteral("changed meanwhile"));
        const QString path = folder + QStringLiteral("/reunion.ics");
        QVERIFY(test::WriteBytes(path, Meeting("FREQ=WEEKLY")));
        EventDialog dialog(QDate(2026, 12, 14), kNow, EventSaving(QStringLiteral(SOLVANE_PROGRAM_DIR), settings));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::AltModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::AltModifier);
        Type(QApplication::focusWidget(), QStringLiteral("Piscine"));
        const QByteArray synced = Meeting("FREQ=WEEKLY").replace("Réunion", "Réunion synchronisée");
        QVERIFY(test::WriteBytes(path + QStringLiteral(".new"), synced));
        QVERIFY(QFile::remove(path) && QFile::rename(path + QStringLiteral(".new"), path));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QVERIFY2(Child<QLabel>(dialog, "Problem")->text().contains(QStringLiteral("a changé entre-temps")),
                 qPrintable(Child<QLabel>(dialog, "Problem")->text()));
        QCOMPARE(Child<QLineEdit>(dialog, "Title")->text(), QStringLiteral("Piscine"));
        QCOMPARE(test::BytesOf(path), synced);
    }

    // An event gone from its file before it is chosen is not opened: the list shows
    // again the one still open, which a save would change.
    void anEventThatCannotBeOpenedLeavesTheOpenOneChosen() {
        GadgetSettings settings(GadgetSettings::DefaultPath(), QStringLiteral(":1"));
        const QString folder = WritableCalendar(settings, QStringLiteral("gone before chosen"));
        QVERIFY(test::WriteBytes(folder + QStringLiteral("/reunion.ics"), Meeting("FREQ=WEEKLY")));
        QVERIFY(test::WriteBytes(folder + QStringLiteral("/piscine.ics"),
                                 Meeting("FREQ=WEEKLY").replace("reunion", "piscine").replace("Réunion", "Piscine")));
        EventDialog dialog(QDate(2026, 12, 14), kNow, EventSaving(QStringLiteral(SOLVANE_PROGRAM_DIR), settings));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::AltModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        const QString open = Child<QLineEdit>(dialog, "Title")->text();
        const QString other = open == QStringLiteral("Piscine") ? QStringLiteral("reunion") : QStringLiteral("piscine");
        QVERIFY(QFile::remove(folder + QLatin1Char('/') + other + QStringLiteral(".ics")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QVERIFY(Child<QLabel>(dialog, "Problem")->isVisibleTo(&dialog));
        QCOMPARE(Child<QComboBox>(dialog, "Event")->currentIndex(), 1);
        QCOMPARE(Child<QLineEdit>(dialog, "Title")->text(), open);
    }

    // « Nouvel évènement » chosen again after an event begins anew: a save would
    // otherwise write the event left a second time, and the reminder kept as written
    // would become the row above it.
    void aNewEventChosenAfterAnOpenOneBeginsAnew() {
        GadgetSettings settings(GadgetSettings::DefaultPath(), QStringLiteral(":1"));
        const QString folder = WritableCalendar(settings, QStringLiteral("new after open"));
        QVERIFY(
            test::WriteBytes(folder + QStringLiteral("/reunion.ics"), Meeting("FREQ=WEEKLY")
                                                                          .replace("END:VEVENT",
                                                                                   "BEGIN:VALARM\r\nACTION:DISPLAY\r\n"
                                                                                   "DESCRIPTION:R\r\nTRIGGER:-PT2H\r\n"
                                                                                   "END:VALARM\r\nEND:VEVENT")));
        EventDialog dialog(QDate(2026, 12, 14), kNow, EventSaving(QStringLiteral(SOLVANE_PROGRAM_DIR), settings));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        const QTime start = Child<QTimeEdit>(dialog, "StartTime")->time();  // 16:00, the next hour
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::AltModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(Child<QLineEdit>(dialog, "Title")->text(), QStringLiteral("Réunion"));
        QCOMPARE(Child<QComboBox>(dialog, "Reminder")->currentText(), QStringLiteral("Comme écrits dans l'agenda"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Nouvel évènement"));
        QCOMPARE(Child<QLineEdit>(dialog, "Title")->text(), QString());
        QCOMPARE(Child<QComboBox>(dialog, "Reminder")->currentText(), QStringLiteral("Aucun"));
        QCOMPARE(Child<QTimeEdit>(dialog, "StartTime")->time(), start);
    }

    // An event of a very long title keeps the dialog within the screen, its buttons
    // in reach.
    void aLongTitleInTheListKeepsTheDialogNarrow() {
        GadgetSettings settings(GadgetSettings::DefaultPath(), QStringLiteral(":1"));
        const QString folder = WritableCalendar(settings, QStringLiteral("long title"));
        QVERIFY(test::WriteBytes(folder + QStringLiteral("/reunion.ics"),
                                 Meeting("FREQ=WEEKLY").replace("SUMMARY:Réunion", "SUMMARY:" + QByteArray(400, 'R'))));
        EventDialog dialog(QDate(2026, 12, 14), kNow, EventSaving(QStringLiteral(SOLVANE_PROGRAM_DIR), settings));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(Child<QComboBox>(dialog, "Event")->count(), 2);
        QVERIFY2(dialog.width() < 60 * dialog.fontMetrics().averageCharWidth() + 200,
                 qPrintable(QString::number(dialog.width())));
    }

    // Entrée on a day of the grid, as a double click, opens the dialog on that day;
    // the event saved is underlined in the grid.
    void aDayOfTheGridOpensTheDialogOnIt() {
        const std::unique_ptr<Form1> form(new Form1(QStringLiteral(SOLVANE_PROGRAM_DIR)));
        form->Form_Load();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        const QDate day(test::Cal1Of(*form)->Widget()->yearShown(), test::Cal1Of(*form)->Widget()->monthShown(), 24);
        test::Cal1Of(*form)->Widget()->setSelectedDate(day);
        auto* grid = test::Cal1Of(*form)->Widget()->findChild<QTableView*>();
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Return);
        auto* dialog = form->findChild<EventDialog*>(QStringLiteral("EventDialog"));
        QVERIFY(dialog);
        QCOMPARE(Child<QDateEdit>(*dialog, "StartDate")->date(), day);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Nouvel évènement"));
        QVERIFY(!test::Cal1Of(*form)->Widget()->dateTextFormat(day).fontUnderline());
        Type(Child<QLineEdit>(*dialog, "Title"), QStringLiteral("Bal"));
        QTest::keyClick(Child<QLineEdit>(*dialog, "Title"), Qt::Key_Return);
        QVERIFY2(!dialog->isVisible(), qPrintable(Child<QLabel>(*dialog, "Problem")->text()));
        QTRY_VERIFY_WITH_TIMEOUT(test::Cal1Of(*form)->Widget()->dateTextFormat(day).fontUnderline(), 20000);
    }
};

SOLVANE_TEST_CLASS(EventDialogTest)
#include "event_dialog_test.moc"

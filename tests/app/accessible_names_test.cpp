// What a screen reader learns of the window's controls, read through Qt's
// accessibility interfaces as an assistive tool reads them: a French name for every
// button, the moon picture and the calendar, and for the two picture buttons, which
// show no words, a tooltip that also serves as their description; the grid named
// after its month; the menu's entries with their ticks and places.

#include <QAccessible>
#include <QActionGroup>
#include <QCalendarWidget>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "app/window/form1.h"
#include "calendar/regional_holidays.h"
#include "tests/app/test_classes.h"
#include "tests/app/window_fixture.h"

class AccessibleNamesTest : public QObject {
    Q_OBJECT

    Form1* form_ = nullptr;

    QWidget* Control(const QString& name) {
        auto* control = form_->findChild<QWidget*>(name);
        if (!control) qFatal("no control %s", qPrintable(name));
        return control;
    }

    // The menu that the window opened last, deleted with the pointer.
    std::unique_ptr<QMenu> TakeMenu() {
        return std::unique_ptr<QMenu>(
            form_->findChild<QMenu*>(QStringLiteral("Form1Menu"), Qt::FindDirectChildrenOnly));
    }

    static QAccessibleInterface* Accessible(QObject* object) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
        if (!accessible) qFatal("no accessible interface for %s", qPrintable(object->objectName()));
        return accessible;
    }

private slots:
    void initTestCase() {
        form_ = test::ShowStoppedWindow();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
    }

    void cleanupTestCase() { delete form_; }

    void controlIsReadWithItsName_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        QTest::newRow("the minimise picture button is Réduire")
            << "CmdMinimise" << QStringLiteral("Réduire") << int(QAccessible::Button);
        QTest::newRow("the quit picture button is Quitter")
            << "cmdQuit" << QStringLiteral("Quitter") << int(QAccessible::Button);
        QTest::newRow("<< is Mois précédent")
            << "recul" << QStringLiteral("Mois précédent") << int(QAccessible::Button);
        QTest::newRow(">> is Mois suivant") << "avance" << QStringLiteral("Mois suivant") << int(QAccessible::Button);
        QTest::newRow("the today button keeps its caption as name")
            << "cejour" << QStringLiteral("Aujourd'hui") << int(QAccessible::Button);
        QTest::newRow("the moon is a picture named Phase de la lune")
            << "Image1" << QStringLiteral("Phase de la lune") << int(QAccessible::Graphic);
        QTest::newRow("the month calendar is Calendrier") << "Cal1" << QStringLiteral("Calendrier") << -1;
        QTest::newRow("the calendar's left arrow is Mois précédent")
            << "qt_calendar_prevmonth" << QStringLiteral("Mois précédent") << int(QAccessible::Button);
        QTest::newRow("the calendar's right arrow is Mois suivant")
            << "qt_calendar_nextmonth" << QStringLiteral("Mois suivant") << int(QAccessible::Button);
    }

    void controlIsReadWithItsName() {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(int, role);
        QAccessibleInterface* accessible = Accessible(Control(control));
        QCOMPARE(accessible->text(QAccessible::Name), name);
        if (role >= 0) QCOMPARE(int(accessible->role()), role);
    }

    // The grid says the month it shows, the year written plainly (no blank between its
    // thousands, as French numbers have), and says it anew whatever turns the page.
    void calendarGridIsNamedAfterItsMonth_data() {
        QTest::addColumn<QDate>("selected");
        QTest::addColumn<QString>("button");  // clicked after the selection, if any
        QTest::addColumn<QString>("name");
        QTest::newRow("December 2026") << QDate(2026, 12, 6) << "" << QStringLiteral("Calendrier, décembre 2026");
        QTest::newRow(">> from December 2026 is January 2027")
            << QDate(2026, 12, 6) << "avance" << QStringLiteral("Calendrier, janvier 2027");
        QTest::newRow("<< from March 2024 is February 2024")
            << QDate(2024, 3, 31) << "recul" << QStringLiteral("Calendrier, février 2024");
        QTest::newRow("the calendar's own arrow from August 2025 is September 2025")
            << QDate(2025, 8, 15) << "qt_calendar_nextmonth" << QStringLiteral("Calendrier, septembre 2025");
    }

    void calendarGridIsNamedAfterItsMonth() {
        QFETCH(QDate, selected);
        QFETCH(QString, button);
        QFETCH(QString, name);
        test::Cal1Of(*form_)->Widget()->setSelectedDate(selected);
        if (!button.isEmpty()) qobject_cast<QAbstractButton*>(Control(button))->click();
        QCOMPARE(Accessible(test::Cal1Of(*form_)->Widget()->findChild<QTableView*>())->text(QAccessible::Name), name);
    }

    // Each entry of the menu and of its « Jours fériés » has, as a screen reader finds
    // it, its menu as parent and its own place there, and is read with its tick: an
    // entry that can be ticked is a check box, a radio button in a group where one
    // entry alone is ticked (the regions, the nation ticked first).
    void menuEntriesAreReadWithTheirTicksAndPlaces() {
        form_->ShowMenu(QPoint(0, 0));
        const std::unique_ptr<QMenu> menu = TakeMenu();
        QVERIFY(menu);
        auto* regions = menu->findChild<QMenu*>(QStringLiteral("RegionMenu"));
        QVERIFY(regions);
        QAccessibleInterface* regionsRead = Accessible(regions);
        QCOMPARE(regionsRead->text(QAccessible::Name), QStringLiteral("Jours fériés"));
        QCOMPARE(regionsRead->parent(), Accessible(regions->menuAction()));
        QMap<int, int> roles;  // how many entries of each role
        QStringList names;     // of the menu's checkable entries, as a screen reader says them
        int ticked = 0;
        for (QMenu* each : {menu.get(), regions}) {
            QAccessibleInterface* read = Accessible(each);
            QCOMPARE(read->childCount(), int(each->actions().size()));
            for (int place = 0; place < read->childCount(); ++place) {
                QAccessibleInterface* entry = read->child(place);
                const QAction* action = each->actions().at(place);
                const QString what = each->objectName() + QLatin1Char(' ') + QString::number(place);
                QVERIFY2(entry && entry->object() == action, qPrintable(what));
                QVERIFY2(entry->parent() == read && read->indexOfChild(entry) == place, qPrintable(what));
                QCOMPARE(entry->state().checked, action->isChecked());
                QCOMPARE(entry->state().checkable, action->isCheckable());
                // Said only where no notification server answers, as the test's bus may be.
                if (action->objectName() == QLatin1String("NoNotifications")) continue;
                if (action->isCheckable() && each == menu.get()) names << entry->text(QAccessible::Name);
                ++roles[entry->role()];
                if (entry->role() != QAccessible::RadioButton) continue;
                QVERIFY2(action->actionGroup() && action->actionGroup()->isExclusive(), qPrintable(what));
                ticked += action->isChecked();
            }
        }
        QCOMPARE(names, QStringList({QStringLiteral("Toujours au-dessus des autres fenêtres"),
                                     QStringLiteral("Lancer Solvane à l'ouverture de session"),
                                     QStringLiteral("Numéros de semaine"),
                                     QStringLiteral("Rappeler les fêtes et les anniversaires")}));
        QCOMPARE(roles.value(QAccessible::CheckBox), names.size());
        QCOMPARE(roles.value(QAccessible::RadioButton), int(calendar::kRegionTable.size()));
        // The menu's three, and in « Jours fériés » one before each country after France:
        // Belgique, Luxembourg, Monaco, Suisse, Canada.
        QCOMPARE(roles.value(QAccessible::Separator), 3 + 5);
        // « Jours fériés » and seven commands, « Lieu… », « Agendas… » and « Nouvel évènement… » among them.
        QCOMPARE(roles.value(QAccessible::MenuItem), 8);
        QCOMPARE(ticked, 1);
    }

    // Opened from the keyboard, the menu has its first entry active, which a screen
    // reader hears as the focus; opened by the mouse, none until the pointer moves.
    void menuFromTheKeyboardOpensOnItsFirstEntry_data() {
        QTest::addColumn<int>("how");  // a reason of QContextMenuEvent, or -1 for Shift+F10
        QTest::addColumn<bool>("firstActive");
        QTest::newRow("the Menu key") << int(QContextMenuEvent::Keyboard) << true;
        QTest::newRow("Shift+F10") << -1 << true;
        QTest::newRow("the right button") << int(QContextMenuEvent::Mouse) << false;
    }

    void menuFromTheKeyboardOpensOnItsFirstEntry() {
        QFETCH(int, how);
        QFETCH(bool, firstActive);
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_));
        if (how < 0) {
            QTest::keyClick(form_, Qt::Key_F10, Qt::ShiftModifier);
        } else {
            const QPoint point(340, 200);  // the bare background
            QContextMenuEvent event(QContextMenuEvent::Reason(how), point, form_->mapToGlobal(point));
            QCoreApplication::sendEvent(form_, &event);
        }
        const std::unique_ptr<QMenu> menu = TakeMenu();
        QVERIFY(menu);
        QAction* first = menu->actions().constFirst();
        QCOMPARE(menu->activeAction(), firstActive ? first : nullptr);
        QCOMPARE(Accessible(menu.get())->child(0)->state().focused, firstActive);
    }

    // The calendar the user clicks and tabs into is a child of Cal1; it is the one a
    // screen reader lands on.
    void calendarTakingTheFocusIsNamedToo() {
        QCOMPARE(Accessible(test::Cal1Of(*form_)->Widget())->text(QAccessible::Name), QStringLiteral("Calendrier"));
    }

    void pictureButtonExplainsItselfInATooltip_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("minimise") << "CmdMinimise";
        QTest::newRow("quit") << "cmdQuit";
    }

    void pictureButtonExplainsItselfInATooltip() {
        QFETCH(QString, control);
        auto* button = qobject_cast<QPushButton*>(Control(control));
        QVERIFY(button);
        QVERIFY(button->text().isEmpty());  // a picture, no words on it
        QVERIFY(!button->toolTip().isEmpty());
        QCOMPARE(Accessible(button)->text(QAccessible::Description), button->toolTip());
    }

    // The grid's first row names the days of the week in full, Monday first; every
    // day, those of the neighbouring months too, is its number, described by the
    // facts that its tooltip shows. The slots of the table's hidden headers, which
    // the numbering of the view counts, are invisible. With « Numéros de semaine »,
    // a first column of row headers « Semaine 49 », under « Semaine ».
    void calendarGridIsReadWithWholeDayNamesAndEachDaysFacts_data() {
        QTest::addColumn<bool>("weekNumbers");
        QTest::newRow("the days alone") << false;
        QTest::newRow("with the week numbers") << true;
    }

    void calendarGridIsReadWithWholeDayNamesAndEachDaysFacts() {
        QFETCH(bool, weekNumbers);
        form_->Form_Load();
        test::Cal1Of(*form_)->SetWeekNumbers(weekNumbers);
        const int columns = weekNumbers ? 8 : 7;
        const int first = weekNumbers ? 1 : 0;  // the first column of days
        QAccessibleInterface* grid = Accessible(test::Cal1Of(*form_)->Widget()->findChild<QTableView*>());
        QList<QAccessibleInterface*> shown;
        for (int index = 0; index < grid->childCount(); ++index) {
            QAccessibleInterface* child = grid->child(index);
            QVERIFY2(child, qPrintable(QString::number(index)));
            if (!child->state().invisible) shown << child;
        }
        QCOMPARE(shown.size(), 7 * columns);
        const QStringList days{"lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi", "dimanche"};
        for (int column = 0; column < 7; ++column) {
            QCOMPARE(shown[first + column]->text(QAccessible::Name), days[column]);
        }
        QStringList described;
        for (int cell = columns; cell < shown.size(); ++cell) {
            const QAccessibleInterface* day = shown[cell];
            const QString name = day->text(QAccessible::Name);
            if (cell % columns < first) {
                const QString week = test::Cal1Of(*form_)
                                         ->Widget()
                                         ->findChild<QTableView*>()
                                         ->model()
                                         ->index(cell / columns, 0)
                                         .data(Qt::DisplayRole)
                                         .toString();
                QVERIFY(week.toInt() > 0);
                QCOMPARE(name, QStringLiteral("Semaine ") + week);
                QCOMPARE(day->role(), QAccessible::RowHeader);
                continue;
            }
            const QString description = day->text(QAccessible::Description);
            // The description's first line is the day written out, whose number is the cell's name.
            QVERIFY2(description.section(QLatin1Char(' '), 1, 1).startsWith(name), qPrintable(description));
            described << description.section(QLatin1Char('\n'), 0, 0);
        }
        if (weekNumbers) QCOMPARE(shown[0]->text(QAccessible::Name), QStringLiteral("Semaine"));
        // 42 different days, in a row, from a Monday.
        QCOMPARE(QSet<QString>(described.begin(), described.end()).size(), 42);
        QVERIFY2(described.first().startsWith(QStringLiteral("lundi ")), qPrintable(described.first()));
        test::Cal1Of(*form_)->SetWeekNumbers(false);
    }

    // The view tells a screen reader which cell takes the focus by its number in the
    // grid, as Qt numbers the cells of any table, hidden headers counted (Qt 6.8
    // warns when no cell has the number; a wrong one reads out another day). Qt's
    // own reading of a plain table of the same model is the reference: each of its
    // cells has, under the same number, the grid's cell of that day, named and
    // described, in the neighbouring months and the sixth row too.
    void everyCellHasTheNumberQtGivesItInATable() {
        auto* view = test::Cal1Of(*form_)->Widget()->findChild<QTableView*>();
        QAccessibleInterface* grid = Accessible(view);
        QTableView plain;
        plain.setModel(view->model());
        QAccessibleInterface* table = Accessible(&plain);
        QCOMPARE(grid->childCount(), table->childCount());
        int days = 0;
        for (int index = 0; index < table->childCount(); ++index) {
            const QAccessibleInterface* ours = grid->child(index);
            QVERIFY2(ours, qPrintable(QString::number(index)));
            QAccessibleTableCellInterface* place = table->child(index)->tableCellInterface();
            if (!place) {  // a header of the table, which the calendar hides
                QVERIFY2(ours->state().invisible, qPrintable(QString::number(index)));
                continue;
            }
            QVERIFY2(!ours->state().invisible, qPrintable(QString::number(index)));
            if (place->rowIndex() == 0) continue;  // the weekday names, read whole above
            const QModelIndex day = view->model()->index(place->rowIndex(), place->columnIndex());
            QCOMPARE(ours->text(QAccessible::Name), day.data(Qt::DisplayRole).toString());
            QCOMPARE(ours->text(QAccessible::Description), test::CellTooltip(*test::Cal1Of(*form_), day));
            ++days;
        }
        QCOMPARE(days, 6 * 7);
    }

    // Minimised, the window keeps its name, that of its icon.
    void minimisedWindowKeepsItsName() {
        form_->showMinimized();
        QCOMPARE(Accessible(form_)->text(QAccessible::Name), QStringLiteral("Solvane"));
        form_->showNormal();
    }

    // The text buttons' captions say it all: no tooltip pops up over them.
    void textButtonsShowNoTooltip() {
        for (const char* name : {"recul", "avance", "cejour"}) {
            QVERIFY2(Control(QString::fromLatin1(name))->toolTip().isEmpty(), name);
        }
    }

    // However the window changes, a screen reader can tell every button apart.
    void everyButtonHasItsOwnName() {
        QSet<QString> names;
        const QList<QPushButton*> buttons = form_->findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 5);
        for (QPushButton* button : buttons) {
            const QString name = Accessible(button)->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty(), qPrintable(button->objectName()));
            QVERIFY2(!names.contains(name), qPrintable(name));
            names.insert(name);
        }
    }
};

SOLVANE_TEST_CLASS(AccessibleNamesTest)
#include "accessible_names_test.moc"

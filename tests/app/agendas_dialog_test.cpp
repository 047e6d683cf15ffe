// « Agendas… » on the offscreen platform, against a real web server on 127.0.0.1
// (tests/subscriptions/calendar_server.py): sources added and removed as Qt's own
// QSettings reads the array back, each row's state as fetches end, and the gadget
// that answers at once while a fetch hangs.

#include <sys/resource.h>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "app/platform/gadget_settings.h"
#include "app/platform/subscription_fetches.h"
#include "app/window/agendas_dialog.h"
#include "app/window/form1.h"
#include "calendar/local_zone.h"
#include "subscriptions/cache.h"
#include "tests/app/test_classes.h"
#include "tests/app/window_fixture.h"
#include "tests/subscriptions/calendar_server.h"

namespace {

// The sources as Qt reads the array from the settings file.
QStringList SourcesAsQtReadsThem(const QString& path) {
    QSettings file(path, QSettings::IniFormat);
    QStringList sources;
    const int size = file.beginReadArray(QStringLiteral("agendas"));
    for (int index = 0; index < size; ++index) {
        file.setArrayIndex(index);
        sources << file.value(QStringLiteral("source")).toString();
    }
    file.endArray();
    return sources;
}

QString StateOfRow(const QTreeWidget& list, const QString& source) {
    for (int index = 0; index < list.topLevelItemCount(); ++index) {
        if (list.topLevelItem(index)->text(0) == source) return list.topLevelItem(index)->text(1);
    }
    return QStringLiteral("(absente)");
}

double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

class AgendasDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir config_, cache_, served_, files_;

private slots:
    void initTestCase() {
        ApplyFixedLook();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache_.path()));
    }

    // Added by hand, each kind of source is written at the end of the array and
    // shows its state; a fetch that ends rewrites its row; a relative path or a
    // source already there is refused with a sentence; « Retirer » takes the
    // current row out; « Actualiser » with the server gone says since when it is
    // offline, the copy kept.
    void sourcesAreAddedRemovedAndShowTheirState() {
        subscriptions::testing::CalendarServer server(served_.path().toStdString());
        const QString settingsPath = config_.filePath(QStringLiteral("solvane/solvane.conf"));
        GadgetSettings settings(settingsPath, QStringLiteral(":1"));
        subscriptions::FetchLimits limits;
        limits.longest = std::chrono::seconds(3);
        SubscriptionFetches fetches(cache_.path() + QStringLiteral("/solvane"), limits);
        AgendasDialog dialog(settings, fetches);
        dialog.show();
        auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("AgendaList"));
        auto* message = dialog.findChild<QLabel*>(QStringLiteral("Message"));
        QVERIFY(list && message);

        const QString file = files_.filePath(QStringLiteral("anniversaires.ics"));
        QFile(file).open(QIODevice::WriteOnly);
        const QString good = QString::fromStdString(server.Address("/agenda.ics"));
        const QString loop = QString::fromStdString(server.Address("/boucle"));
        QVERIFY(dialog.AddSource(file));
        QVERIFY(dialog.AddSource(files_.path()));
        QVERIFY(dialog.AddSource(good));
        QVERIFY(dialog.AddSource(loop));
        QCOMPARE(SourcesAsQtReadsThem(settingsPath), QStringList({file, files_.path(), good, loop}));
        QCOMPARE(StateOfRow(*list, file), QStringLiteral("fichier"));
        QCOMPARE(StateOfRow(*list, files_.path()), QStringLiteral("dossier"));
        QTRY_COMPARE_WITH_TIMEOUT(StateOfRow(*list, good), QStringLiteral("à jour"), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(StateOfRow(*list, loop),
                                  QStringLiteral("l'adresse renvoie vers une autre plus de 5 fois de suite : le "
                                                 "chargement est abandonné."),
                                  20000);

        for (const char* refused : {"agenda.ics", "http://", "https:///agenda.ics"}) {
            QVERIFY2(!dialog.AddSource(QString::fromLatin1(refused)), refused);
            QCOMPARE(message->text(), QStringLiteral("Une adresse commence par http://, https:// ou webcal://."));
        }
        QVERIFY(!dialog.AddSource(good));
        QCOMPARE(message->text(), QStringLiteral("Cette source est déjà dans la liste."));
        QCOMPARE(SourcesAsQtReadsThem(settingsPath).size(), 4);

        list->setCurrentItem(list->topLevelItem(1));
        dialog.findChild<QPushButton*>(QStringLiteral("Remove"))->click();
        QCOMPARE(SourcesAsQtReadsThem(settingsPath), QStringList({file, good, loop}));

        const QString copy = fetches.CopyOf(good);
        QFile kept(copy);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        const QByteArray shown = kept.readAll();
        server.Stop();
        const subscriptions::Record before =
            subscriptions::ReadRecord(QFile::encodeName(fetches.CacheFolder()).toStdString(), good.toStdString());
        dialog.findChild<QPushButton*>(QStringLiteral("Refresh"))->click();
        const calendar::LocalReading fetched = calendar::LocalReadingOf(before.fetched);
        const QString since = QStringLiteral("hors ligne depuis ") +
                              QString::fromStdString(calendar::ClockText(fetched.hour, fetched.minute, " h "));
        QTRY_COMPARE_WITH_TIMEOUT(StateOfRow(*list, good), since, 20000);
        QVERIFY(kept.seek(0));
        QCOMPARE(kept.readAll(), shown);
    }

    // The window with a subscription whose server never answers: the fetch hangs on
    // its thread while the window turns its pages at once; « Agendas… » opens from
    // the menu and says the address is loading; the window closes without waiting
    // for the network.
    void theGadgetAnswersWhileAFetchHangs() {
        subscriptions::testing::CalendarServer server(served_.path().toStdString());
        const QString silent = QString::fromStdString(server.Address("/muet.ics"));
        GadgetSettings(GadgetSettings::DefaultPath(), QStringLiteral(":1"))
            .SetAgendas({{.source = silent.toStdString(), .name = {}}});
        const double before = ProcessorSeconds();
        {
            Form1 window(QStringLiteral(SOLVANE_PROGRAM_DIR));
            window.Form_Load();
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            // The server has the request: the fetch is under way.
            QTRY_VERIFY_WITH_TIMEOUT(QFile(served_.filePath(QStringLiteral("requests.log"))).size() > 0, 20000);
            const int month = test::Cal1Of(window)->Widget()->monthShown();
            test::Named<QPushButton>(window, "avance")->click();
            QCOMPARE(test::Cal1Of(window)->Widget()->monthShown(), month % 12 + 1);
            window.ShowAgendas();
            auto* dialog = window.findChild<AgendasDialog*>(QStringLiteral("Agendas"));
            QVERIFY(dialog);
            QCOMPARE(StateOfRow(*dialog->findChild<QTreeWidget*>(QStringLiteral("AgendaList")), silent),
                     QStringLiteral("chargement…"));
        }
        // Waiting for the network costs no processor time; a window that spun on it would.
        QVERIFY2(ProcessorSeconds() - before < 10, qPrintable(QString::number(ProcessorSeconds() - before)));
    }

    // A box « modifiable » for the user's own vdir folders and .ics files alone, ticked
    // by the space bar as Qt's QSettings then reads the array; the ticked ones are
    // offered for new events, and the one chosen by the arrows is the file's.
    void ownFoldersAndIcsFilesAloneMayBeMadeWritable() {
        GadgetSettings settings(GadgetSettings::DefaultPath(), QStringLiteral(":1"));
        settings.SetAgendas({});
        QTemporaryDir files;
        SubscriptionFetches fetches(cache_.path() + QStringLiteral("/solvane"), {});
        AgendasDialog dialog(settings, fetches);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        const struct {
            const char* source;  // in `files`
            const char* file;    // made there
            bool offered;
        } rows[] = {{"vdir", "vdir/cours.ics", true},
                    {"travail.ics", "travail.ics", true},
                    {"contacts", "contacts/marc.vcf", false},
                    {"amis.vcf", "amis.vcf", false},
                    {"absent.ics", nullptr, false}};
        for (const auto& row : rows) {
            if (row.file) {
                QDir().mkpath(QFileInfo(files.filePath(QLatin1String(row.file))).path());
                QVERIFY(test::WriteBytes(files.filePath(QLatin1String(row.file)), "x"));
            }
            QVERIFY(dialog.AddSource(files.filePath(QLatin1String(row.source))));
        }
        QVERIFY(dialog.AddSource(QStringLiteral("http://127.0.0.1:9/agenda.ics")));
        auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("AgendaList"));
        auto* chosen = dialog.findChild<QComboBox*>(QStringLiteral("DefaultAgenda"));
        QVERIFY(!chosen->isEnabled());
        for (int index = 0; index < list->topLevelItemCount(); ++index) {
            const bool offered = index < int(std::size(rows)) && rows[index].offered;
            QCOMPARE(list->topLevelItem(index)->flags().testFlag(Qt::ItemIsUserCheckable), offered);
        }
        const QString path = GadgetSettings::DefaultPath();
        const auto writable = [&path] {
            QSettings file(path, QSettings::IniFormat);
            QStringList ticked;
            const int size = file.beginReadArray(QStringLiteral("agendas"));
            for (int index = 0; index < size; ++index) {
                file.setArrayIndex(index);
                if (file.value(QStringLiteral("modifiable")).toString() == QLatin1String("true")) {
                    ticked << QFileInfo(file.value(QStringLiteral("source")).toString()).fileName();
                }
            }
            return ticked;
        };
        list->setFocus();
        for (int index : {1, 0}) {
            list->setCurrentItem(list->topLevelItem(index));
            QTest::keyClick(list, Qt::Key_Space);
        }
        QTRY_COMPARE(writable(), QStringList({QStringLiteral("vdir"), QStringLiteral("travail.ics")}));
        QCOMPARE(chosen->count(), 2);
        chosen->setFocus();
        QTest::keyClick(chosen, Qt::Key_Down);
        QCOMPARE(QSettings(path, QSettings::IniFormat).value(QStringLiteral("solvane/agenda_par_defaut")).toString(),
                 files.filePath(QStringLiteral("travail.ics")));
        QTest::keyClick(list, Qt::Key_Space);
        QTRY_COMPARE(writable(), QStringList({QStringLiteral("travail.ics")}));
    }

    // Each kind of source added in « Agendas… » shows at once in the window that
    // opened it, its day underlined in the grid and its event in the day's tooltip;
    // removed, both go.
    void eachKindTakesEffectAtOnceInTheWindow() {
        GadgetSettings(GadgetSettings::DefaultPath(), QStringLiteral(":1")).SetAgendas({});
        QTemporaryDir served, files;
        Form1 window(QStringLiteral(SOLVANE_PROGRAM_DIR));
        window.Form_Load();
        window.show();
        const QDate day(test::Cal1Of(window)->Widget()->yearShown(), test::Cal1Of(window)->Widget()->monthShown(), 15);
        const QString event = QStringLiteral(
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Solvane tests//FR\r\nBEGIN:VEVENT\r\nUID:%1@test\r\n"
            "DTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:%2\r\nSUMMARY:%1\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
        const QString card =
            QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%2\r\nFN:%1\r\nBDAY:1990-%3\r\nEND:VCARD\r\n");
        const struct {
            const char *source, *file, *shown;  // the source in `files`, its file in it, what the day shows
        } rows[] = {{"travail.ics", "", "Inventaire"},
                    {"vdir", "/cours.ics", "Solfege"},
                    {"amis.vcf", "", "Albane"},
                    {"contacts", "/marc.vcf", "Marceau"},
                    {nullptr, "agenda.ics", "Kermesse"}};
        subscriptions::testing::CalendarServer server(served.path().toStdString());
        window.ShowAgendas();
        auto* dialog = window.findChild<AgendasDialog*>(QStringLiteral("Agendas"));
        QVERIFY(dialog);
        auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("AgendaList"));
        // Whether the day is underlined, and whether its tooltip tells `shown`.
        const auto marks = [&](const char* shown) {
            const QTextCharFormat format = test::Cal1Of(window)->Widget()->dateTextFormat(day);
            return std::pair(format.fontUnderline(),
                             test::DayTooltip(*test::Cal1Of(window), day).contains(QLatin1String(shown)));
        };
        for (const auto& row : rows) {
            const QString source = row.source ? files.filePath(QLatin1String(row.source))
                                              : QString::fromStdString(server.Address("/agenda.ics"));
            const QString file =
                row.source ? source + QLatin1String(row.file) : served.filePath(QLatin1String(row.file));
            QDir().mkpath(QFileInfo(file).path());
            const QString text = file.endsWith(QLatin1String(".vcf")) ? card : event;
            QVERIFY(test::WriteBytes(file, text.arg(QLatin1String(row.shown), day.toString(QStringLiteral("yyyyMMdd")),
                                                    day.toString(QStringLiteral("MM-dd")))
                                               .toUtf8()));
            QCOMPARE(marks(row.shown), std::pair(false, false));
            QVERIFY(dialog->AddSource(source));
            QTRY_COMPARE_WITH_TIMEOUT(marks(row.shown), std::pair(true, true), 20000);
            list->setCurrentItem(list->findItems(source, Qt::MatchExactly).value(0));
            dialog->findChild<QPushButton*>(QStringLiteral("Remove"))->click();
            QTRY_COMPARE_WITH_TIMEOUT(marks(row.shown), std::pair(false, false), 20000);
        }
    }
};

SOLVANE_TEST_CLASS(AgendasDialogTest)
#include "agendas_dialog_test.moc"

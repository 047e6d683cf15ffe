// The settings file as the window keeps it: its text read and written as Qt's own
// QSettings reads and writes INI files (the independent reader here), and two gadgets
// of one user, on two displays, sharing it.

#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

#include "app/platform/gadget_settings.h"
#include "app/window/form1.h"
#include "settings/ini_text.h"
#include "settings/settings_file.h"
#include "tests/app/test_classes.h"
#include "tests/app/window_fixture.h"

namespace {

// Values that each need one of the INI forms: quotes, escapes, a leading '@'.
const char* const kAwkwardValues[] = {
    "HDMI-1",
    "a,b",
    " lead",
    "trail ",
    "x=y",
    "semi;colon",
    "say \"oui\"",
    "back\\slash",
    "tab\there",
    "two\nlines",
    "écran Dell",
    "@ByteArray(x)",
    "\x01"
    "1f",
    "C:\\dossier",
    "http://a/b?c=d&e=f#g",
    "",
    "\"quoted\"",
};

}  // namespace

class GadgetSettingsTest : public QObject {
    Q_OBJECT
private slots:
    // The agendas are an array of QSettings (beginWriteArray): the list written by
    // QSettings reads here in its order with its names, and the list written here
    // reads the same through QSettings, twelve entries making "10\source" sort before
    // "2\source" in both.
    void theAgendasAreAQSettingsArray() {
        QTemporaryDir folder;
        std::vector<settings::AgendaEntry> agendas;
        for (int at = 0; at < 12; ++at) {
            agendas.push_back({.source = "/home/léa/agendas/" + std::string(kAwkwardValues[at % 8]) + ".ics",
                               .name = at % 3 == 0 ? "" : "Agenda « " + std::to_string(at) + " »"});
        }
        const QString theirs = folder.filePath(QStringLiteral("theirs.conf"));
        {
            QSettings qt(theirs, QSettings::IniFormat);
            qt.setValue(QStringLiteral("solvane/region"), QStringLiteral("alsace-moselle"));
            qt.beginWriteArray(QStringLiteral("agendas"));
            for (int at = 0; at < int(agendas.size()); ++at) {
                qt.setArrayIndex(at);
                qt.setValue(QStringLiteral("source"), QString::fromStdString(agendas[std::size_t(at)].source));
                if (!agendas[std::size_t(at)].name.empty()) {
                    qt.setValue(QStringLiteral("nom"), QString::fromStdString(agendas[std::size_t(at)].name));
                }
            }
            qt.endArray();
        }
        QVERIFY(settings::AgendaEntries(theirs.toStdString()) == agendas);

        settings::IniText text = settings::ReadSettings(theirs.toStdString()).text;
        std::reverse(agendas.begin(), agendas.end());
        agendas.resize(5);
        settings::SetAgendaEntries(text, agendas);
        const QString ours = folder.filePath(QStringLiteral("ours.conf"));
        QFile file(ours);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray::fromStdString(text.Text()));
        file.close();
        QSettings qt(ours, QSettings::IniFormat);
        QCOMPARE(qt.beginReadArray(QStringLiteral("agendas")), 5);
        for (int at = 0; at < 5; ++at) {
            qt.setArrayIndex(at);
            QCOMPARE(qt.value(QStringLiteral("source")).toString().toStdString(), agendas[std::size_t(at)].source);
            QCOMPARE(qt.value(QStringLiteral("nom")).toString().toStdString(), agendas[std::size_t(at)].name);
        }
        qt.endArray();
        QCOMPARE(qt.value(QStringLiteral("solvane/region")).toString(), QStringLiteral("alsace-moselle"));
    }

    // Each value written here reads back the same through QSettings, and each value
    // QSettings writes reads back the same here.
    void theTextIsQSettingsOwn() {
        QTemporaryDir folder;
        // A file a value: QSettings keeps what it read of a file until the file's time
        // or size changes, and two writes within the same tick may keep both.
        int row = 0;
        for (const char* awkward : kAwkwardValues) {
            const QString value = QString::fromUtf8(awkward);
            const QString ours = folder.filePath(QStringLiteral("ours-%1.conf").arg(++row));
            settings::IniText text;
            text.Set("solvane", "value", value.toStdString());
            QFile file(ours);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray::fromStdString(text.Text()));
            file.close();
            QCOMPARE(QSettings(ours, QSettings::IniFormat).value(QStringLiteral("solvane/value")).toString(), value);

            const QString theirs = folder.filePath(QStringLiteral("theirs-%1.conf").arg(row));
            QFile::remove(theirs);
            {
                QSettings qt(theirs, QSettings::IniFormat);
                qt.setValue(QStringLiteral("solvane/value"), value);
            }
            const settings::Reading reading = settings::ReadSettings(QFile::encodeName(theirs).toStdString());
            QCOMPARE(reading.state, settings::Reading::State::Read);
            QCOMPARE(QString::fromStdString(reading.text.Value("solvane", "value").value_or("(none)")), value);
        }
    }

    // Two gadgets on two displays: each keeps its own place, whoever saved last; a
    // region or « Toujours au-dessus » chosen in one reaches the other while it runs.
    void twoGadgetsShareTheFile() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("solvane/solvane.conf"));
        GadgetSettings first(path, QStringLiteral(":1"));
        GadgetSettings second(path, QStringLiteral(":2"));
        const SavedPlace left{.topLeft = QPoint(10, 20),
                              .screenName = QStringLiteral("HDMI-1"),
                              .screenGeometry = QRect(0, 0, 1920, 1080)};
        const SavedPlace right{.topLeft = QPoint(900, 40),
                               .screenName = QStringLiteral("screen"),
                               .screenGeometry = QRect(0, 0, 1280, 800)};
        first.SetPlace(left);
        second.SetPlace(right);
        QCOMPARE(GadgetSettings(path, QStringLiteral(":1")).Place(), std::optional(left));
        QCOMPARE(GadgetSettings(path, QStringLiteral(":2")).Place(), std::optional(right));
        QCOMPARE(GadgetSettings(path, QStringLiteral(":3")).Place(), std::nullopt);

        QSignalSpy changed(&second, &GadgetSettings::Changed);
        first.SetRegion(calendar::Region::AlsaceMoselle);
        QTRY_COMPARE_WITH_TIMEOUT(second.Choices().region, calendar::Region::AlsaceMoselle, 1000);
        first.SetKeepAbove(false);
        QTRY_COMPARE_WITH_TIMEOUT(second.KeepAbove(), std::optional(false), 1000);
        QVERIFY(changed.count() >= 2);
        // The place each holds is its own still, and written again unchanged.
        QCOMPARE(second.Place(), std::optional(right));
        QCOMPARE(GadgetSettings(path, QStringLiteral(":1")).Place(), std::optional(left));
    }

    // A window whose menu is open while another gadget changes the region,
    // « Toujours au-dessus », « Numéros de semaine » and « Rappeler les fêtes… »: the
    // menu's ticks follow, as the grid does.
    void theOpenMenuFollowsAnotherGadget() {
        QTemporaryDir config;
        const QByteArray keptConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        Form1 window(QStringLiteral(SOLVANE_PROGRAM_DIR));
        window.ShowMenu(QPoint(0, 0));
        auto* menu = window.findChild<QMenu*>(QStringLiteral("Form1Menu"));
        QVERIFY(menu);
        QAction* above = menu->actions().front();
        QAction* alsace = menu->findChild<QMenu*>(QStringLiteral("RegionMenu"))->actions().at(1);
        const QList<QAction*> entries = menu->actions();
        const auto entry = [&](const QString& text) {
            return *std::find_if(entries.begin(), entries.end(),
                                 [&](const QAction* each) { return each->text() == text; });
        };
        QAction* weeks = entry(QStringLiteral("&Numéros de semaine"));
        QAction* wishes = entry(QStringLiteral("Rappeler les &fêtes et les anniversaires"));
        QVERIFY(!above->isChecked() && !alsace->isChecked() && !weeks->isChecked() && !wishes->isChecked());
        QVERIFY(!test::Cal1Of(window)->WeekNumbers());

        GadgetSettings other(GadgetSettings::DefaultPath(), QStringLiteral(":99"));
        other.SetRegion(calendar::Region::AlsaceMoselle);
        other.SetKeepAbove(true);
        other.SetWeekNumbers(true);
        other.SetWishes(true);
        QTRY_VERIFY_WITH_TIMEOUT(alsace->isChecked() && above->isChecked() && weeks->isChecked() && wishes->isChecked(),
                                 1000);
        QCOMPARE(window.HolidayRegion(), calendar::Region::AlsaceMoselle);
        QVERIFY(test::Cal1Of(window)->WeekNumbers());
        // Unticked here, the grid loses its column and a new window opens without it.
        weeks->trigger();
        QVERIFY(!test::Cal1Of(window)->WeekNumbers());
        QCOMPARE(settings::SettingsValue(GadgetSettings::DefaultPath().toStdString(), settings::kWeekNumbersKey),
                 std::optional<std::string>("false"));
        QVERIFY(!test::Cal1Of(Form1(QStringLiteral(SOLVANE_PROGRAM_DIR)))->WeekNumbers());
        wishes->trigger();
        QCOMPARE(settings::SettingsValue(GadgetSettings::DefaultPath().toStdString(), settings::kWishesKey),
                 std::optional<std::string>("false"));
        qputenv("XDG_CONFIG_HOME", keptConfig);
    }
};

SOLVANE_TEST_CLASS(GadgetSettingsTest)
#include "gadget_settings_test.moc"

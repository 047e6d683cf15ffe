// The dialog of the menu's « Lieu… »: the names it completes however they are typed,
// what it keeps in the settings file for the window and the terminal, what it
// refuses and says, what a screen reader hears of it; and the tooltips, which tell
// the sun of the place kept, whoever kept it.

#include <QAbstractItemView>
#include <QAccessible>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/platform/gadget_settings.h"
#include "app/window/place_dialog.h"
#include "calendar/sunrise_sunset.h"
#include "settings/settings_file.h"
#include "tests/app/test_classes.h"
#include "window_fixture.h"

namespace {

// The shortest day of 2024 in the north, whose tooltip tells the sun and the solstice.
const QDate kSolstice(2024, 12, 21);

std::optional<std::string> KeptText() {
    return settings::SettingsValue(settings::SettingsFilePath(), settings::kPlaceKey);
}

// The sun's line of the place on kSolstice, as the tooltips must say it.
QString SunLineAt(const char* typed) {
    const calendar::Coordinates where = calendar::PlaceOfText(typed)->coordinates;
    return QString::fromStdString(calendar::SunSentence(calendar::SunOn(2024, 12, 21, where)));
}

// Types `text` into the field key by key, as a keyboard does; QTest::keyClicks takes
// ASCII alone.
void Type(QLineEdit* field, const QString& text) {
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

}  // namespace

class PlaceDialogTest : public QObject {
    Q_OBJECT
    QTemporaryDir config_;
    Form1* form_ = nullptr;

    PlaceDialog* OpenDialog() {
        form_->ShowPlaceDialog();
        auto* dialog = form_->findChild<PlaceDialog*>(QStringLiteral("PlaceDialog"));
        return dialog && QTest::qWaitForWindowExposed(dialog) ? dialog : nullptr;
    }
    static QLineEdit* Field(PlaceDialog* dialog) { return dialog->findChild<QLineEdit*>(QStringLiteral("PlaceField")); }
    static QLabel* Refusal(PlaceDialog* dialog) { return dialog->findChild<QLabel*>(QStringLiteral("PlaceRefusal")); }
    QString SolsticeTooltip() const { return test::DayTooltip(*test::Cal1Of(*form_), kSolstice); }

private slots:
    void initTestCase() {
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        qputenv("TZ", "Europe/Paris");
        ApplyFixedLook();
    }

    // Each case starts without settings: the nation's chef-lieu, Paris.
    void init() {
        QFile::remove(QString::fromStdString(settings::SettingsFilePath()));
        form_ = test::ShowStoppedWindow();
        form_->Form_Load();
        test::Cal1Of(*form_)->Widget()->setSelectedDate(kSolstice);
        QVERIFY(SolsticeTooltip().contains(SunLineAt("Paris")));
    }

    void cleanup() {
        delete form_;
        form_ = nullptr;
    }

    // Declared first, so that nothing before it has opened « Lieu… »: a window started
    // with a town kept tells that town's sun from its first paint without reading the
    // list of every town, which the dialog reads when it opens.
    void theTownListIsReadWhenTheDialogOpens() {
        form_->SetAlmanacPlace(calendar::PlaceOfText("Brest"));
        Form1 started(QStringLiteral(SOLVANE_PROGRAM_DIR));
        started.show();
        started.Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(&started));
        test::Cal1Of(started)->Widget()->setSelectedDate(kSolstice);
        QVERIFY(test::DayTooltip(*test::Cal1Of(started), kSolstice).contains(SunLineAt("Brest")));
        QVERIFY(!calendar::TownListDecoded());
        QVERIFY(OpenDialog());
        QVERIFY(calendar::TownListDecoded());
    }

    // The completer offers the names of the table whatever the case, the accents and
    // the marks between words, a part of the name as well as its beginning; the name
    // chosen goes into the field as the table spells it, and Enter keeps it.
    void typedNamesAreCompletedAsTheTableSpellsThem_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("offered");  // the first name offered; empty: none
        QTest::newRow("without accents") << "saint etienne" << QStringLiteral("Saint-Étienne");
        QTest::newRow("in capitals, the accent left out") << "CHALONS" << QStringLiteral("Châlons-en-Champagne");
        QTest::newRow("a word inside the bracket") << "reunion" << QStringLiteral("Saint-Denis (La Réunion)");
        QTest::newRow("the beginning of a name") << "montr" << QStringLiteral("Montréal");
        QTest::newRow("with its accents and dash") << "saint-étienne" << QStringLiteral("Saint-Étienne");
        QTest::newRow("an accented capital") << "ÉVRY" << QStringLiteral("Évry-Courcouronnes");
        QTest::newRow("a dash for a blank") << "fort-de france" << QStringLiteral("Fort-de-France");
        QTest::newRow("a town beside the table") << "liege" << QStringLiteral("Liège");
        QTest::newRow("a town's bracket") << "saint leu (la r" << QStringLiteral("Saint-Leu (La Réunion)");
        QTest::newRow("no such place") << "tamanrasset" << QString();
    }

    void typedNamesAreCompletedAsTheTableSpellsThem() {
        QFETCH(QString, typed);
        QFETCH(QString, offered);
        PlaceDialog* dialog = OpenDialog();
        QVERIFY(dialog);
        QLineEdit* field = Field(dialog);
        Type(field, typed);
        QCompleter* completer = field->completer();
        if (offered.isEmpty()) {
            QCOMPARE(completer->completionCount(), 0);
            return;
        }
        QTRY_VERIFY(completer->popup()->isVisible());
        QCOMPARE(completer->completionModel()->index(0, 0).data().toString(), offered);
        QTest::keyClick(completer->popup(), Qt::Key_Down);
        QTest::keyClick(completer->popup(), Qt::Key_Return);
        QCOMPARE(field->text(), offered);
        QTest::keyClick(field, Qt::Key_Return);
        QTRY_VERIFY(!form_->findChild<PlaceDialog*>(QStringLiteral("PlaceDialog")));
        QCOMPARE(KeptText(), std::optional(offered.toStdString()));
        QVERIFY(SolsticeTooltip().contains(SunLineAt(offered.toUtf8().constData())));
    }

    // Enter with a name or coordinates keeps them, the name as the table spells it and
    // the coordinates as typed, and the tooltips tell that place's sun at once; with
    // nothing, the key goes and the chef-lieu is back; anything else is refused, said
    // under the field and to screen readers, and nothing is kept.
    void whatIsTypedIsKeptOrRefused_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");     // the key's value after Enter; empty: no key
        QTest::addColumn<QString>("refusal");  // a part of the sentence said; empty: none
        QTest::addColumn<QString>("sunAt");    // the place whose sun the tooltips tell
        QTest::newRow("coordinates as a French user types them") << "48,58 7,75"
                                                                 << "48,58 7,75" << QString() << "48.58,7.75";
        QTest::newRow("coordinates with a minus sign") << "−21,34 ; 55,48"
                                                       << "−21,34 ; 55,48" << QString() << "-21.34,55.48";
        QTest::newRow("a name in lower case, with blanks") << "  strasbourg "
                                                           << "Strasbourg" << QString() << "Strasbourg";
        QTest::newRow("nothing: the chef-lieu") << "" << QString() << QString() << "Paris";
        QTest::newRow("a town, as its row spells it") << "trois rivieres"
                                                      << "Trois-Rivières" << QString() << "Trois-Rivières";
        QTest::newRow("an unknown name") << "Tamanrasset"
                                         << "Cayenne"
                                         << "« Tamanrasset » n'est pas un lieu connu : écrivez une ville"
                                         << "Cayenne";
        QTest::newRow("a name that needs its bracket") << "Saint-Denis"
                                                       << "Cayenne"
                                                       << "précisez, « Saint-Denis (La Réunion) »"
                                                       << "Cayenne";
        QTest::newRow("coordinates out of range") << "91 7,75"
                                                  << "Cayenne"
                                                  << "la latitude va de −90 à 90, la longitude de −180 à 180"
                                                  << "Cayenne";
        QTest::newRow("a latitude of 400 digits") << QString(400, QLatin1Char('9')) + QStringLiteral(" 7") << "Cayenne"
                                                  << "n'est pas une latitude et une longitude"
                                                  << "Cayenne";
    }

    void whatIsTypedIsKeptOrRefused() {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(QString, refusal);
        QFETCH(QString, sunAt);
        // A place kept before, which a refusal must leave as it is.
        form_->SetAlmanacPlace(calendar::PlaceOfText("Cayenne"));
        PlaceDialog* dialog = OpenDialog();
        QVERIFY(dialog);
        QLineEdit* field = Field(dialog);
        QCOMPARE(field->text(), QStringLiteral("Cayenne"));
        field->setText(typed);
        QTest::keyClick(field, Qt::Key_Return);
        if (refusal.isEmpty()) {
            QTRY_VERIFY(!form_->findChild<PlaceDialog*>(QStringLiteral("PlaceDialog")));
        } else {
            QVERIFY(dialog->isVisible());
            QVERIFY(Refusal(dialog)->isVisible());
            // The guillemets hold their quotation with no-break spaces.
            const QString said = Refusal(dialog)->text().replace(QChar(0xA0), QLatin1Char(' '));
            QVERIFY2(said.contains(refusal), qPrintable(said));
            QCOMPARE(QAccessible::queryAccessibleInterface(field)->text(QAccessible::Description),
                     Refusal(dialog)->text());
            QCOMPARE(field->text(), typed);
            QVERIFY(field->hasFocus());
            dialog->reject();
        }
        const std::optional<std::string> expected = kept.isEmpty() ? std::nullopt : std::optional(kept.toStdString());
        QCOMPARE(KeptText(), expected);
        QVERIFY2(SolsticeTooltip().contains(SunLineAt(sunAt.toUtf8().constData())), qPrintable(SolsticeTooltip()));
        // What the terminal and a window started afresh read.
        QCOMPARE(Form1(QStringLiteral(SOLVANE_PROGRAM_DIR)).AlmanacPlace(),
                 *calendar::PlaceOfText(kept.isEmpty() ? "Paris" : kept.toUtf8().constData()));
    }

    // Escape closes the dialog and keeps nothing of what was typed.
    void escapeKeepsNothing() {
        form_->SetAlmanacPlace(calendar::PlaceOfText("Strasbourg"));
        PlaceDialog* dialog = OpenDialog();
        QVERIFY(dialog);
        Field(dialog)->setText(QStringLiteral("Cayenne"));
        QTest::keyClick(Field(dialog), Qt::Key_Escape);
        QTRY_VERIFY(!form_->findChild<PlaceDialog*>(QStringLiteral("PlaceDialog")));
        QCOMPARE(KeptText(), std::optional<std::string>("Strasbourg"));
    }

    // A screen reader hears the field by its name, with what to type, the label's
    // key leads to it, and the buttons are named by their words.
    void theDialogIsReadByScreenReaders() {
        PlaceDialog* dialog = OpenDialog();
        QVERIFY(dialog);
        QLineEdit* field = Field(dialog);
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(field);
        QCOMPARE(read->text(QAccessible::Name), QStringLiteral("Lieu du soleil et des saisons"));
        QVERIFY(read->text(QAccessible::Description).contains(QStringLiteral("« 48,58 7,75 »")));
        QVERIFY(read->text(QAccessible::Description).contains(QStringLiteral("Vide : Paris")));
        QStringList buttons;
        for (const QPushButton* button : dialog->findChildren<QPushButton*>())
            buttons << QAccessible::queryAccessibleInterface(const_cast<QPushButton*>(button))->text(QAccessible::Name);
        buttons.sort();
        QCOMPARE(buttons, QStringList({QStringLiteral("Annuler"), QStringLiteral("Enregistrer")}));
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        dialog->findChild<QPushButton*>()->setFocus();
        QTest::keyClick(dialog, Qt::Key_L, Qt::AltModifier);
        QTRY_VERIFY(field->hasFocus());
        dialog->reject();
    }

    // Another program writes the place (a second gadget, an editor): the tooltips
    // tell its sun at once; a name that gives no place stands for the chef-lieu.
    void aPlaceWrittenByAnotherProgramShowsAtOnce() {
        GadgetSettings other(GadgetSettings::DefaultPath(), QStringLiteral(":99"));
        other.SetAlmanacPlace(calendar::PlaceOfText("Fort-de-France"));
        QTRY_VERIFY_WITH_TIMEOUT(SolsticeTooltip().contains(SunLineAt("Fort-de-France")), 2000);
        settings::UpdateSettings(settings::SettingsFilePath(), [](settings::IniText& text) {
            text.Set(settings::kGroup, settings::kRegionKey, "alsace-moselle");
            text.Set(settings::kGroup, settings::kPlaceKey, "Tamanrasset");
        });
        QTRY_VERIFY_WITH_TIMEOUT(SolsticeTooltip().contains(SunLineAt("Strasbourg")), 2000);
    }
};

SOLVANE_TEST_CLASS(PlaceDialogTest)
#include "place_dialog_test.moc"

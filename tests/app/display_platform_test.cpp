// The window-system platform the gadget asks for, from the variables a desktop
// session sets: X11 through XWayland in a Wayland session, whatever the user has
// chosen kept, Wayland when the X server does not answer, and no start at all
// without a display that answers.

#include <QtTest>

#include <array>
#include <cstdlib>

#include "app/platform/display_platform.h"

Q_DECLARE_METATYPE(PlatformChoice)

namespace {

DisplayEnvironment Environment(const char* qtPlatform, bool platformArgument, const char* waylandDisplay,
                               const char* sessionType, const char* x11Display) {
    return {qtPlatform, platformArgument, waylandDisplay, sessionType, x11Display};
}

// An X server that answers, or not, and counts the questions.
struct X11Server {
    explicit X11Server(bool answers) : answers(answers) {}

    bool answers;
    int questions = 0;
    std::string asked;

    X11Probe Probe() {
        return [this](const std::string& display) {
            ++questions;
            asked = display;
            return answers;
        };
    }
};

}  // namespace

class DisplayPlatformTest : public QObject {
    Q_OBJECT

private slots:
    void platformFollowsTheSession_data() {
        QTest::addColumn<DisplayEnvironment>("environment");
        QTest::addColumn<bool>("x11Answers");
        QTest::addColumn<PlatformChoice>("choice");
        // QT_QPA_PLATFORM, -platform, WAYLAND_DISPLAY, XDG_SESSION_TYPE, DISPLAY; whether
        // the X server answers
        QTest::newRow("an X11 session is left to Qt")
            << Environment("", false, "", "x11", ":0") << true << PlatformChoice::AsQtChooses;
        QTest::newRow("an X server without a session type is left to Qt")
            << Environment("", false, "", "", ":1") << true << PlatformChoice::AsQtChooses;
        QTest::newRow("a Wayland session with XWayland takes X11")
            << Environment("", false, "wayland-0", "wayland", ":0") << true << PlatformChoice::X11;
        QTest::newRow("a Wayland socket alone says Wayland: X11 through XWayland")
            << Environment("", false, "wayland-0", "", ":0") << true << PlatformChoice::X11;
        QTest::newRow("a Wayland session type alone says Wayland: X11 through XWayland")
            << Environment("", false, "", "wayland", ":0") << true << PlatformChoice::X11;
        QTest::newRow("Wayland without XWayland is left to Qt")
            << Environment("", false, "wayland-0", "wayland", "") << true << PlatformChoice::AsQtChooses;
        QTest::newRow("the user's QT_QPA_PLATFORM=wayland is kept")
            << Environment("wayland", false, "wayland-0", "wayland", ":0") << true << PlatformChoice::AsQtChooses;
        QTest::newRow("the user's -platform wayland is kept")
            << Environment("", true, "wayland-0", "wayland", ":0") << true << PlatformChoice::AsQtChooses;
        QTest::newRow("an empty QT_QPA_PLATFORM is no choice")
            << Environment("", false, "wayland-0", "wayland", ":0") << true << PlatformChoice::X11;
        QTest::newRow("the user's offscreen platform needs no display")
            << Environment("offscreen", false, "", "", "") << true << PlatformChoice::AsQtChooses;
        QTest::newRow("the user's -platform offscreen needs no display")
            << Environment("", true, "", "tty", "") << true << PlatformChoice::AsQtChooses;
        QTest::newRow("no display at all: no start")
            << Environment("", false, "", "", "") << true << PlatformChoice::NoDisplay;
        QTest::newRow("a text console: no start")
            << Environment("", false, "", "tty", "") << true << PlatformChoice::NoDisplay;
        QTest::newRow("a Wayland session type without its socket nor X: no start")
            << Environment("", false, "", "wayland", "") << true << PlatformChoice::NoDisplay;
        QTest::newRow("an X server that does not answer: no start")
            << Environment("", false, "", "x11", ":99") << false << PlatformChoice::X11DoesNotAnswer;
        QTest::newRow("a Wayland session whose XWayland does not answer takes Wayland")
            << Environment("", false, "wayland-0", "wayland", ":1") << false << PlatformChoice::Wayland;
        QTest::newRow("a Wayland session type without its socket, X not answering: no start")
            << Environment("", false, "", "wayland", ":1") << false << PlatformChoice::X11DoesNotAnswer;
        QTest::newRow("the user's xcb is kept even where X does not answer")
            << Environment("xcb", false, "", "x11", ":99") << false << PlatformChoice::AsQtChooses;
    }

    void platformFollowsTheSession() {
        QFETCH(DisplayEnvironment, environment);
        QFETCH(bool, x11Answers);
        QFETCH(PlatformChoice, choice);
        X11Server server(x11Answers);
        QCOMPARE(ChoosePlatform(environment, server.Probe()), choice);
    }

    // Over every combination of the five inputs and of the X server's answer: a
    // user's choice is never replaced, the X server is asked at most once, only for
    // the display named and only where the user has not chosen; X11 is asked for only
    // where an X server answers, Wayland only where its socket is named and X does not
    // answer; the program refuses to start only where no display answers, and says
    // which.
    void everyCombinationKeepsTheRules() {
        const std::array<const char*, 3> platforms{"", "xcb", "wayland"};
        const std::array<const char*, 2> waylandDisplays{"", "wayland-1"};
        const std::array<const char*, 4> sessionTypes{"", "x11", "wayland", "tty"};
        const std::array<const char*, 2> x11Displays{"", ":0"};
        for (const char* platform : platforms) {
            for (const bool argument : {false, true}) {
                for (const char* wayland : waylandDisplays) {
                    for (const char* session : sessionTypes) {
                        for (const char* x11 : x11Displays) {
                            for (const bool answers : {true, false}) {
                                const DisplayEnvironment environment =
                                    Environment(platform, argument, wayland, session, x11);
                                X11Server server(answers);
                                const PlatformChoice choice = ChoosePlatform(environment, server.Probe());
                                const bool chosenByUser = *platform != '\0' || argument;
                                const QByteArray row = QByteArray(platform) + '|' + (argument ? "arg" : "") + '|' +
                                                       wayland + '|' + session + '|' + x11 + '|' +
                                                       (answers ? "answers" : "silent");
                                QVERIFY2(server.questions <= 1, row);
                                if (server.questions == 1) QVERIFY2(server.asked == x11, row);
                                if (chosenByUser) {
                                    QVERIFY2(choice == PlatformChoice::AsQtChooses && server.questions == 0, row);
                                    continue;
                                }
                                const bool x11Works = *x11 != '\0' && answers;
                                const bool hasWayland = *wayland != '\0';
                                if (choice == PlatformChoice::X11) QVERIFY2(x11Works, row);
                                if (choice == PlatformChoice::Wayland) QVERIFY2(hasWayland && !x11Works, row);
                                if (*x11 != '\0') QVERIFY2(server.questions == 1, row);
                                QVERIFY2((choice == PlatformChoice::NoDisplay) == (*x11 == '\0' && !hasWayland), row);
                                QVERIFY2((choice == PlatformChoice::X11DoesNotAnswer) ==
                                             (*x11 != '\0' && !answers && !hasWayland),
                                         row);
                            }
                        }
                    }
                }
            }
        }
    }

    void environmentIsReadFromTheProcess() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("WAYLAND_DISPLAY", "wayland-7");
        qputenv("XDG_SESSION_TYPE", "wayland");
        qunsetenv("DISPLAY");
        const char* const arguments[] = {"solvane"};
        const DisplayEnvironment environment = CurrentDisplayEnvironment(1, arguments);
        QCOMPARE(environment.qtPlatform, std::string("offscreen"));
        QCOMPARE(environment.waylandDisplay, std::string("wayland-7"));
        QCOMPARE(environment.sessionType, std::string("wayland"));
        QCOMPARE(environment.x11Display, std::string(""));
        QVERIFY(!environment.platformArgument);
    }

    // Qt's own options: -platform chooses the platform, -display the X server, in
    // place of DISPLAY (":5" here).
    void qtOptionsAreFound_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("platformFound");
        QTest::addColumn<QString>("x11Display");
        QTest::newRow("-platform with its value") << QStringList{"solvane", "-platform", "offscreen"} << true << ":5";
        QTest::newRow("--platform with its value") << QStringList{"solvane", "--platform", "xcb"} << true << ":5";
        QTest::newRow("-platform without a value is no choice") << QStringList{"solvane", "-platform"} << false << ":5";
        QTest::newRow("-platformtheme is another option")
            << QStringList{"solvane", "-platformtheme", "gtk3"} << false << ":5";
        QTest::newRow("the program's own name is no option") << QStringList{"-platform", "solvane"} << false << ":5";
        QTest::newRow("-display names the X server") << QStringList{"solvane", "-display", ":3"} << false << ":3";
        QTest::newRow("--display too") << QStringList{"solvane", "--display", "host:1.0"} << false << "host:1.0";
        QTest::newRow("-display without a value leaves DISPLAY") << QStringList{"solvane", "-display"} << false << ":5";
        QTest::newRow("both options") << QStringList{"solvane", "-display", ":2", "-platform", "xcb"} << true << ":2";
    }

    void qtOptionsAreFound() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, platformFound);
        QFETCH(QString, x11Display);
        qputenv("DISPLAY", ":5");
        std::vector<QByteArray> bytes;
        for (const QString& argument : arguments) bytes.push_back(argument.toUtf8());
        std::vector<const char*> argv;
        for (const QByteArray& argument : bytes) argv.push_back(argument.constData());
        const DisplayEnvironment environment = CurrentDisplayEnvironment(int(argv.size()), argv.data());
        QCOMPARE(environment.platformArgument, platformFound);
        QCOMPARE(environment.x11Display, x11Display.toStdString());
    }

    // The window's whole scale on every desktop scale from 100 % to 500 % by quarters
    // and screens from 800 x 600 to 7680 x 4320: the window fits the available area
    // at that scale unless it is 1, the next scale up would not fit or is above the
    // desktop's scale rounded (1.5 upward), and nothing goes below 1.
    void theWindowTakesTheLargestWholeScaleThatFits() {
        const int width = 609, height = 447;
        QCOMPARE(WholeWindowScale(2.5, 1920, 1080, width, height), 2);  // Xft.dpi 240: not three times, 1341 lines
        for (int quarters = 4; quarters <= 20; ++quarters) {
            const double desktop = quarters / 4.0;
            const int rounded = int(desktop) + (quarters % 4 >= 2 ? 1 : 0);
            for (int availableWidth = 800; availableWidth <= 7680; availableWidth += 80) {
                for (int availableHeight = 600; availableHeight <= 4320; availableHeight += 60) {
                    const int scale = WholeWindowScale(desktop, availableWidth, availableHeight, width, height);
                    const auto fits = [&](int s) {
                        return width * s <= availableWidth && height * s <= availableHeight;
                    };
                    const QString where = QStringLiteral("%1 on %2 x %3: %4")
                                              .arg(desktop)
                                              .arg(availableWidth)
                                              .arg(availableHeight)
                                              .arg(scale);
                    QVERIFY2(scale >= 1 && scale <= rounded, qPrintable(where));
                    QVERIFY2(scale == 1 || fits(scale), qPrintable(where));
                    QVERIFY2(scale == rounded || !fits(scale + 1), qPrintable(where));
                }
            }
        }
    }

    // The gadget sets Qt's screen scales only where its window opens on X11 and the
    // user has chosen no scale of their own.
    void theScaleIsTheGadgetsOnlyOnX11AndUnchosen_data() {
        QTest::addColumn<QString>("qtPlatform");
        QTest::addColumn<bool>("platformArgument");
        QTest::addColumn<QString>("x11Display");
        QTest::addColumn<bool>("scaleChosen");
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("gadgetChooses");
        const int x11 = int(PlatformChoice::X11), wayland = int(PlatformChoice::Wayland);
        const int qt = int(PlatformChoice::AsQtChooses), none = int(PlatformChoice::NoDisplay);
        QTest::newRow("X11 chosen by the gadget") << "" << false << ":0" << false << x11 << true;
        QTest::newRow("X11, but the user set a scale") << "" << false << ":0" << true << x11 << false;
        QTest::newRow("Wayland") << "" << false << ":0" << false << wayland << false;
        QTest::newRow("left to Qt, which takes the X server") << "" << false << ":0" << false << qt << true;
        QTest::newRow("left to Qt, with no X server") << "" << false << "" << false << qt << false;
        QTest::newRow("QT_QPA_PLATFORM=xcb") << "xcb" << false << ":0" << false << qt << true;
        QTest::newRow("QT_QPA_PLATFORM=wayland") << "wayland" << false << ":0" << false << qt << false;
        QTest::newRow("-platform on the command line") << "" << true << ":0" << false << qt << false;
        QTest::newRow("no display at all") << "" << false << "" << false << none << false;
    }

    void theScaleIsTheGadgetsOnlyOnX11AndUnchosen() {
        QFETCH(QString, qtPlatform);
        QFETCH(bool, platformArgument);
        QFETCH(QString, x11Display);
        QFETCH(bool, scaleChosen);
        QFETCH(int, choice);
        DisplayEnvironment environment;
        environment.qtPlatform = qtPlatform.toStdString();
        environment.platformArgument = platformArgument;
        environment.x11Display = x11Display.toStdString();
        environment.scaleChosen = scaleChosen;
        QTEST(GadgetChoosesX11Scale(environment, PlatformChoice(choice)), "gadgetChooses");
    }

    // One factor a monitor, each the window's scale, as Qt reads QT_SCREEN_SCALE_FACTORS.
    void everyMonitorGetsTheWindowsScale() {
        QCOMPARE(ScreenScaleFactors(1, 1), std::string("1"));
        QCOMPARE(ScreenScaleFactors(2, 2), std::string("2;2"));
        QCOMPARE(ScreenScaleFactors(3, 3), std::string("3;3;3"));
    }

    void silentX11SentenceNamesTheDisplay() {
        const std::string sentence = X11DoesNotAnswerSentence("host:12.0");
        QVERIFY2(sentence.find("« host:12.0 »") != std::string::npos, sentence.c_str());
        QVERIFY(sentence.find('\n') == std::string::npos);
    }
};

QTEST_GUILESS_MAIN(DisplayPlatformTest)
#include "display_platform_test.moc"

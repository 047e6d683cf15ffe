// The window-system platform the gadget asks for, from the variables a desktop
// session sets: X11 through XWayland in a Wayland session, whatever the user has
// chosen kept, and no start at all without a display.

#include <QtTest>

#include <array>
#include <cstdlib>

#include "app/display_platform.h"

Q_DECLARE_METATYPE(PlatformChoice)

namespace {

DisplayEnvironment Environment(const char* qtPlatform, bool platformArgument, const char* waylandDisplay,
                               const char* sessionType, const char* x11Display) {
    return {qtPlatform, platformArgument, waylandDisplay, sessionType, x11Display};
}

}  // namespace

class DisplayPlatformTest : public QObject {
    Q_OBJECT

private slots:
    void platformFollowsTheSession_data() {
        QTest::addColumn<DisplayEnvironment>("environment");
        QTest::addColumn<PlatformChoice>("choice");
        // QT_QPA_PLATFORM, -platform, WAYLAND_DISPLAY, XDG_SESSION_TYPE, DISPLAY
        QTest::newRow("an X11 session is left to Qt")
            << Environment("", false, "", "x11", ":0") << PlatformChoice::AsQtChooses;
        QTest::newRow("an X server without a session type is left to Qt")
            << Environment("", false, "", "", ":1") << PlatformChoice::AsQtChooses;
        QTest::newRow("a Wayland session with XWayland takes X11")
            << Environment("", false, "wayland-0", "wayland", ":0") << PlatformChoice::X11;
        QTest::newRow("a Wayland socket alone says Wayland: X11 through XWayland")
            << Environment("", false, "wayland-0", "", ":0") << PlatformChoice::X11;
        QTest::newRow("a Wayland session type alone says Wayland: X11 through XWayland")
            << Environment("", false, "", "wayland", ":0") << PlatformChoice::X11;
        QTest::newRow("Wayland without XWayland is left to Qt")
            << Environment("", false, "wayland-0", "wayland", "") << PlatformChoice::AsQtChooses;
        QTest::newRow("the user's QT_QPA_PLATFORM=wayland is kept")
            << Environment("wayland", false, "wayland-0", "wayland", ":0") << PlatformChoice::AsQtChooses;
        QTest::newRow("the user's -platform wayland is kept")
            << Environment("", true, "wayland-0", "wayland", ":0") << PlatformChoice::AsQtChooses;
        QTest::newRow("an empty QT_QPA_PLATFORM is no choice")
            << Environment("", false, "wayland-0", "wayland", ":0") << PlatformChoice::X11;
        QTest::newRow("the user's offscreen platform needs no display")
            << Environment("offscreen", false, "", "", "") << PlatformChoice::AsQtChooses;
        QTest::newRow("the user's -platform offscreen needs no display")
            << Environment("", true, "", "tty", "") << PlatformChoice::AsQtChooses;
        QTest::newRow("no display at all: no start")
            << Environment("", false, "", "", "") << PlatformChoice::NoDisplay;
        QTest::newRow("a text console: no start") << Environment("", false, "", "tty", "") << PlatformChoice::NoDisplay;
        QTest::newRow("a Wayland session type without its socket nor X: no start")
            << Environment("", false, "", "wayland", "") << PlatformChoice::NoDisplay;
    }

    void platformFollowsTheSession() {
        QFETCH(DisplayEnvironment, environment);
        QFETCH(PlatformChoice, choice);
        QCOMPARE(ChoosePlatform(environment), choice);
    }

    // Over every combination of the five inputs: a user's choice is never replaced,
    // X11 is asked for only where an X display exists, and the program refuses to
    // start only where neither kind of display exists.
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
                            const DisplayEnvironment environment = Environment(platform, argument, wayland, session, x11);
                            const PlatformChoice choice = ChoosePlatform(environment);
                            const bool chosenByUser = *platform != '\0' || argument;
                            const QByteArray row = QByteArray(platform) + '|' + (argument ? "arg" : "") + '|' +
                                                   wayland + '|' + session + '|' + x11;
                            if (chosenByUser) QVERIFY2(choice == PlatformChoice::AsQtChooses, row);
                            if (choice == PlatformChoice::X11) QVERIFY2(*x11 != '\0', row);
                            const bool noDisplay = *x11 == '\0' && *wayland == '\0';
                            QVERIFY2((choice == PlatformChoice::NoDisplay) == (noDisplay && !chosenByUser), row);
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

    void platformArgumentIsFound_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("found");
        QTest::newRow("-platform with its value") << QStringList{"solvane", "-platform", "offscreen"} << true;
        QTest::newRow("--platform with its value") << QStringList{"solvane", "--platform", "xcb"} << true;
        QTest::newRow("-platform without a value is no choice") << QStringList{"solvane", "-platform"} << false;
        QTest::newRow("-platformtheme is another option") << QStringList{"solvane", "-platformtheme", "gtk3"} << false;
        QTest::newRow("the program's own name is no option") << QStringList{"-platform", "solvane"} << false;
    }

    void platformArgumentIsFound() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, found);
        std::vector<QByteArray> bytes;
        for (const QString& argument : arguments) bytes.push_back(argument.toUtf8());
        std::vector<const char*> argv;
        for (const QByteArray& argument : bytes) argv.push_back(argument.constData());
        QCOMPARE(CurrentDisplayEnvironment(int(argv.size()), argv.data()).platformArgument, found);
    }
};

QTEST_GUILESS_MAIN(DisplayPlatformTest)
#include "display_platform_test.moc"

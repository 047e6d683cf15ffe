#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "app/look/fixed_look.h"
#include "app/platform/autostart.h"
#include "app/platform/character_set.h"
#include "app/platform/display_platform.h"
#include "app/platform/platform_window.h"
#include "app/platform/x11_server.h"
#include "app/startup/fatal_error.h"
#include "app/startup/single_instance.h"
#include "app/text/qt_text.h"
#include "app/window/form1.h"
#include "app/window/locale_names.h"

namespace {

// The name of the menu entry, solvane.desktop, by which the desktop knows the
// window as this program's and gives it the entry's name and icon.
constexpr const char* kDesktopFileName = "solvane";

// Said before Qt tries, and fails with its own message in English.
int RefuseToStart(const char* sentence) {
    std::fprintf(stderr, "solvane: %s\n", sentence);
    return kFatalErrorStatus;
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

// The window, and nothing else: the command `solvane` (terminal/) answers the
// terminal's options and executes this program only when the window is asked for,
// with Qt's own options at most, which Qt reads from argv.
int main(int argc, char* argv[]) {
    SettleOnUtf8CharacterSet();
    const DisplayEnvironment environment = CurrentDisplayEnvironment(argc, argv);
    std::optional<X11Screen> x11Screen;  // asked when the choice depends on the X server
    const auto askX11 = [&x11Screen](const std::string& display) {
        x11Screen = AskX11Screen(display);
        return x11Screen.has_value();
    };
    const PlatformChoice platform = ChoosePlatform(environment, askX11);
    switch (platform) {
    case PlatformChoice::NoDisplay: return RefuseToStart(kNoDisplaySentence);
    case PlatformChoice::X11DoesNotAnswer:
        return RefuseToStart(X11DoesNotAnswerSentence(environment.x11Display).c_str());
    case PlatformChoice::X11: qputenv("QT_QPA_PLATFORM", "xcb"); break;
    case PlatformChoice::Wayland: qputenv("QT_QPA_PLATFORM", "wayland"); break;
    case PlatformChoice::AsQtChooses: break;
    }

    // A platform named "xcb" by the user: an X server that does not answer is said in
    // French, where Qt would abort with its own message in English.
    if (OpensOnX11(environment, platform) && !x11Screen) {
        x11Screen = AskX11Screen(environment.x11Display);
        if (!x11Screen && environment.x11Display.empty()) return RefuseToStart(kNoDisplaySentence);
        if (!x11Screen) return RefuseToStart(X11DoesNotAnswerSentence(environment.x11Display).c_str());
    }
    // On fewer bits per pixel, Qt maps a black window and floods standard error with
    // its painter's warnings.
    if (x11Screen && x11Screen->depth < kLeastScreenDepth)
        return RefuseToStart(ScreenTooShallowSentence(x11Screen->depth).c_str());

    // The layout is fixed in whole window pixels, and a screen scale between two whole
    // numbers draws its lines one or two device pixels wide by turns (the calendar's
    // grid at 150 %). The scale is rounded to the nearest whole number, 1.5 upward: a
    // user who asked for 150 % wants the gadget larger than at 100 % and sharp, and at
    // 200 % it is both, a little larger than asked; at 125 % it stays at 100 %, where
    // it is sharp too, a little smaller than asked.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    // At 250 % on a screen of 1080 lines, three times the window is taller than the
    // screen: the scale is the largest whole one at which the window fits the area
    // left by the desktop's panels. Qt fixes its scales when the application starts
    // and offers no rule of its own for this, so the X server is asked before, and
    // each screen is given that scale, as a user would with QT_SCREEN_SCALE_FACTORS.
    // The scale the user chooses with Qt's variables stays theirs.
    if (GadgetChoosesX11Scale(environment, platform)) {
        if (x11Screen) {
            const int scale = WholeWindowScale(x11Screen->desktopScale, x11Screen->availableWidth,
                                               x11Screen->availableHeight, Form1::kWidth, Form1::kHeight);
            qputenv("QT_SCREEN_SCALE_FACTORS",
                    QByteArray::fromStdString(ScreenScaleFactors(scale, x11Screen->monitors)));
        }
    }
    SolvaneApplication application(argc, argv);
    const DisplayLossWatch displayLossWatch;
    GadgetInstance instance;
    const std::string socketFolder = SafeSocketFolder(Variable("XDG_RUNTIME_DIR"), Variable("TMPDIR"));
    const std::string socketName = GadgetSocketName(environment.x11Display, environment.waylandDisplay);
    if (instance.Claim(socketFolder, socketName) == GadgetInstance::Start::AnotherShowsItself) return 0;
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    ApplyFixedLook();
    LoadQtFrenchTexts(application);
    // Every widget speaks French whatever the desktop's language: a date field's
    // calendar, a window of its own, takes the default locale, not its parent's.
    QLocale::setDefault(GadgetLocale(QLocale::system()));
    // Shown at once: the first frame comes before the days' tooltips, the reminders
    // and the watching of files. The single instance's socket is served before it,
    // so that a second launch right away finds this gadget.
    auto window = std::make_unique<Form1>(QCoreApplication::applicationDirPath(), nullptr, QLocale::system(),
                                          Form1::Follow::AfterFirstPaint);
    try {
        window->Form_Load();
    } catch (const std::exception& error) {
        // Start-up failed: the window is never shown, the user sees only the message.
        window.reset();
        ReportFatalError(FatalErrorSentence(error));
        return kFatalErrorStatus;
    }
    instance.Serve(*window);
    // The session starts the command beside this program, as the menu's entry does.
    const QString autostartPath = AutostartFilePath();
    if (!RenewAutostart(autostartPath, QCoreApplication::applicationDirPath() + QStringLiteral("/solvane"))) {
        std::fprintf(stderr, "solvane: le lancement à l'ouverture de session ne peut pas être mis à jour dans %s.\n",
                     Native(autostartPath).c_str());
    }
    window->show();
    return application.exec();
}

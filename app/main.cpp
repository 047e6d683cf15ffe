#include <QtGlobal>
#include <cstdio>
#include <memory>

#include "app/display_platform.h"
#include "app/fatal_error.h"
#include "app/form1.h"
#include "app/platform_window.h"
#include "app/x11_server.h"

namespace {

// The name of the menu entry, solvane.desktop, by which the desktop knows the
// window as this program's and gives it the entry's name and icon.
constexpr const char* kDesktopFileName = "solvane";

// Said before Qt tries, and fails with its own message in English.
int RefuseToStart(const char* sentence) {
    std::fprintf(stderr, "solvane: %s\n", sentence);
    return kFatalErrorStatus;
}

}  // namespace

int main(int argc, char* argv[]) {
    const DisplayEnvironment environment = CurrentDisplayEnvironment(argc, argv);
    switch (ChoosePlatform(environment, X11ServerAnswers)) {
    case PlatformChoice::NoDisplay:
        return RefuseToStart(kNoDisplaySentence);
    case PlatformChoice::X11DoesNotAnswer:
        return RefuseToStart(X11DoesNotAnswerSentence(environment.x11Display).c_str());
    case PlatformChoice::X11:
        qputenv("QT_QPA_PLATFORM", "xcb");
        break;
    case PlatformChoice::Wayland:
        qputenv("QT_QPA_PLATFORM", "wayland");
        break;
    case PlatformChoice::AsQtChooses:
        break;
    }

    SolvaneApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    ApplyFixedLook();
    auto window = std::make_unique<Form1>();
    try {
        window->Form_Load();
    } catch (const std::exception& error) {
        // Start-up failed: the window is never shown, the user sees only the message.
        window.reset();
        ReportFatalError(FatalErrorSentence(error));
        return kFatalErrorStatus;
    }
    window->show();
    return application.exec();
}

#include <memory>

#include "app/fatal_error.h"
#include "app/form1.h"
#include "app/platform_window.h"

int main(int argc, char* argv[]) {
    SolvaneApplication application(argc, argv);
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

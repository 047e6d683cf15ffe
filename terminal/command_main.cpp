// The `solvane` command. It answers the terminal's options itself, linked to nothing
// of Qt, so that a status bar or a script pays for a small program's start and not
// for the dynamic loader relocating the Qt libraries. Asked for the window, it hands
// over to the window's program, which lies beside it (SOLVANE_WINDOW_PROGRAM), by
// exec: the process stays the same one (its id, its standard streams, its
// environment), and argv[0] is passed on unchanged, from which Qt takes the
// application's name and the window's WM_CLASS: the window is known as `solvane`,
// the name of its menu entry, whichever program drew it.

#include <unistd.h>
#include <cstdio>
#include <optional>
#include <string>

#include "terminal/terminal_facts.h"

namespace {

// The status of a window's program that cannot be started, the window's own
// status when it cannot open.
constexpr int kWindowProgramMissingStatus = 1;

}  // namespace

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = RunTerminal(argc, argv)) return *status;

    // Never looked for on the PATH nor in the current folder: only beside this program.
    const std::string folder = ProgramFolder();
    const std::string windowProgram = folder + "/" SOLVANE_WINDOW_PROGRAM;
    if (!folder.empty()) execv(windowProgram.c_str(), argv);
    // Only reached when the exec failed: the package or the build is incomplete, or
    // the system does not say where this program lies.
    std::fprintf(stderr,
                 "solvane: Le programme de la fenêtre, « %s », ne peut pas être lancé : "
                 "réinstallez Solvane.\n",
                 windowProgram.c_str());
    return kWindowProgramMissingStatus;
}

#pragma once
// The gadget in a terminal: `solvane --texte [AAAA-MM-JJ]` and `solvane --json
// [AAAA-MM-JJ]` print a day's facts, `--help` and `--version` say what they say. This
// runs before anything of the window, without Qt, so that it works with no display
// and starts as fast as a small program does.

#include <optional>
#include <string>

// When the first argument asks for the terminal, its answer: what goes to standard
// output, what goes to standard error (one French sentence, or nothing) and the exit
// status (0, or 2 for a wrong argument). std::nullopt when the window is asked for.
// Without a date, the facts are today's; `programFolder` is where fetes.txt lies.
struct TerminalAnswer {
    std::string output;
    std::string error;
    int status = 0;
};
std::optional<TerminalAnswer> AnswerInTerminal(int argc, const char* const* argv, const std::string& programFolder);

// The folder of the running program, found through /proc as the window finds it: the
// folder the command's link leads to. Empty when the system does not say.
std::string ProgramFolder();

// The whole terminal side, for main(): when the arguments ask for the terminal,
// answers them on standard output and standard error and gives the exit status;
// std::nullopt when the window is asked for (no argument).
std::optional<int> RunTerminal(int argc, const char* const* argv);

// The exit status of a wrong argument.
inline constexpr int kWrongArgumentStatus = 2;

#pragma once
// The terminal's options, read by glibc's getopt_long from one table: a row per
// option gives its long name, its short letter, whether it takes a value, its line
// of --help and what it asks for. Adding an option is adding a row.

#include <optional>
#include <string>
#include <vector>

// What the arguments ask for.
enum class TerminalAnswerKind { Window, Help, Version, Facts, Calendar, Reminders, Add };
enum class FactsForm { Text, Json, Waybar };     // --texte, --json, --waybar; --rappels, --rappels --json
enum class CalendarKind { Holidays, NameDays };  // --ics, --ics-fetes

struct TerminalRequest {
    TerminalAnswerKind kind = TerminalAnswerKind::Window;
    FactsForm form = FactsForm::Text;
    CalendarKind calendar = CalendarKind::Holidays;
    bool follow = false;                // --suivre
    std::optional<std::string> value;   // the date or the year given, as written
    std::optional<std::string> region;  // --region's name, a known one once parsed
    std::optional<std::string> place;   // --lieu's name or coordinates, a known place once parsed
    std::vector<std::string> agendas;   // --agenda's sources, in their order, added to the settings' ones
    std::optional<std::string> phrase;  // --ajouter's: the event to write (with --agenda: the one it goes to)
    std::string option;                 // the option that chose the answer, as "--texte"
};

// The request, or one French sentence (without "solvane: " nor line end) saying what
// is wrong, for status 2. No argument asks for the window; so does a first argument
// that is one of Qt's own options for the window (-platform, -display).
struct ParsedArguments {
    TerminalRequest request;
    std::string error;  // empty when the arguments are right
};
ParsedArguments ParseTerminalArguments(int argc, const char* const* argv);

// The text of --help, its option lines from the table.
std::string HelpText();

// An argument as an error message quotes it: at most 60 characters, « … » added when
// it is longer, each control byte written \xNN, so that a message stays one short
// line whatever was typed or pasted.
std::string EchoedArgument(const std::string& argument);

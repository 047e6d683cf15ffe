#include "terminal/terminal_facts.h"

#include <unistd.h>
#include <array>
#include <cctype>
#include <cstdio>
#include <string_view>
#include <vector>

#include "calendar/serial_date.h"
#include "namedays/day_facts.h"
#include "namedays/name_day_file.h"

namespace {

enum class Form { Text, Json };

bool Digits(std::string_view text) {
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

int Number(std::string_view digits) {
    int n = 0;
    for (const char c : digits) n = n * 10 + (c - '0');
    return n;
}

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::string Quoted(std::string_view text) { return "« " + std::string(text) + " »"; }

TerminalAnswer Wrong(const std::string& sentence) { return {"", "solvane: " + sentence + "\n", kWrongArgumentStatus}; }

const char* const kHelp =
    "Utilisation :\n"
    "  solvane                       ouvre la fenêtre du calendrier\n"
    "  solvane --texte [AAAA-MM-JJ]  écrit les faits du jour, un par ligne\n"
    "  solvane --json [AAAA-MM-JJ]   écrit les mêmes faits en un objet JSON sur une ligne\n"
    "  solvane --help                affiche cette aide\n"
    "  solvane --version             affiche la version\n"
    "Sans date, le jour est aujourd'hui ; les dates vont du 1583-01-01 au 9999-12-31.\n";

TerminalAnswer Facts(Form form, int year, int month, int day, const std::string& programFolder) {
    // Without a readable list the facts have no name day, as the window's panel has none.
    std::vector<std::string> nameDays;
    try {
        nameDays = namedays::ReadNameDayFile(programFolder + "/fetes.txt", namedays::kShownNameDays);
    } catch (const namedays::NameDayFileError&) {}
    const namedays::DayFacts facts = namedays::FactsOfDay(year, month, day, nameDays, calendar::FrenchNames());
    return {form == Form::Text ? namedays::FactsText(facts) : namedays::FactsJson(facts) + "\n", "", 0};
}

}  // namespace

std::optional<TerminalAnswer> AnswerInTerminal(int argc, const char* const* argv, const std::string& programFolder) {
    if (argc < 2) return std::nullopt;
    const std::string_view option = argv[1];
    if (option == "--help" || option == "--version") {
        if (argc > 2) return Wrong(Quoted(option) + " ne prend pas d'argument : " + Quoted(argv[2]) + " est de trop.");
        return TerminalAnswer{option == "--help" ? kHelp : "Solvane " SOLVANE_VERSION "\n", "", 0};
    }
    if (option != "--texte" && option != "--json") return std::nullopt;
    const Form form = option == "--texte" ? Form::Text : Form::Json;
    if (argc > 3) return Wrong(Quoted(option) + " prend au plus une date : " + Quoted(argv[3]) + " est de trop.");
    if (argc == 2) {
        const calendar::SerialDate today = calendar::CurrentDateTime();
        return Facts(form, calendar::YearOf(today).value(), calendar::MonthOf(today).value(),
                     calendar::DayOf(today).value(), programFolder);
    }

    const std::string_view text = argv[2];
    const bool written = text.size() == 10 && text[4] == '-' && text[7] == '-' && Digits(text.substr(0, 4)) &&
                         Digits(text.substr(5, 2)) && Digits(text.substr(8, 2));
    const int year = written ? Number(text.substr(0, 4)) : 0;
    const int month = written ? Number(text.substr(5, 2)) : 0;
    const int day = written ? Number(text.substr(8, 2)) : 0;
    if (!written || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
        return Wrong(Quoted(text) + " n'est pas une date : écrivez-la AAAA-MM-JJ, par exemple 2024-07-14.");
    }
    if (year < calendar::kFirstCalendarYear) {
        return Wrong(Quoted(text) + " est hors du calendrier de Solvane, qui va du 1583-01-01 au 9999-12-31.");
    }
    return Facts(form, year, month, day, programFolder);
}

std::optional<int> RunTerminal(int argc, const char* const* argv) {
    const std::optional<TerminalAnswer> answer = AnswerInTerminal(argc, argv, ProgramFolder());
    if (!answer) return std::nullopt;
    std::fputs(answer->output.c_str(), stdout);
    std::fputs(answer->error.c_str(), stderr);
    return answer->status;
}

std::string ProgramFolder() {
    std::array<char, 4096> path{};
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) return {};
    const std::string program(path.data(), static_cast<std::size_t>(length));
    return program.substr(0, program.rfind('/'));
}

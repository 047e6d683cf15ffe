#include "terminal/options.h"

#include <getopt.h>
#include <array>
#include <string_view>
#include <vector>

#include "calendar/places.h"
#include "calendar/regional_holidays.h"
#include "calendar/serial_date.h"
#include "calendar/utf8_text.h"

namespace {

// A value of the request, by its place in it. An alias, because clang-format 14 and 19
// lay out a pointer to member before a name in two ways.
using RequestValue = std::optional<std::string> TerminalRequest::*;
using RequestValues = std::vector<std::string> TerminalRequest::*;

// One option of the command. `argument` is getopt_long's: no_argument,
// optional_argument (the value after "=" or in the next argument when that one is not
// an option) or required_argument.
struct OptionRow {
    const char* name;  // the long name, without its "--"
    char letter;       // the short option, 0 for none
    int argument;
    const char* usage;  // as --help writes it
    const char* help;   // --help's line, in French
    void (*apply)(TerminalRequest&);
    // Where the option's value goes, for an option that takes one; an option given
    // again replaces it, unless its values are kept in a list.
    RequestValue valueTo = &TerminalRequest::value;
    RequestValues valuesTo = nullptr;
};

void Nothing(TerminalRequest&) {}

const std::array<OptionRow, 13> kOptionTable = {{
    {.name = "texte",
     .letter = 0,
     .argument = optional_argument,
     .usage = "--texte [AAAA-MM-JJ]",
     .help = "écrit les faits du jour, un par ligne",
     .apply =
         [](TerminalRequest& r) {
             r.kind = TerminalAnswerKind::Facts;
             r.form = FactsForm::Text;
         }},
    {.name = "json",
     .letter = 0,
     .argument = optional_argument,
     .usage = "--json [AAAA-MM-JJ]",
     .help = "écrit les mêmes faits en un objet JSON sur une ligne",
     .apply =
         [](TerminalRequest& r) {
             r.kind = TerminalAnswerKind::Facts;
             r.form = FactsForm::Json;
         }},
    {.name = "waybar",
     .letter = 0,
     .argument = optional_argument,
     .usage = "--waybar [AAAA-MM-JJ]",
     .help = "écrit les faits en JSON pour une barre d'état (waybar)",
     .apply =
         [](TerminalRequest& r) {
             r.kind = TerminalAnswerKind::Facts;
             r.form = FactsForm::Waybar;
         }},
    {.name = "suivre",
     .letter = 0,
     .argument = no_argument,
     .usage = "--suivre",
     .help = "avec l'une des trois : réécrit à chaque changement",
     .apply = [](TerminalRequest& r) { r.follow = true; }},
    {.name = "region",
     .letter = 0,
     .argument = required_argument,
     .usage = "--region NOM",
     .help = "les jours fériés d'une région ou d'un pays (sinon, ceux du menu ou de la langue)",
     .apply = Nothing,
     .valueTo = &TerminalRequest::region},
    {.name = "lieu",
     .letter = 0,
     .argument = required_argument,
     .usage = "--lieu LIEU",
     .help = "le soleil et les saisons d'un lieu (sinon, celui du menu)",
     .apply = Nothing,
     .valueTo = &TerminalRequest::place},
    {.name = "agenda",
     .letter = 0,
     .argument = required_argument,
     .usage = "--agenda SOURCE",
     .help = "ajoute un agenda (.ics, dossier vdir ou de contacts, adresse web), répétable",
     .apply = Nothing,
     .valuesTo = &TerminalRequest::agendas},
    {.name = "ajouter",
     .letter = 0,
     .argument = required_argument,
     .usage = "--ajouter PHRASE",
     .help = "écrit un évènement dit en français (« jeudi 18 h 30 Piscine ») ; --agenda : où",
     .apply = Nothing,
     .valueTo = &TerminalRequest::phrase},
    {.name = "ics",
     .letter = 0,
     .argument = optional_argument,
     .usage = "--ics [AAAA]",
     .help = "écrit les jours fériés de l'année en iCalendar",
     .apply =
         [](TerminalRequest& r) {
             r.kind = TerminalAnswerKind::Calendar;
             r.calendar = CalendarKind::Holidays;
         }},
    {.name = "ics-fetes",
     .letter = 0,
     .argument = optional_argument,
     .usage = "--ics-fetes [AAAA]",
     .help = "écrit les fêtes à souhaiter de l'année en iCalendar",
     .apply =
         [](TerminalRequest& r) {
             r.kind = TerminalAnswerKind::Calendar;
             r.calendar = CalendarKind::NameDays;
         }},
    {.name = "rappels",
     .letter = 0,
     .argument = no_argument,
     .usage = "--rappels [--json]",
     .help = "écrit les rappels des agendas des prochaines 24 heures, avec --json en JSON",
     .apply = [](TerminalRequest& r) { r.kind = TerminalAnswerKind::Reminders; }},
    {.name = "help",
     .letter = 'h',
     .argument = no_argument,
     .usage = "-h, --help",
     .help = "affiche cette aide",
     .apply = [](TerminalRequest& r) { r.kind = TerminalAnswerKind::Help; }},
    {.name = "version",
     .letter = 'V',
     .argument = no_argument,
     .usage = "-V, --version",
     .help = "affiche la version",
     .apply = [](TerminalRequest& r) { r.kind = TerminalAnswerKind::Version; }},
}};

// getopt_long's answer for a row: its letter, or a number above every character.
int OptionValue(std::size_t row) {
    return kOptionTable[row].letter != 0 ? kOptionTable[row].letter : 256 + static_cast<int>(row);
}

std::size_t RowNamed(std::string_view name) {
    std::size_t row = 0;
    while (row + 1 < kOptionTable.size() && kOptionTable[row].name != name) ++row;
    return row;
}

const OptionRow* RowOfValue(int value) {
    for (std::size_t row = 0; row < kOptionTable.size(); ++row) {
        if (OptionValue(row) == value) return &kOptionTable[row];
    }
    return nullptr;
}

std::string Quoted(std::string_view text) { return "« " + std::string(text) + " »"; }

std::string LongName(const OptionRow& row) { return "--" + std::string(row.name); }

// Qt reads these for the window; display_platform.cpp acts on them too.
bool IsQtWindowOption(std::string_view argument) {
    return argument == "-platform" || argument == "--platform" || argument == "-display" || argument == "--display";
}

const char* const kSeeHelp = " : « solvane --help » décrit les options.";

// What getopt_long refused, at `argv[optind - 1]` or in `optopt`.
std::string RefusedOption(const char* const* argv, int refusedAt, int refusedValue) {
    if (const OptionRow* row = RowOfValue(refusedValue)) {
        return Quoted(LongName(*row)) + " ne prend pas de valeur" + kSeeHelp;
    }
    const std::string written =
        refusedValue > 0 && refusedValue < 256 ? std::string("-") + static_cast<char>(refusedValue) : argv[refusedAt];
    return Quoted(EchoedArgument(written)) + " n'est pas une option de solvane" + kSeeHelp;
}

// The places as a command line writes them: "national, alsace-moselle, … ou quebec".
std::string RegionKeys() {
    std::string keys;
    for (std::size_t row = 0; row < calendar::kRegionTable.size(); ++row) {
        if (row > 0) keys += row + 1 < calendar::kRegionTable.size() ? ", " : " ou ";
        keys += calendar::kRegionTable[row].key;
    }
    return keys;
}

// What is wrong with the words that are no option: one at most, the date or the year
// of the option that chose the answer, wherever it stands among the options.
std::string WordsError(const std::vector<std::string>& words, const OptionRow* answering,
                       const TerminalRequest& request) {
    if (words.empty()) return {};
    // « solvane --ajouter jeudi 18 h 30 Piscine »: the shell gave the phrase word by word.
    if (request.phrase) {
        return Quoted(EchoedArgument(words.front())) +
               " est de trop : la phrase de --ajouter se met entre guillemets, "
               "« solvane --ajouter \"jeudi 18 h 30 Piscine\" ».";
    }
    if (answering == nullptr || answering->argument != optional_argument) {
        return Quoted(EchoedArgument(words.front())) +
               " n'est pas attendu : une date va avec --texte, --json ou --waybar (« solvane --texte 2024-07-14 »), "
               "une année avec --ics ou --ics-fetes ; « solvane --help » décrit les options.";
    }
    if (!request.value && words.size() == 1) return {};
    const std::string& first = request.value ? *request.value : words.front();
    const std::string& extra = request.value ? words.front() : words[1];
    return Quoted(EchoedArgument(extra)) + " est de trop : " + Quoted(LongName(*answering)) + " prend une seule " +
           (request.kind == TerminalAnswerKind::Calendar ? "année" : "date") + ", ici " +
           Quoted(EchoedArgument(first)) + kSeeHelp;
}

// The rules between options, once all are read.
std::string Inconsistency(const TerminalRequest& request) {
    if (request.region && !calendar::RegionNamed(*request.region)) {
        return Quoted(EchoedArgument(*request.region)) + " n'est pas une région : choisissez " + RegionKeys() +
               " (ou le nom que le menu écrit, tel « " +
               std::string(calendar::RegionName(calendar::Region::LaReunion)) + " »)";
    }
    if (request.place && !calendar::PlaceOfText(*request.place)) {
        return calendar::NoPlaceSentence(*request.place, EchoedArgument(*request.place));
    }
    if (request.place && request.kind != TerminalAnswerKind::Facts) {
        return "« --lieu » s'emploie avec --texte, --json ou --waybar" + std::string(kSeeHelp);
    }
    const bool holidaysAsked =
        request.kind == TerminalAnswerKind::Facts ||
        (request.kind == TerminalAnswerKind::Calendar && request.calendar == CalendarKind::Holidays);
    if (request.region && !holidaysAsked) {
        return "« --region » s'emploie avec --texte, --json, --waybar ou --ics" + std::string(kSeeHelp);
    }
    if (request.kind == TerminalAnswerKind::Add) {
        if (request.agendas.size() > 1) return "« --ajouter » écrit dans un seul agenda" + std::string(kSeeHelp);
        if (request.value || request.follow || request.form == FactsForm::Waybar || request.place || request.region)
            return "« --ajouter » s'emploie seul, avec --agenda, --texte ou --json" + std::string(kSeeHelp);
        return {};
    }
    if (!request.agendas.empty() && request.kind != TerminalAnswerKind::Facts &&
        request.kind != TerminalAnswerKind::Reminders) {
        return "« --agenda » s'emploie avec --texte, --json, --waybar, --rappels ou --ajouter" + std::string(kSeeHelp);
    }
    if (request.kind == TerminalAnswerKind::Reminders && request.value) {
        return "« --rappels » ne prend pas de date : il regarde les prochaines 24 heures" + std::string(kSeeHelp);
    }
    if (request.follow && request.kind != TerminalAnswerKind::Facts) {
        return "« --suivre » s'emploie avec --texte, --json ou --waybar" + std::string(kSeeHelp);
    }
    if (request.follow && request.value) {
        return "« --suivre » suit le jour d'aujourd'hui et ne prend pas de date" + std::string(kSeeHelp);
    }
    return {};
}

}  // namespace

ParsedArguments ParseTerminalArguments(int argc, const char* const* argv) {
    ParsedArguments parsed;
    if (argc < 2 || IsQtWindowOption(argv[1])) return parsed;

    std::vector<option> options;
    // '-': a word that is no option comes back where it stands, as value 1, so that the
    // date may be written before, between or after the options; ':' for a missing value.
    std::string letters = "-:";
    for (std::size_t row = 0; row < kOptionTable.size(); ++row) {
        options.push_back({kOptionTable[row].name, kOptionTable[row].argument, nullptr, OptionValue(row)});
        if (kOptionTable[row].letter != 0) letters += kOptionTable[row].letter;
    }
    options.push_back({});

    // getopt_long's state is global: optind 0 starts a fresh reading, opterr 0 keeps
    // its English messages for ours.
    optind = 0;
    opterr = 0;
    const OptionRow* answering = nullptr;
    TerminalRequest& request = parsed.request;
    std::vector<std::string> words;  // the arguments that are no option, in their order
    // getopt_long may reorder argv; with "-" it does not, so the cast is safe.
    char* const* arguments = const_cast<char* const*>(argv);
    for (int value; (value = getopt_long(argc, arguments, letters.c_str(), options.data(), nullptr)) != -1;) {
        if (value == 1) {
            words.emplace_back(optarg);
            continue;
        }
        if (value == '?') return {{}, RefusedOption(argv, optind - 1, optopt)};
        if (value == ':') {
            const OptionRow* row = RowOfValue(optopt);
            return {{}, Quoted(row ? LongName(*row) : argv[optind - 1]) + " attend une valeur" + kSeeHelp};
        }
        const OptionRow& row = *RowOfValue(value);
        TerminalRequest probe;
        row.apply(probe);
        const bool answers = probe.kind != TerminalAnswerKind::Window;  // --texte, --ics…, not --suivre
        // --rappels takes --json for its form, in either order.
        const auto named = [](const OptionRow* option, std::string_view name) {
            return option != nullptr && option->name == name;
        };
        if ((named(answering, "rappels") && named(&row, "json")) ||
            (named(answering, "json") && named(&row, "rappels"))) {
            if (optarg != nullptr) request.value = optarg;
            request.kind = TerminalAnswerKind::Reminders;
            request.form = FactsForm::Json;
            // A date given to --json is then said to be no date for --rappels.
            answering = &kOptionTable[RowNamed("json")];
            request.option = "--rappels";
            continue;
        }
        if (answers && answering != nullptr) {
            return {{},
                    Quoted(LongName(*answering)) + " et " + Quoted(LongName(row)) + " ne vont pas ensemble" + kSeeHelp};
        }
        row.apply(request);
        if (answers) {
            answering = &row;
            request.option = LongName(row);
        }
        if (optarg != nullptr && row.valuesTo != nullptr) {
            (request.*row.valuesTo).emplace_back(optarg);
        } else if (optarg != nullptr) {
            request.*row.valueTo = optarg;
        }
    }
    // Past « -- », every argument is a word.
    for (int rest = optind; rest < argc; ++rest) words.emplace_back(argv[rest]);
    parsed.error = WordsError(words, answering, request);
    if (!parsed.error.empty()) return {{}, parsed.error};
    if (!words.empty()) request.value = words.front();
    // --ajouter answers in the form --texte or --json names (the text by default).
    if (request.phrase && request.kind != TerminalAnswerKind::Window && request.kind != TerminalAnswerKind::Facts) {
        return {{}, "« --ajouter » et " + Quoted(request.option) + " ne vont pas ensemble" + kSeeHelp};
    }
    if (request.phrase) request.kind = TerminalAnswerKind::Add;
    parsed.error = Inconsistency(request);
    return parsed;
}

std::string HelpText() {
    std::string text = "Utilisation :\n  solvane                        ouvre la fenêtre du calendrier\n";
    for (const OptionRow& row : kOptionTable) {
        std::string line = "  solvane " + std::string(row.usage);
        while (line.size() < 33) line += ' ';
        text += line + row.help + '\n';
    }
    return text + "Sans date, le jour est aujourd'hui, et sans année l'année en cours ; les dates vont " +
           calendar::kCalendarRangeText + ".\n" + "Les régions : " + RegionKeys() + ".\n" +
           "Un lieu : une ville (« Strasbourg », « Brest »), ou sa latitude et sa longitude "
           "(« 48,58 7,75 ») ; sans lieu choisi, le chef-lieu de la région.\n" +
           "Une valeur s'écrit aussi après « = » : solvane --texte=2024-07-14.\n"
           "État de sortie : 0 réussite, 1 échec (une écriture impossible comprise), 2 mauvais usage.\n";
}

std::string EchoedArgument(const std::string& argument) {
    static constexpr std::size_t kLongest = 60;  // characters
    static constexpr char kHex[] = "0123456789abcdef";
    std::string echoed;
    std::size_t characters = 0;
    for (std::size_t at = 0; at < argument.size(); ++at) {
        const auto byte = static_cast<unsigned char>(argument[at]);
        const bool starts = (byte & 0xC0) != 0x80;  // a byte that begins a character
        if (starts && characters++ == kLongest) return echoed + "…";
        if (const std::size_t control = calendar::ControlLength(argument, at); control > 0) {
            for (std::size_t k = 0; k < control; ++k) {
                const auto controlByte = static_cast<unsigned char>(argument[at + k]);
                echoed += std::string("\\x") + kHex[controlByte >> 4] + kHex[controlByte & 0xF];
            }
            at += control - 1;
        } else {
            echoed += argument[at];
        }
    }
    return echoed;
}

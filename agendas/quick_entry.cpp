#include "agendas/quick_entry.h"

#include <array>
#include <chrono>

#include "agendas/quick_entry_words.h"
#include "calendar/serial_date.h"

namespace agendas {

namespace {

using quick_entry::Token;
using Meaning = QuickEntryPart::Meaning;
namespace chr = std::chrono;

constexpr std::array<std::string_view, 7> kWeekdays = {"lundi",    "mardi",  "mercredi", "jeudi",
                                                       "vendredi", "samedi", "dimanche"};

// The months' names and the abbreviations of the French calendar's usage, folded.
struct MonthName {
    std::string_view name;
    int month;
};
constexpr MonthName kMonthNames[] = {
    {"janvier", 1},   {"janv", 1}, {"fevrier", 2},  {"fevr", 2},    {"fev", 2},       {"mars", 3}, {"avril", 4},
    {"avr", 4},       {"mai", 5},  {"juin", 6},     {"juillet", 7}, {"juil", 7},      {"aout", 8}, {"sept", 9},
    {"septembre", 9}, {"oct", 10}, {"octobre", 10}, {"nov", 11},    {"novembre", 11}, {"dec", 12}, {"decembre", 12}};

// A day as said, before it is placed in time.
struct DaySaid {
    enum class Kind { FromToday, Weekday, DayOfMonth, DayAndMonth, Full, FromNow } kind = Kind::FromToday;
    int days = 0;     // FromToday: days after today
    int weekday = 0;  // Weekday: 0 Monday … 6 Sunday
    int day = 0, month = 0, year = 0;
    int minutes = 0;  // FromNow: minutes after now
};

struct Clock {
    int hour = 0, minute = 0;
    int Minutes() const { return hour * 60 + minute; }
};

chr::sys_days DaysOf(LocalDate date) {
    return chr::sys_days{chr::year{date.year} / chr::month{unsigned(date.month)} / chr::day{unsigned(date.day)}};
}

LocalDate DateOf(chr::sys_days days) {
    const chr::year_month_day date{days};
    return {int(date.year()), int(unsigned(date.month())), int(unsigned(date.day()))};
}

bool Exists(int year, int month, int day) {
    return year >= calendar::kFirstCalendarYear && year <= calendar::kLastCalendarYear &&
           chr::year_month_day{chr::year{year}, chr::month{unsigned(month)}, chr::day{unsigned(day)}}.ok();
}

LocalTime TimeOn(chr::sys_days days, int minutes) {
    const LocalDate date = DateOf(days);
    return {date.year, date.month, date.day, minutes / 60, minutes % 60};
}

// The grammar, over the folded words. Each rule tries to read at one word and says how
// many words it read (0: not this rule); what it read goes into the reading.
class Reader {
public:
    // The rules try a copy of the reader: it holds the words by pointer.
    Reader(std::string_view phrase, const std::vector<Token>& tokens, LocalTime now)
        : phrase_(phrase), now_(now), tokens_(&tokens) {}

    QuickEntry Read();

private:
    const Token* At(std::size_t i) const { return i < tokens_->size() ? &(*tokens_)[i] : nullptr; }
    bool Is(std::size_t i, std::string_view word) const { return At(i) && At(i)->text == word; }
    bool IsAnyOf(std::size_t i, std::initializer_list<std::string_view> words) const {
        for (const std::string_view word : words) {
            if (Is(i, word)) return true;
        }
        return false;
    }
    int NumberAt(std::size_t i) const { return At(i) && At(i)->kind == Token::Kind::Number ? At(i)->number : -1; }
    int WeekdayAt(std::size_t i, bool plural) const;
    int MonthAt(std::size_t i) const;

    std::size_t ClockAt(std::size_t i, Clock& clock) const;
    std::size_t CalendarDateAt(std::size_t i, DaySaid& day) const;
    std::size_t DayAt(std::size_t i, DaySaid& day) const;
    std::size_t TimeAt(std::size_t i);
    std::size_t WholeDayAt(std::size_t i);
    std::size_t RepetitionAt(std::size_t i);
    std::size_t RepetitionEndAt(std::size_t i);
    std::size_t PlaceAt(std::size_t i);
    std::size_t AnyRuleAt(std::size_t i, Meaning& meaning);

    std::optional<chr::sys_days> Place(const DaySaid& day, std::optional<int> minutes) const;
    void Understood(std::size_t first, std::size_t count, Meaning meaning);

    std::string_view phrase_;
    LocalTime now_;
    const std::vector<Token>* tokens_;
    QuickEntry entry_;
    std::optional<DaySaid> day_;
    std::optional<Clock> start_, end_;
    std::optional<DaySaid> until_;
    std::size_t dayFirst_ = 0, dayCount_ = 0, untilFirst_ = 0, untilCount_ = 0;
    std::optional<int> repeatWeekday_;
};

int Reader::WeekdayAt(std::size_t i, bool plural) const {
    for (std::size_t weekday = 0; weekday < kWeekdays.size(); ++weekday) {
        if (Is(i, plural ? std::string(kWeekdays[weekday]) + "s" : std::string(kWeekdays[weekday]))) {
            return int(weekday);
        }
    }
    return -1;
}

int Reader::MonthAt(std::size_t i) const {
    for (const MonthName& name : kMonthNames) {
        if (Is(i, name.name)) return name.month;
    }
    return -1;
}

// 18h, 18 h 30, 18h30, 18 heures, 18:30, midi, minuit.
std::size_t Reader::ClockAt(std::size_t i, Clock& clock) const {
    // « après-midi » is a part of the day, not noon.
    const bool afternoon = i > 0 && (Is(i - 1, "apres") || (i > 1 && Is(i - 1, "-") && Is(i - 2, "apres")));
    if ((Is(i, "midi") && !afternoon) || Is(i, "minuit")) {
        clock = {Is(i, "midi") ? 12 : 0, 0};
        return 1;
    }
    const int hour = NumberAt(i);
    if (hour < 0 || hour > 23 || At(i)->digits > 2) return 0;
    if (IsAnyOf(i + 1, {"h", "heure", "heures"})) {
        const int minute = NumberAt(i + 2);
        const bool withMinutes = minute >= 0 && minute <= 59 && At(i + 2)->digits == 2;
        clock = {hour, withMinutes ? minute : 0};
        return withMinutes ? 3 : 2;
    }
    if (Is(i + 1, ":")) {
        const int minute = NumberAt(i + 2);
        if (minute < 0 || minute > 59 || At(i + 2)->digits != 2) return 0;
        clock = {hour, minute};
        return 3;
    }
    return 0;
}

// 3 mai, 1er mai 2027, 03/05, 3/5/2027, 3/5/27.
std::size_t Reader::CalendarDateAt(std::size_t i, DaySaid& day) const {
    const int number = NumberAt(i);
    const bool first = Is(i, "premier");
    if (!first && (number < 1 || number > 31 || At(i)->digits > 2)) return 0;
    std::size_t at = i + 1;
    if (number == 1 && Is(at, "er")) ++at;
    day.day = first ? 1 : number;
    if (const int month = MonthAt(at); month > 0) {
        day.month = month;
        ++at;
        if (Is(at, ".")) ++at;
        const int year = NumberAt(at);
        if (year >= 0 && At(at)->digits == 4 && !Is(at + 1, ":") && !IsAnyOf(at + 1, {"h", "heure", "heures"})) {
            day.kind = DaySaid::Kind::Full;
            day.year = year;
            return at + 1 - i;
        }
        day.kind = DaySaid::Kind::DayAndMonth;
        return at - i;
    }
    if (first || at != i + 1 || !Is(at, "/")) return 0;
    const int month = NumberAt(at + 1);
    if (month < 1 || month > 12 || At(at + 1)->digits > 2) return 0;
    day.month = month;
    const int year = Is(at + 2, "/") ? NumberAt(at + 3) : -1;
    if (year >= 0 && (At(at + 3)->digits == 4 || At(at + 3)->digits == 2)) {
        day.kind = DaySaid::Kind::Full;
        day.year = At(at + 3)->digits == 2 ? 2000 + year : year;
        return 4 + at - i;
    }
    day.kind = DaySaid::Kind::DayAndMonth;
    return 2 + at - i;
}

// aujourd'hui, demain, après-demain, jeudi, le 3, 3 mai…, dans 3 jours, dans 2 heures,
// la semaine prochaine.
std::size_t Reader::DayAt(std::size_t i, DaySaid& day) const {
    if (Is(i, "aujourdhui") || (Is(i, "aujourd") && Is(i + 1, "'") && Is(i + 2, "hui"))) {
        day = {.kind = DaySaid::Kind::FromToday, .days = 0};
        return Is(i, "aujourdhui") ? 1 : 3;
    }
    if (Is(i, "demain")) {
        day = {.kind = DaySaid::Kind::FromToday, .days = 1};
        return 1;
    }
    if (Is(i, "apres")) {
        const std::size_t dash = Is(i + 1, "-") ? 1 : 0;
        if (!Is(i + 1 + dash, "demain")) return 0;
        day = {.kind = DaySaid::Kind::FromToday, .days = 2};
        return 2 + dash;
    }
    const std::size_t article = IsAnyOf(i, {"le", "ce", "du"}) ? 1 : 0;
    if (const int weekday = WeekdayAt(i + article, false); weekday >= 0) {
        day = {.kind = DaySaid::Kind::Weekday, .weekday = weekday};
        return article + 1 + (Is(i + article + 1, "prochain") ? 1 : 0);
    }
    if (const std::size_t read = CalendarDateAt(i + article, day); read > 0) return article + read;
    if (Is(i, "le")) {
        const int number = NumberAt(i + 1);
        if (number >= 1 && number <= 31 && At(i + 1)->digits <= 2) {
            day = {.kind = DaySaid::Kind::DayOfMonth, .day = number};
            return 2 + (number == 1 && Is(i + 2, "er") ? 1 : 0);
        }
        if (Is(i + 1, "premier")) {
            day = {.kind = DaySaid::Kind::DayOfMonth, .day = 1};
            return 2;
        }
    }
    const std::size_t the = Is(i, "la") ? 1 : 0;
    if (Is(i + the, "semaine") && Is(i + the + 1, "prochaine")) {
        day = {.kind = DaySaid::Kind::FromToday, .days = 7};
        return the + 2;
    }
    const int count = Is(i, "dans") ? NumberAt(i + 1) : -1;
    if (count >= 0 && count <= 9999) {
        struct Unit {
            std::initializer_list<std::string_view> words;
            bool days;
            int size;
        };
        for (const Unit& unit :
             {Unit{{"jour", "jours"}, true, 1}, Unit{{"semaine", "semaines"}, true, 7},
              Unit{{"heure", "heures", "h"}, false, 60}, Unit{{"minute", "minutes", "min"}, false, 1}}) {
            if (IsAnyOf(i + 2, unit.words)) {
                day = unit.days ? DaySaid{.kind = DaySaid::Kind::FromToday, .days = count * unit.size}
                                : DaySaid{.kind = DaySaid::Kind::FromNow, .minutes = count * unit.size};
                return 3;
            }
        }
    }
    return 0;
}

// [à|vers] 18h, de 14h à 15h30, 14h-15h30.
std::size_t Reader::TimeAt(std::size_t i) {
    if (start_ || (day_ && day_->kind == DaySaid::Kind::FromNow)) return 0;
    const bool from = Is(i, "de");
    const std::size_t lead = from || IsAnyOf(i, {"a", "vers"}) ? 1 : 0;
    Clock start, end;
    const std::size_t read = ClockAt(i + lead, start);
    if (read == 0) return 0;
    std::size_t at = i + lead + read;
    const std::size_t link = Is(at, "-") || Is(at, "a") ? 1 : 0;
    const std::size_t second = link ? ClockAt(at + link, end) : 0;
    if (from && second == 0) return 0;  // « de 14h » alone is not a time of this grammar
    start_ = start;
    if (second > 0) {
        end_ = end;
        at += link + second;
    }
    return at - i;
}

std::size_t Reader::WholeDayAt(std::size_t i) {
    if (entry_.wholeDay || !Is(i, "toute") || !Is(i + 1, "la") || !Is(i + 2, "journee")) return 0;
    entry_.wholeDay = true;
    return 3;
}

// chaque jour/semaine/mois/année, tous les jours/mois/ans, toutes les semaines/années,
// tous les lundis, chaque lundi.
std::size_t Reader::RepetitionAt(std::size_t i) {
    if (entry_.repetition != QuickRepetition::None) return 0;
    const bool each = Is(i, "chaque");
    const bool all = (Is(i, "tous") || Is(i, "toutes")) && Is(i + 1, "les");
    if (!each && !all) return 0;
    const std::size_t at = i + (each ? 1 : 2);
    struct Unit {
        std::string_view one, many;
        QuickRepetition repetition;
    };
    for (const Unit& unit :
         {Unit{"jour", "jours", QuickRepetition::Daily}, Unit{"semaine", "semaines", QuickRepetition::Weekly},
          Unit{"mois", "mois", QuickRepetition::Monthly}, Unit{"annee", "annees", QuickRepetition::Yearly},
          Unit{"an", "ans", QuickRepetition::Yearly}}) {
        if (Is(at, each ? unit.one : unit.many)) {
            entry_.repetition = unit.repetition;
            return at + 1 - i;
        }
    }
    if (const int weekday = WeekdayAt(at, !each); weekday >= 0) {
        entry_.repetition = QuickRepetition::Weekly;
        repeatWeekday_ = weekday;
        return at + 1 - i;
    }
    return 0;
}

// jusqu'au 30 juin, jusqu'à 30/06/2027, 10 fois.
std::size_t Reader::RepetitionEndAt(std::size_t i) {
    if (until_ || entry_.repeatCount) return 0;
    const int count = NumberAt(i);
    if (count >= 1 && count <= 999 && Is(i + 1, "fois")) {
        entry_.repeatCount = count;
        return 2;
    }
    if (!Is(i, "jusqu") || !Is(i + 1, "'") || !IsAnyOf(i + 2, {"au", "a"})) return 0;
    const std::size_t article = Is(i + 2, "a") && Is(i + 3, "le") ? 1 : 0;
    DaySaid day;
    const std::size_t read = CalendarDateAt(i + 3 + article, day);
    if (read == 0) return 0;
    until_ = day;
    untilFirst_ = i;
    untilCount_ = 3 + article + read;
    return untilCount_;
}

// lieu : X, @ X — the place runs to the next part read, or to the end.
std::size_t Reader::PlaceAt(std::size_t i) {
    if (entry_.place) return 0;
    std::size_t at = Is(i, "@") ? i + 1 : Is(i, "lieu") ? i + 1 + (Is(i + 1, ":") ? 1 : 0) : i;
    if (at == i || (Is(i, "lieu") && at == i + 1)) return 0;
    const std::size_t first = at;
    Meaning meaning;
    while (At(at) && AnyRuleAt(at, meaning) == 0) ++at;
    if (at == first) return 0;
    entry_.place = std::string(phrase_.substr(At(first)->begin, At(at - 1)->end - At(first)->begin));
    return at - i;
}

// The rule that reads at `i`, if any, without changing the reading.
std::size_t Reader::AnyRuleAt(std::size_t i, Meaning& meaning) {
    const Reader before = *this;
    std::size_t read = 0;
    DaySaid day;
    if ((read = WholeDayAt(i))) {
        meaning = Meaning::WholeDay;
    } else if ((read = RepetitionEndAt(i))) {
        meaning = Meaning::RepetitionEnd;
    } else if ((read = RepetitionAt(i))) {
        meaning = Meaning::Repetition;
    } else if ((read = TimeAt(i))) {
        meaning = Meaning::Time;
    } else if (!day_ && (read = DayAt(i, day))) {
        meaning = Meaning::Day;
    }
    *this = before;
    return read;
}

void Reader::Understood(std::size_t first, std::size_t count, Meaning meaning) {
    const std::size_t begin = (*tokens_)[first].begin, end = (*tokens_)[first + count - 1].end;
    entry_.understood.push_back({.offset = begin, .length = end - begin, .meaning = meaning});
}

// The day said, placed in time: the next such day, from today on; a time said
// (`minutes` after midnight) that is already past today moves it on.
std::optional<chr::sys_days> Reader::Place(const DaySaid& day, std::optional<int> minutes) const {
    const chr::sys_days today = DaysOf(now_.Date());
    const int nowMinutes = now_.hour * 60 + now_.minute;
    const auto ahead = [&](chr::sys_days days) {
        return days > today || (days == today && (!minutes || *minutes >= nowMinutes));
    };
    switch (day.kind) {
    case DaySaid::Kind::FromToday:
    case DaySaid::Kind::FromNow: return today + chr::days{day.days};
    case DaySaid::Kind::Weekday: {
        const chr::weekday target{unsigned(day.weekday + 1) % 7};  // chrono counts from Sunday
        const chr::days after = target - chr::weekday{today};      // [0, 6]
        return today + (after == chr::days{0} ? chr::days{7} : after);
    }
    case DaySaid::Kind::DayOfMonth:
        for (chr::year_month month = chr::year_month_day{today}.year() / chr::year_month_day{today}.month(),
                             last = month + chr::months{12};
             month <= last; month += chr::months{1}) {
            const chr::year_month_day date = month / chr::day{unsigned(day.day)};
            if (date.ok() && ahead(chr::sys_days{date})) return chr::sys_days{date};
        }
        return std::nullopt;
    case DaySaid::Kind::DayAndMonth:
        for (int year = now_.year; year <= now_.year + 8; ++year) {
            if (Exists(year, day.month, day.day) && ahead(DaysOf({year, day.month, day.day}))) {
                return DaysOf({year, day.month, day.day});
            }
        }
        return std::nullopt;
    case DaySaid::Kind::Full:
        if (!Exists(day.year, day.month, day.day)) return std::nullopt;
        return DaysOf({day.year, day.month, day.day});
    }
    return std::nullopt;
}

QuickEntry Reader::Read() {
    std::vector<std::pair<std::size_t, std::size_t>> titleRuns;  // first word, words
    for (std::size_t i = 0; i < tokens_->size();) {
        Meaning meaning = Meaning::Day;
        std::size_t read = AnyRuleAt(i, meaning);
        if (read > 0) {
            DaySaid day;
            if (meaning == Meaning::WholeDay) WholeDayAt(i);
            if (meaning == Meaning::RepetitionEnd) RepetitionEndAt(i);
            if (meaning == Meaning::Repetition) RepetitionAt(i);
            if (meaning == Meaning::Time) TimeAt(i);
            if (meaning == Meaning::Day) {
                DayAt(i, day);
                day_ = day;
                dayFirst_ = i;
                dayCount_ = read;
            }
        } else if ((read = PlaceAt(i)) > 0) {
            meaning = Meaning::Place;
        }
        if (read > 0) {
            Understood(i, read, meaning);
            i += read;
            continue;
        }
        if (!titleRuns.empty() && titleRuns.back().first + titleRuns.back().second == i) {
            ++titleRuns.back().second;
        } else {
            titleRuns.emplace_back(i, 1);
        }
        ++i;
    }
    for (const auto& [first, count] : titleRuns) {
        if (!entry_.title.empty()) entry_.title += ' ';
        entry_.title +=
            phrase_.substr((*tokens_)[first].begin, (*tokens_)[first + count - 1].end - (*tokens_)[first].begin);
    }
    // Separators left at the ends of the title by the parts read out of it.
    const auto separator = [](char c) { return c == ' ' || c == ',' || c == ';' || c == ':' || c == '-'; };
    while (!entry_.title.empty() && separator(entry_.title.back())) entry_.title.pop_back();
    while (!entry_.title.empty() && separator(entry_.title.front())) entry_.title.erase(0, 1);

    if (!day_ && repeatWeekday_) day_ = DaySaid{.kind = DaySaid::Kind::Weekday, .weekday = *repeatWeekday_};
    if (!day_ && !start_) {
        entry_.problem = QuickEntry::Problem::NoDateOrTime;
        return entry_;
    }
    const auto fault = [&](QuickEntry::Problem problem, std::size_t first, std::size_t count) {
        entry_.problem = problem;
        entry_.problemText =
            phrase_.substr((*tokens_)[first].begin, (*tokens_)[first + count - 1].end - (*tokens_)[first].begin);
        return entry_;
    };
    const int nowMinutes = now_.hour * 60 + now_.minute;
    chr::sys_days date;
    int startMinutes = 0;
    if (day_ && day_->kind == DaySaid::Kind::FromNow) {
        const int total = nowMinutes + day_->minutes;
        date = DaysOf(now_.Date()) + chr::days{total / 1440};
        startMinutes = total % 1440;
        start_ = Clock{startMinutes / 60, startMinutes % 60};
        // « toute la journée » makes it the whole of the day that moment falls on.
        if (entry_.wholeDay) {
            start_.reset();
            end_.reset();
        }
    } else {
        // Without a day, the time said places the event: today if it is still to come.
        // « toute la journée » then makes it the whole of that day.
        const std::optional<int> said = start_ ? std::optional<int>(start_->Minutes()) : std::nullopt;
        if (entry_.wholeDay) {
            start_.reset();
            end_.reset();
        }
        std::optional<int> minutes;
        if (start_) minutes = start_->Minutes();
        if (day_) {
            const std::optional<chr::sys_days> placed = Place(*day_, minutes);
            if (!placed) return fault(QuickEntry::Problem::NoSuchDay, dayFirst_, dayCount_);
            date = *placed;
        } else {
            date = DaysOf(now_.Date()) + chr::days{*said >= nowMinutes ? 0 : 1};
        }
        if (minutes) startMinutes = *minutes;
    }
    if (int(chr::year_month_day{date}.year()) > calendar::kLastCalendarYear)
        return fault(QuickEntry::Problem::NoSuchDay, dayFirst_, dayCount_);
    if (!start_) {
        entry_.wholeDay = true;
        entry_.start = entry_.end = TimeOn(date, 0);
    } else {
        entry_.start = TimeOn(date, startMinutes);
        int endMinutes = startMinutes + 60;
        if (end_) endMinutes = end_->Minutes() > startMinutes ? end_->Minutes() : end_->Minutes() + 1440;
        entry_.end = TimeOn(date + chr::days{endMinutes / 1440}, endMinutes % 1440);
    }
    if (until_) {
        DaySaid until = *until_;
        if (until.kind == DaySaid::Kind::Full && !Exists(until.year, until.month, until.day)) {
            return fault(QuickEntry::Problem::NoSuchDay, untilFirst_, untilCount_);
        }
        bool found = until.kind == DaySaid::Kind::Full;
        for (int year = int(chr::year_month_day{date}.year());
             !found && year <= int(chr::year_month_day{date}.year()) + 8; ++year) {
            if (Exists(year, until.month, until.day) && DaysOf({year, until.month, until.day}) >= date) {
                until.year = year;
                found = true;
            }
        }
        if (!found) return fault(QuickEntry::Problem::NoSuchDay, untilFirst_, untilCount_);
        entry_.repeatUntil = LocalDate{until.year, until.month, until.day};
        if (*entry_.repeatUntil < entry_.start.Date()) {
            return fault(QuickEntry::Problem::EndsTooSoon, untilFirst_, untilCount_);
        }
    }
    return entry_;
}

}  // namespace

QuickEntry ReadQuickEntry(std::string_view phrase, LocalTime now) {
    const std::vector<Token> tokens = quick_entry::TokensOf(phrase);
    return Reader(phrase, tokens, now).Read();
}

std::string QuickEntryProblemSentence(const QuickEntry& entry) {
    switch (entry.problem) {
    case QuickEntry::Problem::None: return {};
    case QuickEntry::Problem::NoDateOrTime:
        return "Ni date ni heure lue dans cette phrase : écrivez par exemple « jeudi 18 h 30 Piscine » ou "
               "« 12 mai toute la journée Anniversaire ».";
    case QuickEntry::Problem::NoSuchDay:
        return "« " + entry.problemText + " » n'est pas un jour du calendrier (" + calendar::kCalendarRangeText + ").";
    case QuickEntry::Problem::EndsTooSoon:
        return "« " + entry.problemText + " » tombe avant le premier jour de l'évènement.";
    }
    return {};
}

}  // namespace agendas

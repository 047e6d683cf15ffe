#include "calendar/holidays.h"

#include <algorithm>
#include <array>

#include "calendar/celebration_rows.h"
#include "calendar/easter.h"
#include "calendar/holiday_rows_abroad.h"

namespace calendar {

namespace {

constexpr std::string_view kLabourCode = "Code du travail, article L3133-1";
// The abolition of slavery's day has one name in every region.
constexpr std::string_view kAbolitionDay = "Abolition de l'esclavage";
constexpr std::string_view kAbolitionKey = "abolition-esclavage";
constexpr std::string_view kAbolitionLaw = "loi n° 83-550 du 30 juin 1983, décret n° 83-1003 du 23 novembre 1983";
constexpr std::string_view kCollectivitiesDecree = "décret n° 2012-553 du 23 avril 2012";

// clang-format off
constexpr auto kNationRows = std::to_array<HolidayRow>({
    // The nation's public holidays are those of the labour code (article L3133-1), and
    // the panel shows them top to bottom: New Year, Easter, Easter Monday, Labour Day,
    // the victory of 1945, Ascension, Whit Monday, the national day, the Assumption,
    // All Saints, the armistice of 1918 and Christmas. The names are written as French
    // writes them, the captions exactly as the panel writes them, short forms and
    // old spellings included.
    {.name = "Jour de l'an", .key = "jour-de-l-an", .rule = FixedDate(1, 1),
     .source = kLabourCode, .caption = "Nouvel an", .pattern = "dddd dd mmmm "},
    // Easter Sunday, a Sunday, is in no list of the code; the panel shows it beside its Monday.
    {.name = "Pâques", .key = "paques", .rule = FromEaster(0),
     .source = kLabourCode, .caption = "Pâcques", .pattern = "dddd dd mmmm "},
    {.name = "Lundi de Pâques", .key = "lundi-de-paques", .rule = FromEaster(1),
     .source = kLabourCode, .caption = "Lundi de Pâques", .pattern = "dddd dd mmmm"},
    {.name = "Fête du Travail", .key = "fete-du-travail", .rule = FixedDate(5, 1),
     .source = "Code du travail, articles L3133-1 et L3133-4", .caption = "Fête du travail",
     .pattern = "dddd dd mmmm "},
    // The two victories are counted from the year of their first anniversary, whatever
    // the laws that followed: 8 May was made a public holiday by the law of 20 March
    // 1953, was none from 1959, and is one again by the law of 2 October 1981.
    {.name = "Victoire 1945", .key = "victoire-1945", .rule = FixedDate(5, 8), .since = 1946,
     .source = "Code du travail, article L3133-1 ; loi n° 81-893 du 2 octobre 1981", .caption = "Victoire 1945",
     .pattern = "dddd dd mmmm "},
    {.name = "Ascension", .key = "ascension", .rule = FromEaster(39),
     .source = kLabourCode, .caption = "Ascension", .pattern = "dddd dd mmmm"},
    {.name = "Lundi de Pentecôte", .key = "lundi-de-pentecote", .rule = FromEaster(50),
     .source = kLabourCode, .caption = "Lun de Pentecôte", .pattern = "dddd dd mmmm "},
    {.name = "Fête nationale", .key = "fete-nationale", .rule = FixedDate(7, 14),
     .source = "Code du travail, article L3133-1 ; loi du 6 juillet 1880", .caption = "Fête Nationale",
     .pattern = "dddd dd mmmm "},
    {.name = "Assomption", .key = "assomption", .rule = FixedDate(8, 15),
     .source = kLabourCode, .caption = "Assomption", .pattern = "dddd dd mmmm "},
    {.name = "Toussaint", .key = "toussaint", .rule = FixedDate(11, 1),
     .source = kLabourCode, .caption = "Toussaint", .pattern = "dddd dd mmm "},
    // From the first anniversary too; the law of 24 October 1922 made the day a holiday.
    {.name = "Armistice 1918", .key = "armistice-1918", .rule = FixedDate(11, 11), .since = 1919,
     .source = "Code du travail, article L3133-1 ; loi du 24 octobre 1922", .caption = "Armistice 1918",
     .pattern = "dddd dd mmm "},
    {.name = "Noël", .key = "noel", .rule = FixedDate(12, 25),
     .source = kLabourCode, .caption = "Noël", .pattern = "dddd dd mmm "},

    // The regions' own days. Where a text's own date falls before the first day of a
    // year's holiday, that year is the first; otherwise the next one.
    //
    // Bas-Rhin, Haut-Rhin and Moselle: the local law, article 105a of the code local des
    // professions, now article L3134-13 of the code du travail, adds Good Friday and the
    // second day of Christmas. The three départements keep their local law under the law
    // of 17 October 1919 on their transitional regime (made lasting by the laws of 1 June
    // 1924): the rows apply from 1919, their first year in France again.
    {.region = Region::AlsaceMoselle, .name = "Vendredi saint", .key = "vendredi-saint", .rule = FromEaster(-2),
     .since = 1919, .source = "Code du travail, article L3134-13"},
    {.region = Region::AlsaceMoselle, .name = "Saint-Étienne", .key = "saint-etienne", .rule = FixedDate(12, 26),
     .since = 1919, .source = "Code du travail, article L3134-13"},
    // The abolition of slavery: law n° 83-550 of 30 June 1983 makes it a public holiday in
    // Guadeloupe, Guyane, Martinique, La Réunion and Mayotte, and decree n° 83-1003 of
    // 23 November 1983 (article 1) gives each its day. Only La Réunion's falls after the
    // decree in 1983; the others are first kept in 1984.
    {.region = Region::Mayotte, .name = kAbolitionDay, .key = kAbolitionKey, .rule = FixedDate(4, 27),
     .since = 1984, .source = kAbolitionLaw},
    {.region = Region::Martinique, .name = kAbolitionDay, .key = kAbolitionKey, .rule = FixedDate(5, 22),
     .since = 1984, .source = kAbolitionLaw},
    {.region = Region::Guadeloupe, .name = kAbolitionDay, .key = kAbolitionKey, .rule = FixedDate(5, 27),
     .since = 1984, .source = kAbolitionLaw},
    {.region = Region::Guyane, .name = kAbolitionDay, .key = kAbolitionKey, .rule = FixedDate(6, 10),
     .since = 1984, .source = kAbolitionLaw},
    {.region = Region::LaReunion, .name = kAbolitionDay, .key = kAbolitionKey, .rule = FixedDate(12, 20),
     .since = 1983, .source = kAbolitionLaw},
    // Decree n° 2012-553 of 23 April 2012, in force on 26 April 2012, adds the two
    // collectivities to the decree of 1983: Saint-Barthélemy on 9 October, Saint-Martin on
    // 27 May. A decree published in April 2023 moves Saint-Martin's day to 28 May, the
    // day the abolition was proclaimed there (28 May had been kept by circular from 2018).
    {.region = Region::SaintBarthelemy, .name = kAbolitionDay, .key = kAbolitionKey, .rule = FixedDate(10, 9),
     .since = 2012, .source = kCollectivitiesDecree},
    {.region = Region::SaintMartin, .name = kAbolitionDay, .key = kAbolitionKey, .rule = FixedDate(5, 27),
     .since = 2012, .until = 2022, .source = kCollectivitiesDecree},
    {.region = Region::SaintMartin, .name = kAbolitionDay, .key = kAbolitionKey, .rule = FixedDate(5, 28),
     .since = 2023, .source = "décret n° 83-1003 du 23 novembre 1983, modifié en avril 2023"},
});
// clang-format on

// The one table: the nation's and its regions' rows, those of the other places, then
// the celebrations.
template <std::size_t... Sizes>
constexpr auto Joined(const std::array<HolidayRow, Sizes>&... parts) {
    std::array<HolidayRow, (Sizes + ...)> rows{};
    std::size_t at = 0;
    ((at = std::ranges::copy(parts, rows.begin() + at).out - rows.begin()), ...);
    return rows;
}
constexpr auto kRows = Joined(kNationRows, holiday_rows::kAbroadRows, holiday_rows::kCelebrationRows);

// Checked as the program is built: every row names its holiday, its key and its text;
// the panel's rows are the nation's holidays, at the head of the table, and no other
// row has a caption; a rule's numbers are in their ranges.
constexpr bool TableIsWellFormed() {
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const HolidayRow& row = kRows[i];
        if (row.name.empty() || row.key.empty() || row.source.empty()) return false;
        const bool onPanel = i < kPanelHolidayCount;
        if (onPanel != !row.caption.empty() || onPanel != !row.pattern.empty()) return false;
        if (onPanel && (row.region != Region::National || row.celebration)) return false;
        const HolidayRule& rule = row.rule;
        if (rule.daysLater < 0 || rule.daysLater > 6) return false;
        if (rule.kind == HolidayRule::Kind::WeekdayBefore && (rule.day < 2 || rule.day > 31)) return false;
    }
    return kRows.size() >= kPanelHolidayCount;
}
static_assert(TableIsWellFormed(),
              "a row lacks its name, key or text, the panel's rows are out of place, or a rule's "
              "number is out of its range");

// Whether the row's holiday is kept in `year`.
bool KeptIn(const HolidayRow& row, int year) {
    return (row.since == 0 || year >= row.since) && (row.until == 0 || year <= row.until);
}

}  // namespace

const std::span<const HolidayRow> kHolidayTable = kRows;

std::span<const HolidayRow, kPanelHolidayCount> PanelHolidays() {
    return std::span<const HolidayRow>(kRows).first<kPanelHolidayCount>();
}

namespace {

// The day the rule's kind gives, before the days later and the Sunday.
SerialDate KindDate(const HolidayRule& rule, Int16 year) {
    switch (rule.kind) {
    case HolidayRule::Kind::FixedDate: return MakeDate(year, rule.month, rule.day);
    // Whole days added to Easter keep its time of day, and Easter has none.
    case HolidayRule::Kind::FromEaster: return EasterSunday(year) + rule.daysAfterEaster;
    case HolidayRule::Kind::NthWeekday: {
        const SerialDate first = MakeDate(year, rule.month, 1);
        const int ahead = (static_cast<int>(rule.weekday) - WeekdayOf(first).value() + 7) % 7;  // [0, 6]
        return first + ahead + 7 * (rule.nth - 1);
    }
    case HolidayRule::Kind::LastWeekday: {
        const SerialDate last = MakeDate(year, rule.month + 1, 0);  // day 0: the month's last
        const int behind = (WeekdayOf(last).value() - static_cast<int>(rule.weekday) + 7) % 7;  // [0, 6]
        return last - behind;
    }
    case HolidayRule::Kind::WeekdayBefore: {
        const SerialDate eve = MakeDate(year, rule.month, rule.day - 1);
        const int behind = (WeekdayOf(eve).value() - static_cast<int>(rule.weekday) + 7) % 7;  // [0, 6]
        return eve - behind;
    }
    }
    return 0;  // every Kind is handled above
}

constexpr int kSunday = static_cast<int>(Weekday::Sunday);

// The rows of `region` and of those it inherits, of holidays or of celebrations,
// kept in `year`, the inherited first.
std::vector<Holiday> DaysOf(Region region, Int16 year, bool celebrations) {
    std::vector<Holiday> days;
    if (const std::optional<Region> inherited = RegionInherits(region)) days = DaysOf(*inherited, year, celebrations);
    for (const HolidayRow& row : kRows) {
        if (row.region != region || row.celebration != celebrations || !KeptIn(row, year.value())) continue;
        if (const std::optional<SerialDate> date = HolidayRuleDate(row.rule, year))
            days.push_back({.date = *date, .row = &row});
    }
    return days;
}

std::vector<std::string_view> NamesOn(const std::vector<Holiday>& days, SerialDate date) {
    std::vector<std::string_view> names;
    for (const Holiday& day : days) {
        if (day.date == date) names.push_back(day.row->name);
    }
    return names;
}

}  // namespace

std::optional<SerialDate> HolidayRuleDate(const HolidayRule& rule, Int16 year) {
    SerialDate date = KindDate(rule, year) + rule.daysLater;
    if (rule.yieldsTo != 0 && date == EasterSunday(year) + rule.yieldsTo) date = date + 7;
    if (rule.onSunday == HolidayRule::OnSunday::Stays) return date;
    const bool sunday = WeekdayOf(date).value() == kSunday;
    if (rule.onSunday == HolidayRule::OnSunday::AddsMonday && !sunday) return std::nullopt;
    return sunday ? date + 1 : date;
}

std::vector<Holiday> HolidaysOf(Region region, Int16 year) { return DaysOf(region, year, false); }

std::vector<std::string_view> HolidaysOn(Region region, Int16 year, SerialDate date) {
    return NamesOn(HolidaysOf(region, year), date);
}

std::vector<Holiday> CelebrationsOf(Region region, Int16 year) {
    const std::vector<Holiday> holidays = HolidaysOf(region, year);
    std::vector<Holiday> celebrations = DaysOf(region, year, true);
    std::erase_if(celebrations, [&holidays](const Holiday& celebration) {
        return std::ranges::any_of(holidays, [&celebration](const Holiday& holiday) {
            return holiday.date == celebration.date && holiday.row->key == celebration.row->key;
        });
    });
    return celebrations;
}

std::vector<std::string_view> CelebrationsOn(Region region, Int16 year, SerialDate date) {
    return NamesOn(CelebrationsOf(region, year), date);
}

}  // namespace calendar

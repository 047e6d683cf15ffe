#include "terminal/day_json.h"

#include <charconv>
#include <optional>

#include "calendar/local_zone.h"
#include "calendar/numbers.h"
#include "calendar/utf8_text.h"

using almanac::DayFacts;

std::string JsonString(const std::string& text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string json = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20) {
            json += "\\u00";
            json += kHex[byte >> 4];
            json += kHex[byte & 0xF];
        } else {
            json += c;
        }
    }
    return json + '"';
}

namespace {

std::string JsonStringOrNull(const std::optional<std::string>& text) { return text ? JsonString(*text) : "null"; }

// The phase as an object: its French name and its local time HH:MM.
std::string PhaseJson(const std::optional<calendar::PhaseOfDay>& phase) {
    if (!phase) return "null";
    return "{\"nom\":" + JsonString(std::string(phase->name)) +
           ",\"heure\":" + JsonString(calendar::PhaseClock(*phase, ":")) + "}";
}

// An array of JSON strings.
std::string JsonArray(const std::vector<std::string>& texts) {
    std::string json = "[";
    for (const std::string& text : texts) json += (json.size() > 1 ? "," : "") + JsonString(text);
    return json + ']';
}

// The sun's rising, setting and day length, "HH:MM" each, null where the sun does not
// rise or set that day.
std::string SunJson(const std::optional<calendar::SunOfDay>& sun) {
    if (!sun) return "null";
    const calendar::SunFields fields = calendar::SunJsonFields(*sun);
    return "{\"lever\":" + JsonStringOrNull(fields.lever) + ",\"coucher\":" + JsonStringOrNull(fields.coucher) +
           ",\"duree_du_jour\":" + JsonString(fields.dureeDuJour) + "}";
}

std::string SeasonJson(const std::optional<calendar::SeasonOfDay>& season) {
    if (!season) return "null";
    return "{\"nom\":" + JsonString(std::string(season->name)) +
           ",\"heure\":" + JsonString(calendar::SeasonClock(*season, ":")) + "}";
}

// Degrees to five decimals, a few metres, as the places' table gives them, without
// the zeros at the end: 48.58392, 7.75, -21; whatever the locale, a point.
std::string DegreesJson(double degrees) {
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof digits, degrees, std::chars_format::fixed, 5);
    std::string text(digits, written.ptr);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text == "-0" ? "0" : text;
}

// The place's name, null for coordinates typed, and its coordinates.
std::string PlaceJson(const std::optional<calendar::Place>& place) {
    if (!place) return "null";
    return std::string("{\"nom\":") + (place->named ? JsonString(place->text) : "null") +
           ",\"latitude\":" + DegreesJson(place->coordinates.latitude) +
           ",\"longitude\":" + DegreesJson(place->coordinates.longitude) + "}";
}

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + calendar::NumberText(n); }

std::string DateText(const agendas::LocalTime& time) {
    return calendar::NumberText(time.year) + '-' + TwoDigits(time.month) + '-' + TwoDigits(time.day);
}

// A local time "2025-05-08T14:00", or for whole days the date alone.
std::string MomentText(const agendas::LocalTime& time, bool wholeDays) {
    return DateText(time) + (wholeDays ? "" : 'T' + calendar::ClockText(time.hour, time.minute, ":"));
}

std::string EventsJson(const std::vector<agendas::Event>& events) {
    std::string json = "[";
    for (const agendas::Event& event : events) {
        if (json.size() > 1) json += ',';
        json += EventJson(event);
    }
    return json + "]";
}

}  // namespace

std::string EventJson(const agendas::Event& event) {
    return "{\"debut\":" + JsonString(MomentText(event.start, event.WholeDays())) +
           ",\"fin\":" + JsonString(MomentText(event.end, event.WholeDays())) +
           ",\"journee\":" + (event.WholeDays() ? "true" : "false") + ",\"titre\":" + JsonString(event.title) +
           ",\"lieu\":" + JsonStringOrNull(event.location) + ",\"agenda\":" + JsonString(event.agenda) + "}";
}

std::string IsoDate(const DayFacts& facts) {
    return calendar::NumberText(facts.year) + '-' + TwoDigits(facts.month) + '-' + TwoDigits(facts.day);
}

std::string FactsJson(const DayFacts& facts) {
    using calendar::NumberText;
    return "{\"date\":" + JsonString(IsoDate(facts)) + ",\"jour_de_l_annee\":" + NumberText(facts.dayOfYear) +
           ",\"semaine\":" + NumberText(facts.week) + ",\"fete\":" + JsonStringOrNull(facts.nameDay) +
           ",\"ferie\":" + JsonStringOrNull(facts.holiday) + ",\"celebrations\":" + JsonArray(facts.celebrations) +
           ",\"changement_d_heure\":" + JsonStringOrNull(facts.timeChange) +
           ",\"phase\":" + PhaseJson(facts.moonPhase) + ",\"lune\":" + NumberText(facts.moonAge) +
           ",\"soleil\":" + SunJson(facts.sun) + ",\"saison\":" + SeasonJson(facts.season) +
           ",\"lieu\":" + PlaceJson(facts.place) + ",\"bissextile\":" + (facts.leapYear ? "true" : "false") +
           ",\"texte\":" + JsonString(facts.writtenDate) + ",\"evenements\":" + EventsJson(facts.events) + "}";
}

std::string FactsWaybar(const DayFacts& facts) {
    const std::string text = facts.holiday   ? *facts.holiday
                             : facts.nameDay ? calendar::ShownText(*facts.nameDay)
                                             : facts.writtenDate;
    std::string tooltip = almanac::FactsText(facts);
    tooltip.pop_back();  // the lines, without the last line end
    return "{\"text\":" + JsonString(text) + ",\"tooltip\":" + JsonString(tooltip) + ",\"class\":" +
           (facts.holiday           ? "\"ferie\""
            : !facts.events.empty() ? "\"evenement\""
                                    : "\"jour\"") +
           ",\"alt\":" + JsonString(IsoDate(facts)) + "}";
}

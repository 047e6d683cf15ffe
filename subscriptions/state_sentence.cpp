#include "subscriptions/state_sentence.h"

#include "calendar/french_words.h"

namespace subscriptions {

namespace {

// « 14 h 05 » on the day of `now`, « le 7 décembre à 14 h 05 » another day of its
// year, « le 7 décembre 2025 à 14 h 05 » another year.
std::string WhenText(calendar::UnixSeconds instant, calendar::UnixSeconds now) {
    const calendar::LocalReading when = calendar::LocalReadingOf(instant);
    const calendar::LocalReading today = calendar::LocalReadingOf(now);
    const std::string clock = calendar::ClockText(when.hour, when.minute, " h ");
    if (when.year == today.year && when.month == today.month && when.day == today.day) return clock;
    const std::optional<int> year = when.year != today.year ? std::optional(when.year) : std::nullopt;
    return "le " + calendar::DateInWords(when.day, when.month, year) + " à " + clock;
}

}  // namespace

std::string StateSentence(const Record& record, calendar::UnixSeconds now) {
    switch (record.outcome) {
    case Record::Outcome::Never: return "pas encore chargé";
    case Record::Outcome::UpToDate: return record.hasCopy ? "à jour" : "pas encore chargé";
    case Record::Outcome::Offline:
        if (!record.hasCopy || record.fetched == 0) return "hors ligne : rien n'a encore été chargé";
        return "hors ligne depuis " + WhenText(record.fetched, now);
    case Record::Outcome::Failed: return record.sentence;
    }
    return {};
}

std::string LateSentence(const Record& record, std::chrono::seconds waited, calendar::UnixSeconds now) {
    const auto seconds = waited.count();
    const std::string start =
        "le chargement n'a pas fini en " + std::to_string(seconds) + (seconds > 1 ? " secondes" : " seconde");
    if (!record.hasCopy || record.fetched == 0) return start + " : rien n'a encore été chargé.";
    const std::string when = WhenText(record.fetched, now);
    // « de 14 h 05 », « du 7 décembre à 14 h 05 »
    const std::string of = when.starts_with("le ") ? "du " + when.substr(3) : "de " + when;
    return start + " : la copie " + of + " est montrée.";
}

}  // namespace subscriptions

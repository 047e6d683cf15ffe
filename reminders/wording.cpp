#include "reminders/wording.h"

#include <cmath>

#include "calendar/local_zone.h"

namespace reminders {

namespace {

std::string Plural(long long count, const char* singular, const char* plural) {
    return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

// « 1 h », « 1 h 30 », « 10 min »: `minutes` in [1, 1439].
std::string Duration(long long minutes) {
    if (minutes < 60) return std::to_string(minutes) + " min";
    std::string text = std::to_string(minutes / 60) + " h";
    if (minutes % 60 != 0) text += (minutes % 60 < 10 ? " 0" : " ") + std::to_string(minutes % 60);
    return text;
}

std::string DaysAway(int days) {
    switch (days) {
    case 0: return "aujourd'hui";
    case 1: return "demain";
    case -1: return "hier";
    }
    return days > 0 ? "dans " + Plural(days, "jour", "jours") : "il y a " + Plural(-days, "jour", "jours");
}

std::string TimeAway(const Alarm& alarm, UnixSeconds now, agendas::LocalDate today) {
    const int days = agendas::DaysBetween(today, alarm.start.Date());
    if (alarm.wholeDays) return DaysAway(days);
    const long long minutes = std::llround(double(alarm.startsAt - now) / 60.0);
    if (minutes == 0) return "maintenant";
    if (minutes >= 24 * 60 || minutes <= -24 * 60) return DaysAway(days);
    return minutes > 0 ? "dans " + Duration(minutes) : "il y a " + Duration(-minutes);
}

}  // namespace

std::string AlarmSummary(const Alarm& alarm) {
    const std::string title = alarm.title.empty() ? "(sans titre)" : alarm.title;
    if (alarm.wholeDays) return title;
    return calendar::ClockText(alarm.start.hour, alarm.start.minute, " h ") + " " + title;
}

std::string AlarmBody(const Alarm& alarm, UnixSeconds now, agendas::LocalDate today) {
    std::string body = TimeAway(alarm, now, today);
    if (alarm.place && !alarm.place->empty()) body += " — " + *alarm.place;
    return body;
}

std::string NoticeSummary(const Notice& notice) {
    if (notice.alarms.size() == 1) return AlarmSummary(notice.alarms.front());
    return Plural(static_cast<long long>(notice.alarms.size()), "rappel manqué", "rappels manqués");
}

std::string NoticeBody(const Notice& notice, UnixSeconds now, agendas::LocalDate today) {
    if (notice.alarms.size() == 1) return AlarmBody(notice.alarms.front(), now, today);
    std::string body;
    std::size_t named = 0;
    for (const Alarm& alarm : notice.alarms) {
        if (named == kNamedInSummary) break;
        if (named++ > 0) body += "\n";
        body += AlarmSummary(alarm);
    }
    if (notice.alarms.size() > named) {
        const auto others = static_cast<long long>(notice.alarms.size() - named);
        body += "\net " + Plural(others, "autre", "autres");
    }
    return body;
}

}  // namespace reminders

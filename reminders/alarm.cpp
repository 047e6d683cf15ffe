#include "reminders/alarm.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace reminders {

namespace {

bool KeptAsItIs(unsigned char byte) {
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
           byte == '@' || byte == '.' || byte == '_' || byte == '-';
}

std::string Escaped(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const unsigned char byte : text) {
        if (KeptAsItIs(byte)) {
            escaped += char(byte);
        } else {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 15];
        }
    }
    return escaped;
}

}  // namespace

std::string AlarmId(std::string_view uid, std::string_view recurrence, int alarmIndex, int repetition) {
    return Escaped(uid) + "/" + Escaped(recurrence) + "/" + std::to_string(alarmIndex) + "/" +
           std::to_string(repetition);
}

AskedDays DaysAround(UnixSeconds now) {
    const calendar::LocalReading local = calendar::LocalReadingOf(now);
    const agendas::LocalDate today{local.year, local.month, local.day};
    agendas::LocalDate first = agendas::PreviousDay(agendas::PreviousDay(today)), last = today;
    for (int day = 0; day < kDaysAhead; ++day) last = agendas::NextDay(last);
    return {first, last};
}

std::vector<Alarm> AlarmsBetween(const agendas::AgendaDays& days, UnixSeconds from, UnixSeconds to) {
    std::vector<Alarm> alarms;
    std::set<std::string> seen;
    for (const auto& [date, events] : days.days) {
        for (const std::shared_ptr<const agendas::Event>& shared : events) {
            const agendas::Event& event = *shared;
            if (!event.alarms) continue;
            const agendas::EventAlarms& own = *event.alarms;
            for (const agendas::EventAlarm& firing : own.alarms) {
                if (firing.fires < from || firing.fires >= to) continue;
                // An event without UID is named by its title and start, as stable.
                const std::string uid = own.uid.empty() ? event.title + "@" + std::to_string(own.startsAt) : own.uid;
                std::string id = AlarmId(uid, own.recurrence, firing.index, firing.repetition);
                if (!seen.insert(id).second) continue;
                alarms.push_back({.id = std::move(id),
                                  .fires = firing.fires,
                                  .startsAt = own.startsAt,
                                  .start = event.start,
                                  .wholeDays = event.WholeDays(),
                                  .title = event.title,
                                  .place = event.location,
                                  .kind = Alarm::Kind(int(firing.kind))});
            }
        }
    }
    std::ranges::sort(alarms, {}, [](const Alarm& alarm) { return std::tie(alarm.fires, alarm.startsAt, alarm.id); });
    return alarms;
}

}  // namespace reminders

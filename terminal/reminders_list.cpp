#include "terminal/reminders_list.h"

#include <cstdio>

#include "calendar/local_zone.h"
#include "reminders/wording.h"
#include "terminal/day_json.h"

namespace {

std::string LocalText(reminders::UnixSeconds instant, char between) {
    const calendar::LocalReading local = calendar::LocalReadingOf(instant);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d%c%02d:%02d", local.year, local.month, local.day, between,
                  local.hour, local.minute);
    return text;
}

std::string StartText(const reminders::Alarm& alarm) {
    char text[32];
    if (alarm.wholeDays) {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", alarm.start.year, alarm.start.month, alarm.start.day);
    } else {
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d", alarm.start.year, alarm.start.month,
                      alarm.start.day, alarm.start.hour, alarm.start.minute);
    }
    return text;
}

const char* ActionWord(reminders::Alarm::Kind kind) {
    switch (kind) {
    case reminders::Alarm::Kind::Audio: return "son";
    case reminders::Alarm::Kind::Email: return "courriel";
    case reminders::Alarm::Kind::Display: break;
    }
    return "affichage";
}

}  // namespace

std::string RemindersText(const std::vector<reminders::Alarm>& alarms) {
    std::string text;
    for (const reminders::Alarm& alarm : alarms) {
        text += LocalText(alarm.fires, ' ') + " " + reminders::AlarmSummary(alarm);
        if (alarm.place && !alarm.place->empty()) text += " — " + *alarm.place;
        text += "\n";
    }
    return text;
}

std::string RemindersJson(const std::vector<reminders::Alarm>& alarms) {
    std::string json = "{\"rappels\":[";
    for (const reminders::Alarm& alarm : alarms) {
        if (json.back() != '[') json += ",";
        json += "{\"quand\":" + JsonString(LocalText(alarm.fires, 'T')) +
                ",\"instant\":" + std::to_string(alarm.fires) + ",\"debut\":" + JsonString(StartText(alarm)) +
                ",\"titre\":" + JsonString(alarm.title) +
                ",\"lieu\":" + (alarm.place ? JsonString(*alarm.place) : std::string("null")) +
                ",\"resume\":" + JsonString(reminders::AlarmSummary(alarm)) +
                ",\"action\":" + JsonString(ActionWord(alarm.kind)) + "}";
    }
    return json + "]}";
}

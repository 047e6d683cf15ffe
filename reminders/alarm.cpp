#include "reminders/alarm.h"

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

}  // namespace reminders

#pragma once
// The French words and numbers that every part of the program writes alike: a date
// in words (« 1er janvier », « le 7 décembre 2025 »), an ordinal (« 1er », « 2e »), a
// count (« 20 000 ») and a size (« 20 Mo »).

#include <cstddef>
#include <optional>
#include <string>

#include "calendar/format_date.h"

namespace calendar {

// The day of a month as French writes it: « 1er » for the first, the number alone
// for the others (« 7 »).
std::string DayOfMonthText(int day);

// An ordinal number: « 1er », « 2e », « 366e ».
std::string OrdinalText(int n);

// A date without its weekday: « 7 décembre », « 1er janvier 2025 » when a year is
// given, with the month names of `names`.
std::string DateInWords(int day, int month, std::optional<int> year = std::nullopt,
                        const LocaleNames& names = FrenchNames());

// A count, its thousands set apart by a blank: « 20 000 », « 999 ». Written here in
// full so that the iCalendar module, which links no library of the program, says its
// counts alike.
inline std::string CountText(std::size_t count) {
    std::string digits = std::to_string(count);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3) digits.insert(std::size_t(at), " ");
    return digits;
}

// « Mo » and « ko » count in powers of ten, as the International System and the
// French file managers of Debian's desktops do: 20 Mo are 20 000 000 bytes.
inline constexpr std::size_t kKilobyte = 1000;
inline constexpr std::size_t kMegabyte = 1000 * kKilobyte;

// A size in whole megabytes, rounded down (« 20 Mo »), in kilobytes below one
// megabyte (« 512 ko »).
std::string SizeText(std::size_t bytes);

}  // namespace calendar

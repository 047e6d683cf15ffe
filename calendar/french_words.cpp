#include "calendar/french_words.h"

#include "calendar/numbers.h"

namespace calendar {

std::string DayOfMonthText(int day) { return day == 1 ? "1er" : NumberText(day); }

std::string OrdinalText(int n) { return NumberText(n) + (n == 1 ? "er" : "e"); }

std::string DateInWords(int day, int month, std::optional<int> year, const LocaleNames& names) {
    std::string text = DayOfMonthText(day) + " " + names.monthNames.at(std::size_t(month - 1));
    if (year) text += " " + NumberText(*year);
    return text;
}

std::string SizeText(std::size_t bytes) {
    return bytes >= kMegabyte ? std::to_string(bytes / kMegabyte) + " Mo" : std::to_string(bytes / kKilobyte) + " ko";
}

}  // namespace calendar

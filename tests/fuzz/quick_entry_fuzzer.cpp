// The quick-add line on any bytes, read at a moment the first two bytes choose in
// 2027: never a crash, and the entry it gives holds together (a real day, an end after
// its start, the parts read inside the phrase and apart, a title and a place in UTF-8
// when the phrase is).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "agendas/quick_entry.h"
#include "fuzz_checks.h"

namespace {

bool IsDay(const agendas::LocalTime& time) {
    namespace chr = std::chrono;
    return chr::year_month_day{chr::year{time.year}, chr::month{unsigned(time.month)}, chr::day{unsigned(time.day)}}
               .ok() &&
           time.hour >= 0 && time.hour < 24 && time.minute >= 0 && time.minute < 60;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const unsigned choice = data[0] * 256u + data[1];  // [0, 65535]
    namespace chr = std::chrono;
    const chr::year_month_day day{chr::sys_days{chr::year{2027} / 1 / 1} + chr::days{choice % 365}};
    const int minutes = int(choice / 365) * 8;  // [0, 1432]
    const agendas::LocalTime now{int(day.year()), int(unsigned(day.month())), int(unsigned(day.day())), minutes / 60,
                                 minutes % 60};
    const std::string_view phrase(reinterpret_cast<const char*>(data) + 2, size - 2);

    const agendas::QuickEntry entry = agendas::ReadQuickEntry(phrase, now);
    if (entry.problem != agendas::QuickEntry::Problem::None) {
        if (agendas::QuickEntryProblemSentence(entry).empty()) fuzz::Fail("a problem without its sentence", phrase);
        return 0;
    }
    if (!agendas::QuickEntryProblemSentence(entry).empty()) fuzz::Fail("a sentence without a problem", phrase);
    if (!IsDay(entry.start) || !IsDay(entry.end)) fuzz::Fail("a start or an end that is no day", phrase);
    if (entry.wholeDay ? entry.start != entry.end : entry.end <= entry.start) {
        fuzz::Fail("an end that is not after its start", phrase);
    }
    std::size_t after = 0;
    for (const agendas::QuickEntryPart& part : entry.understood) {
        if (part.offset < after || part.length == 0 || part.offset + part.length > phrase.size()) {
            fuzz::Fail("a part read that overlaps another or leaves the phrase", phrase);
        }
        after = part.offset + part.length;
    }
    if (fuzz::IsUtf8(phrase) && (!fuzz::IsUtf8(entry.title) || !fuzz::IsUtf8(entry.place.value_or("")))) {
        fuzz::Fail("a title or a place cut inside a character", phrase);
    }
    if (entry.repeatUntil && *entry.repeatUntil < entry.start.Date()) {
        fuzz::Fail("a repetition that ends before it starts", phrase);
    }
    return 0;
}

// The reading of the user's agendas: whatever the bytes, an iCalendar text read by
// libical and its occurrences of a month, or a contacts text, never fail badly; and
// the first pass that leaves out the events far from a month never changes what
// that month shows.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <tuple>

#include "agendas/contacts.h"
#include "agendas/ics/reader.h"
#include "tests/fuzz/fuzz_checks.h"

namespace {

// May 2025, in UTC: the window does not ask the process's zone.
const agendas::Window kMay{.first = {2025, 5, 1}, .next = {2025, 6, 1}, .start = 1746057600, .end = 1748736000};

using Shown =
    std::set<std::tuple<bool, bool, long long, long long, agendas::LocalTime, agendas::LocalTime, std::string>>;

Shown ShownOf(const agendas::Expansion& expansion) {
    Shown shown;
    for (const agendas::Occurrence& o : expansion.occurrences) {
        shown.insert(
            {o.allDay, o.floating, o.startInstant, o.endInstant, o.startWall, o.endWall, std::string(o.title)});
    }
    return shown;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (const agendas::Birthday& birthday : agendas::BirthdaysOf(input)) {
        if (birthday.month < 1 || birthday.month > 12 || birthday.day < 1 || birthday.day > 31) {
            fuzz::Fail("a birthday has no date", input);
        }
        // Whatever the charset the card says, or the bytes it holds, a name is UTF-8.
        if (!fuzz::IsUtf8(birthday.name)) fuzz::Fail("a name that is not UTF-8", input);
        (void)agendas::BirthdayIn(birthday, 2025, "fuzz");
    }
    const agendas::IcsReader& reader = agendas::LibicalReader();
    std::string problem;
    const auto whole = reader.Read(input, std::nullopt, false, problem);
    const auto month = reader.Read(input, kMay, false, problem);
    if (!whole != !month) fuzz::Fail("the first pass changes whether the text is a calendar", input);
    if (!whole) return 0;
    const agendas::Expansion all = whole->Expand(kMay), some = month->Expand(kMay);
    // A budget that ran out may stop the two readings at different places.
    if (!all.problems.empty() || !some.problems.empty()) return 0;
    if (ShownOf(all) != ShownOf(some)) fuzz::Fail("the first pass leaves out an event of the month", input);
    return 0;
}

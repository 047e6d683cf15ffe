// Reads quick-add phrases, one a line on standard input, at the local time given, and
// prints each entry on a line, for the tests that compare it with another reading:
//   print_quick_entries AAAA-MM-JJTHH:MM < PHRASES
// A line: J (whole day) or H, the start and the end (AAAA-MM-JJ for a whole day,
// AAAA-MM-JJTHH:MM otherwise), the title, the place, the repetition (-, jour,
// semaine, mois, an), its last day, its count, then each part read as MEANING:OFFSET+LENGTH,
// separated by tabs; or "!" and the sentence of the problem.

#include <cstdio>
#include <iostream>
#include <string>

#include "agendas/quick_entry.h"

namespace {

std::string Moment(const agendas::LocalTime& time, bool wholeDay) {
    char text[32];
    if (wholeDay) {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", time.year, time.month, time.day);
    } else {
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d", time.year, time.month, time.day, time.hour,
                      time.minute);
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    agendas::LocalTime now;
    if (argc != 2 ||
        std::sscanf(argv[1], "%d-%d-%dT%d:%d", &now.year, &now.month, &now.day, &now.hour, &now.minute) != 5) {
        std::fprintf(stderr, "print_quick_entries AAAA-MM-JJTHH:MM < PHRASES\n");
        return 2;
    }
    constexpr const char* kRepetitions[] = {"-", "jour", "semaine", "mois", "an"};
    constexpr const char* kMeanings[] = {"jour", "heure", "journee", "repetition", "fin", "lieu"};
    std::string phrase;
    while (std::getline(std::cin, phrase)) {
        const agendas::QuickEntry entry = agendas::ReadQuickEntry(phrase, now);
        if (entry.problem != agendas::QuickEntry::Problem::None) {
            std::printf("!\t%s\n", agendas::QuickEntryProblemSentence(entry).c_str());
            continue;
        }
        std::string line =
            std::string(entry.wholeDay ? "J" : "H") + "\t" + Moment(entry.start, entry.wholeDay) + "\t" +
            Moment(entry.end, entry.wholeDay) + "\t" + entry.title + "\t" + entry.place.value_or("") + "\t" +
            kRepetitions[int(entry.repetition)] + "\t" +
            (entry.repeatUntil
                 ? Moment({entry.repeatUntil->year, entry.repeatUntil->month, entry.repeatUntil->day, 0, 0}, true)
                 : "") +
            "\t" + (entry.repeatCount ? std::to_string(*entry.repeatCount) : "");
        for (const agendas::QuickEntryPart& part : entry.understood) {
            line += "\t" + std::string(kMeanings[int(part.meaning)]) + ":" + std::to_string(part.offset) + "+" +
                    std::to_string(part.length);
        }
        std::printf("%s\n", line.c_str());
    }
    return 0;
}

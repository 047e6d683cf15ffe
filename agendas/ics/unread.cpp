#include "agendas/ics/unread.h"

#include "agendas/ics_reader.h"
#include "calendar/french_words.h"

namespace agendas {

namespace {

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

// The property that libical could not read and left out, as its X-LIC-ERROR names
// it ("… in RRULE property. Removing entire property: …"); empty for another error.
std::string UnreadProperty(icalcomponent* event) {
    for (icalproperty* error = icalcomponent_get_first_property(event, ICAL_XLICERROR_PROPERTY); error != nullptr;
         error = icalcomponent_get_next_property(event, ICAL_XLICERROR_PROPERTY)) {
        const std::string text = Text(icalproperty_get_xlicerror(error));
        for (const char* name : {"RRULE", "RDATE", "EXDATE", "DTSTART", "DTEND", "DURATION", "RECURRENCE-ID"}) {
            if (text.find(std::string(" ") + name + " property") != std::string::npos) return name;
        }
    }
    return {};
}

}  // namespace

void UnreadValues::Add(icalcomponent* event) {
    if (const std::string property = UnreadProperty(event); !property.empty() && count_++ == 0) {
        first_ = "la valeur " + property + " de « " + Text(icalcomponent_get_summary(event)) + " »";
    }
}

void UnreadValues::Say(std::vector<std::string>& problems) const {
    if (count_ == 0) return;
    problems.push_back(first_ + (count_ > 1 ? " et " + calendar::CountText(count_ - 1) +
                                                  " autres ne sont pas comprises : elles sont laissées de côté"
                                            : " n'est pas comprise : elle est laissée de côté"));
}

}  // namespace agendas

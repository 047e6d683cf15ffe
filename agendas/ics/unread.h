#pragma once
// The values of a calendar's events that libical could not read and left out, each
// marked by an X-LIC-ERROR property: said in one French sentence for the whole
// text, the first named, the others counted, whether the events are read at once
// or a batch at a time.

#include <libical/ical.h>

#include <cstddef>
#include <string>
#include <vector>

namespace agendas {

class UnreadValues {
public:
    // One event, in the order of the text.
    void Add(icalcomponent* event);
    // « la valeur RRULE de « Réunion » et 2 autres ne sont pas comprises : elles sont
    // laissées de côté », when some value was left out.
    void Say(std::vector<std::string>& problems) const;

private:
    std::string first_;
    std::size_t count_ = 0;
};

}  // namespace agendas

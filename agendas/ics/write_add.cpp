#include "agendas/ics/write_add.h"

#include <libical/ical.h>

#include <algorithm>

#include "agendas/ics/blocks.h"

namespace agendas::ics {

namespace {

// A kind of component that libical leaves out of its tree (« BEGIN:X-… » and the
// names it does not know): a file holding one is left as it is, as the other writings
// leave it, so that a calendar either takes every change or none.
bool KnownToLibical(const std::string& kind) {
    const icalcomponent_kind known = icalcomponent_string_to_kind(kind.c_str());
    return known != ICAL_NO_COMPONENT && known != ICAL_X_COMPONENT;
}

// Whether the file's VTIMEZONEs, as libical reads them, hold one named `zone`. libical
// reads their own properties alone: their observances, which name no zone and which
// it would check rule by rule, are left out.
bool HoldsZone(const std::vector<std::string>& zoneHeads, const std::string& zone) {
    if (zoneHeads.empty()) return false;
    std::string text = "BEGIN:VCALENDAR\r\n";
    for (const std::string& head : zoneHeads) {
        text.append("BEGIN:VTIMEZONE\r\n").append(head).append("END:VTIMEZONE\r\n");
    }
    text += "END:VCALENDAR\r\n";
    icalcomponent* root = icalparser_parse_string(text.c_str());
    if (root == nullptr) return false;
    const bool held = icalcomponent_get_timezone(root, zone.c_str()) != nullptr;
    icalcomponent_free(root);
    return held;
}

}  // namespace

Splice SpliceOf(std::string_view text, const std::string& uid, const WritingStamp& stamp) {
    Splice splice;
    // An empty file (made by `touch`, then marked « modifiable ») is the user's new
    // calendar: it becomes the new one whole.
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        splice.blank = true;
        return splice;
    }
    const IcsBlocks blocks = IcsBlocksForAdding(text, uid);
    // A text cut short, or holding anything but one VCALENDAR, is not one calendar as
    // libical reads it either: it would wrap several in a root of its own.
    if (!blocks.calendar || blocks.outermost != 1 || blocks.truncated || blocks.calendarEnd == std::string_view::npos) {
        splice.problem = "n'est pas un seul agenda iCalendar : il n'est pas modifié";
        return splice;
    }
    // BEGIN and END lines that do not pair may be nested by libical otherwise than the
    // first pass reads them, the new event inside another.
    if (blocks.irregular || !std::ranges::all_of(blocks.kinds, KnownToLibical)) {
        splice.problem = "a des lignes que la lecture ne comprend pas : il n'est pas modifié, pour n'en rien perdre";
        return splice;
    }
    if (blocks.holdsUid) {
        splice.problem = "a déjà un évènement « " + uid + " »";
        return splice;
    }
    splice.at = blocks.calendarEnd;
    splice.crLf = splice.at >= 2 && text[splice.at - 2] == '\r';
    splice.zoneHeld = !stamp.zone.empty() && HoldsZone(blocks.zoneHeads, stamp.zone);
    splice.timezones = blocks.timezones;
    return splice;
}

std::string Splice::Inserted(std::string_view added) const {
    if (blank) return std::string(added);
    const IcsBlocks blocks = IcsBlocksOf(added);
    std::string inserted;
    for (const auto* components : {&blocks.timezones, &blocks.kept}) {
        for (const std::string_view block : *components) {
            // libical ends each line, the folded ones too, with CR LF.
            for (std::size_t from = 0; from < block.size();) {
                const std::size_t crLfAt = std::min(block.find("\r\n", from), block.size());
                inserted.append(block.substr(from, crLfAt - from)).append(crLf ? "\r\n" : "\n");
                from = crLfAt + 2;
            }
        }
    }
    return inserted;
}

std::string Splice::Touched(std::string_view added) const {
    const IcsBlocks blocks = IcsBlocksOf(added);
    std::string touched = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Solvane//Agenda//FR\r\n";
    for (const auto* components : {&timezones, &blocks.timezones, &blocks.kept}) {
        for (const std::string_view block : *components) touched.append(block).append("\r\n");
    }
    return touched + "END:VCALENDAR\r\n";
}

}  // namespace agendas::ics

// The writer of the module solvane-ical.so (ics_writer.h). A change or a removal: the
// whole text parsed by libical, the one event changed in the tree, the tree written
// back, every other component as libical writes it, with all its properties and
// parameters. An addition leaves the text as it is and splices the new event into it
// (write_add.h).

#include <libical/ical.h>

#include <strings.h>
#include <algorithm>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>

#include "agendas/ics/write_add.h"
#include "agendas/ics/write_fields.h"
#include "agendas/ics/write_reading.h"
#include "agendas/ics/write_series.h"
#include "agendas/ics/writer.h"

namespace agendas {

namespace ics {
extern std::mutex libicalMutex;  // read.cpp: libical keeps state of its own
}  // namespace ics

namespace {

using namespace ics;

TextChange Refused(const std::string& problem) {
    TextChange change;
    change.problem = problem;
    return change;
}

TextChange Written(std::string text, std::string title) {
    TextChange change;
    change.text = std::move(text);
    change.title = std::move(title);
    return change;
}

struct Tree {
    icalcomponent* root = nullptr;
    ~Tree() {
        if (root != nullptr) icalcomponent_free(root);
    }
};

bool HasParseErrors(icalcomponent* component) {
    if (icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY) != nullptr) return true;
    for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); child != nullptr;
         child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        if (HasParseErrors(child)) return true;
    }
    return false;
}

std::string TextOf(icalcomponent* root) {
    char* text = icalcomponent_as_ical_string_r(root);
    std::string result = text != nullptr ? text : "";
    std::free(text);
    return result;
}

int ComponentsIn(icalcomponent* component) {
    int count = 1;
    for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); child != nullptr;
         child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        count += ComponentsIn(child);
    }
    return count;
}

// The components the text begins: a line "BEGIN:" each.
int ComponentsWritten(std::string_view text) {
    int count = 0;
    for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
        if (text.size() - at >= 6 && strncasecmp(text.data() + at, "BEGIN:", 6) == 0) ++count;
        if (text.find('\n', at) == std::string_view::npos) break;
    }
    return count;
}

const char* const kNotReadWhole =
    "a des lignes que la lecture ne comprend pas : il n'est pas modifié, pour n'en rien perdre";

// The calendar of `text`, or the reason it is not changed: a text that libical does
// not read whole would lose what it skipped (a line it cannot read, or a component
// of a kind it does not know, « BEGIN:X-… », which it leaves out of its tree).
std::string Parse(std::string_view text, Tree& tree) {
    const std::string copy(text);
    tree.root = icalparser_parse_string(copy.c_str());
    if (tree.root == nullptr || icalcomponent_isa(tree.root) != ICAL_VCALENDAR_COMPONENT) {
        return "n'est pas un seul agenda iCalendar : il n'est pas modifié";
    }
    if (HasParseErrors(tree.root) || ComponentsIn(tree.root) != ComponentsWritten(text)) return kNotReadWhole;
    return {};
}

// The text of the changed calendar, or nothing when libical's writer would leave out a
// component that its tree holds (one of a kind it does not know, « BEGIN:X-… »): the
// file is then not changed. Checked on the text to be written, which a large file
// costs the writing of once.
std::optional<std::string> WholeTextOf(icalcomponent* root) {
    std::string text = TextOf(root);
    if (ComponentsWritten(text) != ComponentsIn(root)) return std::nullopt;
    return text;
}

std::string UidOf(icalcomponent* event) {
    const char* uid = icalcomponent_get_uid(event);
    return uid != nullptr ? uid : "";
}

bool IsOverride(icalcomponent* event) {
    return icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY) != nullptr;
}

std::vector<icalcomponent*> EventsOf(icalcomponent* root, const std::string& uid) {
    std::vector<icalcomponent*> events;
    if (uid.empty()) return events;  // names no event: every one without a UID would match
    for (icalcomponent* event = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT); event != nullptr;
         event = icalcomponent_get_next_component(root, ICAL_VEVENT_COMPONENT)) {
        if (UidOf(event) == uid) events.push_back(event);
    }
    return events;
}

// A calendar of the root's VTIMEZONEs and of its events of `uids`, as they are now.
std::string TouchedText(icalcomponent* root, const std::vector<std::string>& uids) {
    icalcomponent* touched = icalcomponent_new_vcalendar();
    icalcomponent_add_property(touched, icalproperty_new_version("2.0"));
    for (icalcomponent* zone = icalcomponent_get_first_component(root, ICAL_VTIMEZONE_COMPONENT); zone != nullptr;
         zone = icalcomponent_get_next_component(root, ICAL_VTIMEZONE_COMPONENT)) {
        icalcomponent_add_component(touched, icalcomponent_new_clone(zone));
    }
    for (const std::string& uid : uids) {
        for (icalcomponent* event : EventsOf(root, uid))
            icalcomponent_add_component(touched, icalcomponent_new_clone(event));
    }
    std::string text = TextOf(touched);
    icalcomponent_free(touched);
    return text;
}

void AddZoneIfMissing(icalcomponent* root, const WritingStamp& stamp) {
    if (stamp.zone.empty() || icalcomponent_get_timezone(root, stamp.zone.c_str()) != nullptr) return;
    if (icalcomponent* zone = ZoneComponent(stamp)) icalcomponent_add_component(root, zone);
}

icalcomponent* NewEvent(const EventFields& fields, const std::string& uid, const WritingStamp& stamp) {
    icalcomponent* event = icalcomponent_new_vevent();
    icalcomponent_add_property(event, icalproperty_new_uid(uid.c_str()));
    Stamp(event, stamp, true);
    SetFields(event, fields, stamp, true);
    return event;
}

icalcomponent* NewCalendar() {
    icalcomponent* root = icalcomponent_new_vcalendar();
    icalcomponent_add_property(root, icalproperty_new_version("2.0"));
    icalcomponent_add_property(root, icalproperty_new_prodid("-//Solvane//Agenda//FR"));
    return root;
}

struct Located {
    icalcomponent* series = nullptr;     // the event without RECURRENCE-ID
    std::vector<icalcomponent*> all;     // it and its overrides
    std::optional<icaltimetype> target;  // the occurrence, in the series' frame
    Place place;
    std::string problem;
    // Whether the change takes the whole series: all of it asked, an event that does
    // not repeat, or « celle-ci et les suivantes » from its first occurrence.
    bool WholeSeries(Scope scope) const { return !target || (scope == Scope::ThisAndFollowing && place.first); }
};

Located Locate(icalcomponent* root, const std::string& uid, const std::optional<OccurrenceStart>& which, Scope scope,
               const WritingStamp& stamp) {
    Located located;
    located.all = EventsOf(root, uid);
    for (icalcomponent* event : located.all)
        if (!IsOverride(event)) located.series = event;
    if (located.series == nullptr) {
        located.problem = "n'a pas d'évènement « " + uid + " » : il a été changé ou supprimé entre-temps";
        return located;
    }
    if (scope == Scope::All || !which || !Repeats(located.series)) return located;
    const icaltimetype start = SeriesStart(root, located.series);
    located.target = InFrameOf(start, *which, stamp);
    located.place = PlaceInSeries(root, located.series, start, *located.target);
    if (!located.place.found) located.problem = "n'a pas cette occurrence de l'évènement : rien n'est changé";
    return located;
}

// The text parsed into `tree` and the event `uid` found in it, or the reason nothing
// is changed.
std::string Open(std::string_view text, const std::string& uid, const std::optional<OccurrenceStart>& which,
                 Scope scope, const WritingStamp& stamp, Tree& tree, Located& found) {
    if (std::string problem = Parse(text, tree); !problem.empty()) return problem;
    found = Locate(tree.root, uid, which, scope, stamp);
    return found.problem;
}

class IcsFileWriter final : public IcsWriter {
public:
    TextChange NewFile(const EventFields& fields, const std::string& uid, const WritingStamp& stamp) const override {
        const std::lock_guard lock(libicalMutex);
        Tree tree{NewCalendar()};
        AddZoneIfMissing(tree.root, stamp);
        icalcomponent_add_component(tree.root, NewEvent(fields, uid, stamp));
        return Written(TextOf(tree.root), fields.title);
    }

    TextChange Add(std::string_view text, const EventFields& fields, const std::string& uid,
                   const WritingStamp& stamp) const override {
        const std::lock_guard lock(libicalMutex);
        const Splice splice = SpliceOf(text, uid, stamp);
        if (!splice.problem.empty()) return Refused(splice.problem);
        Tree added{NewCalendar()};
        if (!splice.zoneHeld) AddZoneIfMissing(added.root, stamp);
        icalcomponent_add_component(added.root, NewEvent(fields, uid, stamp));
        // The new event read back whole by libical, alone in its calendar.
        const std::string addedText = TextOf(added.root);
        Tree readBack;
        if (!Parse(addedText, readBack).empty() || EventsOf(readBack.root, uid).size() != 1)
            return Refused(kNotReadWhole);
        TextChange change = Written(splice.Inserted(addedText), fields.title);
        if (!splice.blank) change.insertedAt = splice.at;
        change.touchedUids = {uid};
        change.touchedText = splice.Touched(addedText);
        return change;
    }

    TextChange Change(std::string_view text, const std::string& uid, const std::optional<OccurrenceStart>& which,
                      Scope scope, const EventFields& fields, const std::string& newUid, bool oneFile,
                      const WritingStamp& stamp) const override {
        return Edited(text, uid, which, scope, stamp, [&](Tree& tree, const Located& found, TextChange& change) {
            AddZoneIfMissing(tree.root, stamp);
            if (found.WholeSeries(scope)) {
                const icaltimetype oldStart = SeriesStart(tree.root, found.series);
                Stamp(found.series, stamp, false);
                SetSeriesFields(tree.root, found.series, fields, stamp);
                FollowTheStart(tree.root, found.series, found.all, oldStart);
            } else if (scope == Scope::ThisOccurrence) {
                ChangeOne(tree.root, found, fields, stamp);
            } else {
                EventFields following = fields;
                icalproperty* rule = icalcomponent_get_first_property(found.series, ICAL_RRULE_PROPERTY);
                const int count = rule != nullptr ? icalproperty_get_rrule(rule).count : 0;
                // « 10 fois » kept by the dialog means the ten of the whole series.
                if (count > 0 && fields.repeatCount == count)
                    following.repeatCount = std::max(1, count - found.place.before);
                Stamp(found.series, stamp, false);
                if (oneFile) {
                    SplitOff(tree.root, found.series, found.all, *found.target, following, newUid, stamp, tree.root);
                    change.touchedUids.push_back(newUid);
                } else {
                    Tree own{NewCalendar()};
                    AddZoneIfMissing(own.root, stamp);
                    SplitOff(tree.root, found.series, found.all, *found.target, following, newUid, stamp, own.root);
                    change.newSeriesUid = newUid;
                    change.newSeriesText = TextOf(own.root);
                }
            }
        });
    }

    TextChange Remove(std::string_view text, const std::string& uid, const std::optional<OccurrenceStart>& which,
                      Scope scope, const WritingStamp& stamp) const override {
        return Edited(text, uid, which, scope, stamp, [&](Tree& tree, const Located& found, TextChange& change) {
            if (found.WholeSeries(scope)) {
                for (icalcomponent* event : found.all) {
                    icalcomponent_remove_component(tree.root, event);
                    icalcomponent_free(event);
                }
            } else if (scope == Scope::ThisOccurrence) {
                RemoveOverridesFrom(tree.root, found.all, *found.target, true);
                icalcomponent_add_property(found.series,
                                           InSeriesFrame(found.series, ICAL_EXDATE_PROPERTY, *found.target));
                Stamp(found.series, stamp, false);
            } else {
                RemoveOverridesFrom(tree.root, found.all, *found.target, false);
                EndBefore(tree.root, found.series, *found.target);
                Stamp(found.series, stamp, false);
            }
            change.noEventLeft = icalcomponent_get_first_component(tree.root, ICAL_VEVENT_COMPONENT) == nullptr;
        });
    }

    WrittenEvent FieldsOf(std::string_view text, const std::string& uid,
                          const std::optional<OccurrenceStart>& which) const override {
        return ics::FieldsOf(text, uid, which);
    }

    std::vector<std::string> Uids(std::string_view text) const override {
        const std::lock_guard lock(libicalMutex);
        Tree tree;
        std::vector<std::string> uids;
        Parse(text, tree);
        if (tree.root == nullptr) return uids;
        for (icalcomponent* event = icalcomponent_get_first_component(tree.root, ICAL_VEVENT_COMPONENT);
             event != nullptr; event = icalcomponent_get_next_component(tree.root, ICAL_VEVENT_COMPONENT)) {
            std::string uid = UidOf(event);
            if (std::find(uids.begin(), uids.end(), uid) == uids.end()) uids.push_back(std::move(uid));
        }
        return uids;
    }

private:
    static std::string Text(const char* text) { return text != nullptr ? text : ""; }

    // The event `uid` of `text` opened at the occurrence `which`, changed by
    // `edit`, and the whole calendar given back; or why nothing can be written.
    template <typename Edit>
    static TextChange Edited(std::string_view text, const std::string& uid, const std::optional<OccurrenceStart>& which,
                             Scope scope, const WritingStamp& stamp, Edit edit) {
        const std::lock_guard lock(libicalMutex);
        Tree tree;
        Located found;
        if (std::string problem = Open(text, uid, which, scope, stamp, tree, found); !problem.empty())
            return Refused(problem);
        TextChange change = Written({}, Text(icalcomponent_get_summary(found.series)));
        edit(tree, found, change);
        std::optional<std::string> written = WholeTextOf(tree.root);
        if (!written) return Refused(kNotReadWhole);
        change.text = std::move(*written);
        change.touchedUids.insert(change.touchedUids.begin(), uid);
        change.touchedText = TouchedText(tree.root, change.touchedUids);
        return change;
    }

    // One occurrence changed: its override changed, or a new one made from the series
    // without its rules.
    static void ChangeOne(icalcomponent* root, const Located& found, const EventFields& fields,
                          const WritingStamp& stamp) {
        for (icalcomponent* event : found.all) {
            icalproperty* id = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
            if (id == nullptr || !SameWall(icalproperty_get_recurrenceid(id), *found.target)) continue;
            Stamp(event, stamp, false);
            SetFields(event, fields, stamp, false);
            return;
        }
        icalcomponent* event = icalcomponent_new_clone(found.series);
        for (const icalproperty_kind kind : {ICAL_RRULE_PROPERTY, ICAL_RDATE_PROPERTY, ICAL_EXDATE_PROPERTY}) {
            while (icalproperty* property = icalcomponent_get_first_property(event, kind)) {
                icalcomponent_remove_property(event, property);
                icalproperty_free(property);
            }
        }
        icalcomponent_add_property(event, InSeriesFrame(found.series, ICAL_RECURRENCEID_PROPERTY, *found.target));
        Stamp(event, stamp, false);
        SetFields(event, fields, stamp, false);
        icalcomponent_add_component(root, event);
    }
};

}  // namespace

const IcsWriter& LibicalWriter() {
    static const IcsFileWriter writer;
    return writer;
}

}  // namespace agendas

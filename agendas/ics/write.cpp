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
#include "agendas/ics/writer.h"

namespace agendas {

namespace ics {
extern std::mutex libicalMutex;  // read.cpp: libical keeps state of its own
}  // namespace ics

namespace {

using namespace ics;

// Steps of a rule walked to find an occurrence: far past any series a person keeps.
constexpr int kMostSteps = 200'000;

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
    for (icalcomponent* event = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT); event != nullptr;
         event = icalcomponent_get_next_component(root, ICAL_VEVENT_COMPONENT)) {
        if (UidOf(event) == uid) events.push_back(event);
    }
    return events;
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

// Sets `property` (a RECURRENCE-ID or an EXDATE) to `time` in the frame of the
// series' DTSTART: the same TZID parameter, the same kind of value. Its other
// parameters (RANGE…) stay.
void SetInSeriesFrame(icalproperty* property, icalcomponent* series, const icaltimetype& time) {
    icalproperty* start = icalcomponent_get_first_property(series, ICAL_DTSTART_PROPERTY);
    icalproperty_remove_parameter_by_kind(property, ICAL_TZID_PARAMETER);
    icalproperty_remove_parameter_by_kind(property, ICAL_VALUE_PARAMETER);
    icalproperty_set_value(property, time.is_date ? icalvalue_new_date(time) : icalvalue_new_datetime(time));
    if (time.is_date) icalproperty_add_parameter(property, icalparameter_new_value(ICAL_VALUE_DATE));
    if (icalparameter* tzid = icalproperty_get_first_parameter(start, ICAL_TZID_PARAMETER); tzid && !time.is_date)
        icalproperty_add_parameter(property, icalparameter_new_clone(tzid));
}

icalproperty* InSeriesFrame(icalcomponent* series, icalproperty_kind kind, const icaltimetype& time) {
    icalproperty* property = icalproperty_new(kind);
    SetInSeriesFrame(property, series, time);
    return property;
}

// The time of `property` (a DTSTART, a RECURRENCE-ID, an EXDATE) with its zone.
icaltimetype ZonedValue(icalcomponent* root, icalproperty* property) {
    return ics::ZonedValue(root, property, icalvalue_get_datetimedate(icalproperty_get_value(property)));
}

icaltimetype SeriesStart(icalcomponent* root, icalcomponent* series) {
    return ZonedValue(root, icalcomponent_get_first_property(series, ICAL_DTSTART_PROPERTY));
}

// The occurrence `which` (a local time of the machine) in the frame of the series' start.
icaltimetype InFrameOf(const icaltimetype& seriesStart, const OccurrenceStart& which, const WritingStamp& stamp) {
    if (seriesStart.is_date) return DateOf(which.start.Date());
    const icaltimetype local = ZonedTime(which.start, WritingZone(stamp));
    if (seriesStart.zone == nullptr && !icaltime_is_utc(seriesStart)) {  // floating: the wall reading
        icaltimetype wall = local;
        wall.zone = nullptr;
        return wall;
    }
    auto* zone =
        icaltime_is_utc(seriesStart) ? icaltimezone_get_utc_timezone() : const_cast<icaltimezone*>(seriesStart.zone);
    return icaltime_convert_to_zone(local, zone);
}

bool SameWall(const icaltimetype& a, const icaltimetype& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day &&
           (a.is_date || b.is_date || (a.hour == b.hour && a.minute == b.minute && a.second == b.second));
}

// How many occurrences of the series' rule come before `target`, and whether `target`
// is one of them (the start itself counts).
struct Place {
    int before = 0;
    bool found = false;
};
Place PlaceInSeries(icalcomponent* series, const icaltimetype& start, const icaltimetype& target) {
    icalproperty* rule = icalcomponent_get_first_property(series, ICAL_RRULE_PROPERTY);
    if (rule == nullptr) return {.before = 0, .found = SameWall(start, target)};
    std::unique_ptr<icalrecur_iterator, decltype(&icalrecur_iterator_free)> steps(
        icalrecur_iterator_new(icalproperty_get_rrule(rule), start), icalrecur_iterator_free);
    Place place;
    if (!steps) return place;
    for (int step = 0; step < kMostSteps; ++step) {
        const icaltimetype next = icalrecur_iterator_next(steps.get());
        if (icaltime_is_null_time(next)) break;
        if (SameWall(next, target)) return {.before = place.before, .found = true};
        if (icaltime_compare(next, target) > 0) break;
        ++place.before;
    }
    return place;
}

void RemoveOverridesFrom(icalcomponent* root, const std::vector<icalcomponent*>& events, const icaltimetype& from,
                         bool onlyThisOne) {
    for (icalcomponent* event : events) {
        icalproperty* id = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
        if (id == nullptr) continue;
        const icaltimetype when = icalproperty_get_recurrenceid(id);
        const bool taken =
            onlyThisOne ? SameWall(when, from) : (SameWall(when, from) || icaltime_compare(when, from) > 0);
        if (!taken) continue;
        icalcomponent_remove_component(root, event);
        icalcomponent_free(event);
    }
}

// Ends the series before `target`: UNTIL one second (a day, for dates) before it, in
// UTC for a zoned start; COUNT dropped, RDATEs from `target` on dropped, and the
// EXDATEs that would name no occurrence of the shorter series (RFC 5545 3.8.5.1).
void EndBefore(icalcomponent* root, icalcomponent* series, const icaltimetype& target) {
    icalproperty* rule = icalcomponent_get_first_property(series, ICAL_RRULE_PROPERTY);
    icalrecurrencetype recurrence = icalproperty_get_rrule(rule);
    icaltimetype until = target;
    if (until.is_date) {
        icaltime_adjust(&until, -1, 0, 0, 0);
    } else {
        icaltime_adjust(&until, 0, 0, 0, -1);
        if (until.zone != nullptr) until = icaltime_convert_to_zone(until, icaltimezone_get_utc_timezone());
    }
    recurrence.until = until;
    recurrence.count = 0;
    icalproperty_set_rrule(rule, recurrence);
    for (icalproperty* extra = icalcomponent_get_first_property(series, ICAL_RDATE_PROPERTY); extra != nullptr;) {
        icalproperty* next = icalcomponent_get_next_property(series, ICAL_RDATE_PROPERTY);
        const icaltimetype when = icalproperty_get_rdate(extra).time;
        if (!icaltime_is_null_time(when) && icaltime_compare(when, target) >= 0) {
            icalcomponent_remove_property(series, extra);
            icalproperty_free(extra);
        }
        extra = next;
    }
    for (icalproperty* excluded = icalcomponent_get_first_property(series, ICAL_EXDATE_PROPERTY);
         excluded != nullptr;) {
        icalproperty* next = icalcomponent_get_next_property(series, ICAL_EXDATE_PROPERTY);
        const icaltimetype when = ZonedValue(root, excluded);
        if (SameWall(when, target) || icaltime_compare(when, target) > 0) {
            icalcomponent_remove_property(series, excluded);
            icalproperty_free(excluded);
        }
        excluded = next;
    }
}

struct Located {
    icalcomponent* series = nullptr;     // the event without RECURRENCE-ID
    std::vector<icalcomponent*> all;     // it and its overrides
    std::optional<icaltimetype> target;  // the occurrence, in the series' frame
    Place place;
    std::string problem;
    // Whether the change takes the whole series: all of it asked, an event that does
    // not repeat, or « celle-ci et les suivantes » from its first occurrence.
    bool WholeSeries(Scope scope) const { return !target || (scope == Scope::ThisAndFollowing && place.before == 0); }
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
    const bool repeated = icalcomponent_get_first_property(located.series, ICAL_RRULE_PROPERTY) != nullptr;
    if (scope == Scope::All || !which || !repeated) return located;
    const icaltimetype start = SeriesStart(root, located.series);
    located.target = InFrameOf(start, *which, stamp);
    located.place = PlaceInSeries(located.series, start, *located.target);
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

// The wall reading of `time` in the frame of `frame` (the same instant in its zone;
// the reading itself when either floats or is a date), as a floating date-time.
icaltimetype WallIn(icaltimetype time, const icaltimetype& frame) {
    if (!time.is_date && !frame.is_date && frame.zone != nullptr && time.zone != nullptr)
        time = icaltime_convert_to_zone(time, const_cast<icaltimezone*>(frame.zone));
    time.is_date = 0;
    time.zone = nullptr;
    return time;
}

// After the whole series was changed from `oldStart`, each EXDATE and RECURRENCE-ID
// moves as the start moved, so that it names the same occurrence: RFC 5545 (3.8.5.1,
// 3.8.4.4) has them name occurrences of the series, and one left at the old times
// would bring back an occurrence the user removed or doubled one the user changed.
// One that names no occurrence of the new series (a shorter or another rule) goes,
// with its override; the file as it was is in the safety net.
void FollowTheStart(icalcomponent* root, const Located& found, const icaltimetype& oldStart) {
    const icaltimetype newStart = SeriesStart(root, found.series);
    const time_t moved = icaltime_as_timet(WallIn(newStart, newStart)) - icaltime_as_timet(WallIn(oldStart, newStart));
    const auto follows = [&](icalproperty* property) {
        icaltimetype time = WallIn(ZonedValue(root, property), newStart);
        icaltime_adjust(&time, int(moved / 86400), 0, 0, int(moved % 86400));
        if (newStart.is_date) {
            time = DateOf({time.year, time.month, time.day});
        } else {
            time.zone = newStart.zone;
        }
        if (!PlaceInSeries(found.series, newStart, time).found) return false;
        SetInSeriesFrame(property, found.series, time);
        return true;
    };
    std::vector<icalproperty*> excluded;
    for (icalproperty* property = icalcomponent_get_first_property(found.series, ICAL_EXDATE_PROPERTY);
         property != nullptr; property = icalcomponent_get_next_property(found.series, ICAL_EXDATE_PROPERTY)) {
        excluded.push_back(property);
    }
    for (icalproperty* property : excluded) {
        if (follows(property)) continue;
        icalcomponent_remove_property(found.series, property);
        icalproperty_free(property);
    }
    for (icalcomponent* event : found.all) {
        icalproperty* id = icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY);
        if (id == nullptr || follows(id)) continue;
        icalcomponent_remove_component(root, event);
        icalcomponent_free(event);
    }
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
        return Written(splice.With(addedText), fields.title);
    }

    TextChange Change(std::string_view text, const std::string& uid, const std::optional<OccurrenceStart>& which,
                      Scope scope, const EventFields& fields, const std::string& newUid, bool oneFile,
                      const WritingStamp& stamp) const override {
        return Edited(text, uid, which, scope, stamp, [&](Tree& tree, const Located& found, TextChange& change) {
            AddZoneIfMissing(tree.root, stamp);
            if (found.WholeSeries(scope)) {
                const icaltimetype oldStart = SeriesStart(tree.root, found.series);
                Stamp(found.series, stamp, false);
                SetFields(found.series, fields, stamp, true);
                FollowTheStart(tree.root, found, oldStart);
            } else if (scope == Scope::ThisOccurrence) {
                ChangeOne(tree.root, found, fields, stamp);
            } else {
                EventFields following = fields;
                icalproperty* rule = icalcomponent_get_first_property(found.series, ICAL_RRULE_PROPERTY);
                const int count = icalproperty_get_rrule(rule).count;
                // « 10 fois » kept by the dialog means the ten of the whole series.
                if (count > 0 && fields.repeatCount == count)
                    following.repeatCount = std::max(1, count - found.place.before);
                RemoveOverridesFrom(tree.root, found.all, *found.target, false);
                EndBefore(tree.root, found.series, *found.target);
                Stamp(found.series, stamp, false);
                icalcomponent* series = NewEvent(following, newUid, stamp);
                if (oneFile) {
                    icalcomponent_add_component(tree.root, series);
                } else {
                    Tree own{NewCalendar()};
                    AddZoneIfMissing(own.root, stamp);
                    icalcomponent_add_component(own.root, series);
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

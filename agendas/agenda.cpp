#include "agendas/agenda.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <unordered_map>
#include <utility>

#include "agendas/source_reading.h"
#include "calendar/civil_days.h"
#include "calendar/local_zone.h"
#include "calendar/utf8_text.h"

namespace agendas {

namespace {

// The months whose events are kept: the window shows six weeks across three, and
// the page before or after two of them. Each month of a busy agenda holds thousands
// of events, which the days asked point to.
constexpr std::size_t kKeptMonths = 3;
LocalDate FirstOfMonth(int year, int month) { return {year, month, 1}; }

LocalDate FirstOfNextMonth(int year, int month) {
    return month == 12 ? LocalDate{year + 1, 1, 1} : LocalDate{year, month + 1, 1};
}

Window WindowOf(LocalDate first, LocalDate next) {
    return {.first = first,
            .next = next,
            .start = calendar::LocalDayOf(first.year, first.month, first.day).start,
            .end = calendar::LocalDayOf(next.year, next.month, next.day).start};
}

// The firings of the occurrence's alarms; none when its times are past the zone's.
std::shared_ptr<const EventAlarms> AlarmsOf(const Occurrence& occurrence) {
    auto alarms = std::make_shared<EventAlarms>();
    alarms->uid = std::string(occurrence.uid);
    alarms->recurrence = occurrence.recurrence;
    const std::optional<Instant> start =
        occurrence.allDay || occurrence.floating ? InstantOfLocal(occurrence.startWall) : occurrence.startInstant;
    if (!start) return nullptr;
    alarms->startsAt = *start;
    for (const OccurrenceAlarm& alarm : occurrence.alarms) {
        std::optional<Instant> first = alarm.at;
        if (alarm.wall) first = InstantOfLocal(alarm.atWall);
        if (!first) continue;
        if (alarm.wall) *first += alarm.at;
        for (int repetition = 0; repetition <= alarm.repeat; ++repetition) {
            alarms->alarms.push_back({.index = alarm.index,
                                      .repetition = repetition,
                                      .kind = EventAlarm::Kind(int(alarm.kind)),
                                      .fires = *first + repetition * alarm.repeatSeconds});
        }
    }
    return alarms;
}

// Where the occurrence of a writable calendar's file is written.
std::shared_ptr<const EventOrigin> OriginOf(const Occurrence& occurrence, const std::string& calendar,
                                            const std::string& file) {
    auto origin = std::make_shared<EventOrigin>();
    origin->calendar = calendar;
    origin->file = file;
    origin->uid = std::string(occurrence.uid);
    if (occurrence.recurrence.empty()) return origin;
    if (!occurrence.recurrenceZoned) {
        origin->occurrence = occurrence.recurrenceWall;
    } else if (const std::optional<LocalTime> start = LocalOfInstant(occurrence.recurrenceInstant)) {
        origin->occurrence = *start;
    } else {
        return nullptr;
    }
    return origin;
}

// What the occurrences of one window share as they become events: the machine zone's
// offset, asked of the system once a day rather than twice an occurrence, and the
// title and place of the series whose occurrences come one after another, cleaned
// once.
class OccurrenceReading {
public:
    std::optional<LocalTime> LocalOf(Instant instant) {
        const long long day = DayOf(instant);
        const std::optional<int> offset = OffsetOf(day);
        if (!offset) return LocalOfInstant(instant);
        const long long local = instant + *offset, seconds = local - DayOf(local) * 86400;
        const calendar::CivilDate date = calendar::CivilFromDays(DayOf(local));
        return LocalTime{int(date.year), date.month, date.day, int(seconds / 3600), int(seconds % 3600 / 60)};
    }
    // An occurrence's texts, which last as long as its calendar, and so the reading.
    const std::string& Title(std::string_view raw) { return Cleaned(raw, title_); }
    const std::string& Place(std::string_view raw) { return Cleaned(raw, place_); }

private:
    struct Text {
        std::optional<std::string_view> raw;
        std::string clean;
    };
    static long long DayOf(long long seconds) { return calendar::FloorDivide(seconds, 86400); }
    // The single offset of a day, asked once: the days of a window's occurrences are
    // kept side by side from the first asked, up to a year on either side.
    std::optional<int> OffsetOf(long long day) {
        constexpr long long kMostDays = 366;
        if (offsets_.empty()) firstDay_ = day - kMostDays;
        if (day < firstDay_ || day - firstDay_ >= 2 * kMostDays) return SingleOffset(day);
        const auto at = std::size_t(day - firstDay_);
        if (at >= offsets_.size()) offsets_.resize(at + 1);
        std::optional<std::optional<int>>& offset = offsets_[at];
        if (!offset) offset = SingleOffset(day);
        return *offset;
    }
    // The offset of every instant of a UTC day, where no change of time comes near it:
    // the same a day before, at its middle and a day after its end (no zone changes
    // twice in a day and a half).
    static std::optional<int> SingleOffset(long long day) {
        try {
            const int before = calendar::LocalReadingOf(day * 86400 - 86400).offsetSeconds;
            if (calendar::LocalReadingOf(day * 86400 + 43200).offsetSeconds != before ||
                calendar::LocalReadingOf(day * 86400 + 2 * 86400).offsetSeconds != before)
                return std::nullopt;
            return before;
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    static const std::string& Cleaned(std::string_view raw, Text& text) {
        if (text.raw != raw) {
            text.raw = raw;
            text.clean = calendar::CleanText(raw);
        }
        return text.clean;
    }

    long long firstDay_ = 0;  // of offsets_
    std::vector<std::optional<std::optional<int>>> offsets_;
    Text title_, place_;
};

std::optional<Event> EventOf(const Occurrence& occurrence, const std::string& agenda, OccurrenceReading& reading) {
    Event event;
    if (occurrence.allDay) {
        event.kind = Event::Kind::AllDay;
        event.start = occurrence.startWall;
        const LocalDate last = std::max(occurrence.startWall.Date(), PreviousDay(occurrence.endWall.Date()));
        event.end = {last.year, last.month, last.day, 0, 0};
    } else if (occurrence.floating) {
        event.start = occurrence.startWall;
        event.end = occurrence.endWall;
    } else {
        const std::optional<LocalTime> start = reading.LocalOf(occurrence.startInstant);
        const std::optional<LocalTime> end = reading.LocalOf(occurrence.endInstant);
        if (!start || !end) return std::nullopt;
        event.start = *start;
        event.end = *end;
    }
    event.title = reading.Title(occurrence.title);
    if (event.title.empty()) event.title = "(sans titre)";
    if (occurrence.location) event.location = reading.Place(*occurrence.location);
    event.agenda = agenda;
    if (!occurrence.alarms.empty()) event.alarms = AlarmsOf(occurrence);
    return event;
}

bool ShownFirst(const std::shared_ptr<const Event>& a, const std::shared_ptr<const Event>& b) {
    return ShownBefore(*a, *b);
}

// A month's events day by day, from `first` (the 1st) to `last`, each day in the order
// it lists them.
std::vector<SharedEvents> DaysOfMonth(const SharedEvents& events, LocalDate first, LocalDate last) {
    std::vector<SharedEvents> days(std::size_t(last.day));
    for (const std::shared_ptr<const Event>& event : events) {
        // The days of the month it lasts into, from its first to its last.
        for (LocalDate day = std::max(first, event->start.Date()), end = std::min(last, event->end.Date()); day <= end;
             day = NextDay(day)) {
            if (event->IsOn(day)) days[std::size_t(day.day - 1)].push_back(event);
        }
    }
    for (SharedEvents& day : days) std::ranges::stable_sort(day, ShownFirst);
    return days;
}

std::string Sentence(const std::string& agenda, const std::string& path, const std::string& problem) {
    return "L'agenda « " + agenda + " » : « " + path + " » " + problem + ".";
}

}  // namespace

const SharedEvents* AgendaDays::On(LocalDate date) const {
    const auto found = days.find(date);
    return found == days.end() ? nullptr : &found->second;
}

struct Agenda::LoadedSource {
    ReadSource read;
    bool stale = true;  // to be looked at again before the next question
    Look look;          // how far, then
    // The months computed, each file's events in it: a file read again is computed
    // again alone. Only the files with events or troubles in the month have an entry.
    std::map<std::pair<int, int>, std::map<std::string, FileMonth>> months;
};

Agenda::Agenda(std::vector<Source> sources, ReaderLoader loadReader)
    : sources_(std::move(sources)), loadReader_(std::move(loadReader)) {}

const IcsReader* Agenda::Reader(std::string& problem) {
    if (!readerAsked_) {
        readerAsked_ = true;
        reader_ = loadReader_ ? loadReader_(readerProblem_) : nullptr;
        if (reader_ == nullptr && readerProblem_.empty()) readerProblem_ = "la lecture des fichiers iCalendar manque";
    }
    problem = readerProblem_;
    return reader_;
}

Agenda::~Agenda() = default;

void Agenda::ReadOnlyFor(LocalDate first, LocalDate last) {
    const Window only = WindowOf(first, NextDay(last));
    if (only_ && only_->first == only.first && only_->next == only.next) return;
    only_ = only;
    read_ = false;  // the files were passed over for other days
}

void Agenda::ReadChanges() {
    for (const auto& source : loaded_) {
        source->stale = true;
        source->look.Add({});
    }
}

void Agenda::ReadChangesAt(const std::string& path, bool lost) {
    for (const auto& source : loaded_) {
        if (!Concerns(source->read.source, path)) continue;
        source->stale = true;
        source->look.Add({.kind = lost ? Look::Kind::Everything : Look::Kind::Listing, .names = {}});
    }
}

bool NameConcerns(const std::vector<Source>& sources, const std::string& folder, std::string_view name) {
    return std::ranges::any_of(sources, [&](const Source& source) { return ConcernsName(source, folder, name); });
}

void Agenda::ReadNamesAt(const std::string& folder, const std::set<std::string>& names) {
    for (const auto& source : loaded_) {
        Look look{.kind = Look::Kind::Names, .names = {}};
        for (const std::string& name : names) {
            if (ConcernsName(source->read.source, folder, name)) look.names.insert(name);
        }
        if (look.names.empty()) continue;
        source->stale = true;
        source->look.Add(look);
    }
}

void Agenda::TakeWritten(const WrittenFile& written) {
    const std::size_t slash = written.path.rfind('/');
    if (slash == std::string::npos) return;
    const std::string folder = slash == 0 ? "/" : written.path.substr(0, slash);
    for (const auto& source : loaded_) {
        const Source& read = source->read.source;
        if (read.kind == Source::Kind::Folder && read.location == folder) {
            ReadNamesAt(folder, {written.path.substr(slash + 1)});
        } else if (read.kind == Source::Kind::File && read.location == written.path && !TakeEvents(*source, written)) {
            source->stale = true;
            source->look.Add({});
        }
    }
}

// The written events are taken when the text read is the one the writing changed:
// its identity then is the one the writer read (which it checked before writing).
bool Agenda::TakeEvents(LoadedSource& source, const WrittenFile& written) {
    const auto found = source.read.files.find(written.path);
    if (found == source.read.files.end() || written.eventsText.empty() || written.after == files::kNoFile) return false;
    ReadFile& file = found->second;
    if (!file.textRead || !file.calendar || file.stale || file.identity != written.before) return false;
    std::string problem;
    const IcsReader* const reader = Reader(problem);
    if (reader == nullptr) return false;
    std::unique_ptr<IcsCalendar> calendar =
        reader->Read(written.eventsText, only_, source.read.source.writable, problem);
    if (!calendar) return false;
    file.written.push_back({.calendar = std::move(calendar), .uids = written.uids});
    file.identity = written.after;
    // Each month kept loses the events of those UIDs and takes the new ones; one
    // whose events cannot all be told by their UID is computed again.
    const std::set<std::string> uids(written.uids.begin(), written.uids.end());
    for (auto& [month, files] : source.months) {
        FileMonth& events = files[written.path];
        if (std::ranges::any_of(events.events, [](const auto& event) { return event->origin == nullptr; })) {
            events = FileMonthOf(source, written.path, month.first, month.second);
            continue;
        }
        std::erase_if(events.events, [&](const auto& event) { return uids.contains(event->origin->uid); });
        events.days.clear();
        const FileMonth added =
            WrittenMonthOf(source, written.path, file.written.size() - 1, month.first, month.second);
        events.events.insert(events.events.end(), added.events.begin(), added.events.end());
        events.troubles.insert(events.troubles.end(), added.troubles.begin(), added.troubles.end());
    }
    return true;
}

void Agenda::Load() {
    read_ = true;
    loaded_.clear();
    for (const Source& source : sources_) {
        auto loaded = std::make_unique<LoadedSource>();
        loaded->read.source = source;
        loaded_.push_back(std::move(loaded));
    }
}

void Agenda::LookAgain(LoadedSource& source) {
    source.stale = false;
    const Look look = std::exchange(source.look, {.kind = Look::Kind::Names, .names = {}});
    const std::string shownBefore = source.read.name;
    const auto reader = [this](std::string& problem) { return Reader(problem); };
    const std::vector<std::string> changed = agendas::LookAgain(source.read, reader, only_, look);
    // The events carry the agenda's name.
    if (source.read.name != shownBefore) source.months.clear();
    for (auto& [month, files] : source.months) {
        for (const std::string& key : changed) {
            files.erase(key);
            if (!source.read.files.contains(key)) continue;
            FileMonth events = FileMonthOf(source, key, month.first, month.second);
            if (!events.events.empty() || !events.troubles.empty()) files.emplace(key, std::move(events));
        }
    }
}

// A reader of a few days only has them computed, not their whole month.
Window Agenda::MonthWindow(int year, int month) const {
    const bool few = only_ && only_->first.year == year && only_->first.month == month &&
                     PreviousDay(only_->next) <= PreviousDay(FirstOfNextMonth(year, month));
    return few ? *only_ : WindowOf(FirstOfMonth(year, month), FirstOfNextMonth(year, month));
}

FileMonth Agenda::FileMonthOf(const LoadedSource& source, const std::string& key, int year, int month) const {
    FileMonth events;
    const ReadFile& file = source.read.files.at(key);
    const std::string& name = source.read.name;
    const Window window = MonthWindow(year, month);
    for (const Contact& contact : file.contacts) {
        if (!contact.birthday) continue;
        std::optional<Event> event = BirthdayIn(*contact.birthday, year, name);
        if (!event || event->start.month != month) continue;
        if (event->start.Date() < window.first || !(event->start.Date() < window.next)) continue;
        event->title = calendar::CleanText(event->title);
        events.events.push_back(std::make_shared<const Event>(std::move(*event)));
    }
    if (!file.calendar) return events;
    AddOccurrences(source, key, *file.calendar, window, 0, events);
    for (std::size_t layer = 0; layer < file.written.size(); ++layer)
        AddOccurrences(source, key, *file.written[layer].calendar, window, layer + 1, events);
    return events;
}

FileMonth Agenda::WrittenMonthOf(const LoadedSource& source, const std::string& key, std::size_t layer, int year,
                                 int month) const {
    FileMonth events;
    const IcsCalendar& calendar = *source.read.files.at(key).written.at(layer).calendar;
    AddOccurrences(source, key, calendar, MonthWindow(year, month), layer + 1, events);
    return events;
}

// The occurrences of `calendar` in the window, but those of the UIDs that the gadget's
// changes after it (from `laterFrom` on in the file's `written`) wrote anew.
void Agenda::AddOccurrences(const LoadedSource& source, const std::string& key, const IcsCalendar& calendar,
                            const Window& window, std::size_t laterFrom, FileMonth& events) const {
    const std::vector<ReadFile::Written>& written = source.read.files.at(key).written;
    const auto writtenLater = [&](std::string_view uid) {
        for (std::size_t later = laterFrom; later < written.size(); ++later) {
            if (std::ranges::find(written[later].uids, uid) != written[later].uids.end()) return true;
        }
        return false;
    };
    const std::string path = PathOf(source.read, key);
    const std::string& name = source.read.name;
    const bool writable = source.read.source.writable;
    OccurrenceReading reading;
    const std::vector<std::string> problems = calendar.EachOccurrence(window, [&](const Occurrence& occurrence) {
        if (laterFrom < written.size() && writtenLater(occurrence.uid)) return;
        std::optional<Event> event = EventOf(occurrence, name, reading);
        if (!event) return;
        if (writable && !occurrence.uid.empty())
            event->origin = OriginOf(occurrence, source.read.source.location, path);
        events.events.push_back(std::make_shared<const Event>(std::move(*event)));
    });
    for (const std::string& trouble : problems) events.troubles.push_back(Sentence(name, path, trouble));
}

std::map<std::string, FileMonth>& Agenda::MonthEvents(LoadedSource& source, int year, int month) {
    const auto key = std::make_pair(year, month);
    auto found = source.months.find(key);
    if (found != source.months.end()) return found->second;
    // The month farthest from this one goes first: the pages around it stay.
    if (source.months.size() >= kKeptMonths) {
        const auto distance = [key](const auto& kept) {
            return std::abs((kept.first.first - key.first) * 12 + kept.first.second - key.second);
        };
        source.months.erase(std::ranges::max_element(source.months, {}, distance));
    }
    std::map<std::string, FileMonth> files;
    for (const auto& [fileKey, file] : source.read.files) {
        FileMonth events = FileMonthOf(source, fileKey, year, month);
        if (!events.events.empty() || !events.troubles.empty())
            files.emplace_hint(files.end(), fileKey, std::move(events));
    }
    return source.months.emplace(key, std::move(files)).first->second;
}

AgendaDays Agenda::DaysBetween(LocalDate first, LocalDate last) {
    AgendaDays days{.first = first, .last = last, .days = {}, .problems = {}, .contacts = {}};
    if (!read_) Load();
    for (const auto& source : loaded_) {
        if (source->stale) LookAgain(*source);
        // The reading's sentences: the folder's, then each file's in the order of the names.
        const ReadSource& read = source->read;
        if (!read.folderProblem.empty())
            days.problems.push_back(Sentence(read.readName, read.source.location, read.folderProblem));
        for (const std::string& key : read.troubled) {
            const ReadFile& file = read.files.at(key);
            const std::string path = PathOf(read, key);
            if (!file.problem.empty()) days.problems.push_back(Sentence(read.readName, path, file.problem));
            for (const std::string& trouble : file.troubles)
                days.problems.push_back(Sentence(read.readName, path, trouble));
        }
        // In the order of the files' names, each file's in its own, as the sentences go.
        for (const std::string& key : read.carded) {
            const std::vector<Contact>& contacts = read.files.at(key).contacts;
            days.contacts.insert(days.contacts.end(), contacts.begin(), contacts.end());
        }
    }
    // A month at a time, each day's events are taken from the months kept, shared with
    // them (the next month's computation may drop a month, not its events): each
    // file's month is put in order day by day once, and a page that shows it again
    // takes its days as they are. The files' days come together in the order of the
    // sources and of the files, as one stable sort of all their events would put them.
    std::vector<SharedEvents> onDay;
    for (LocalDate month = FirstOfMonth(first.year, first.month); first <= last && month <= last;
         month = FirstOfNextMonth(month.year, month.month)) {
        const LocalDate monthEnd = PreviousDay(FirstOfNextMonth(month.year, month.month));
        const LocalDate from = std::max(first, month), to = std::min(last, monthEnd);
        onDay.assign(std::size_t(agendas::DaysBetween(from, to) + 1), {});  // [1, 31]
        for (const auto& source : loaded_) {
            for (auto& [key, file] : MonthEvents(*source, month.year, month.month)) {
                for (const std::string& trouble : file.troubles) {
                    if (std::ranges::find(days.problems, trouble) == days.problems.end())
                        days.problems.push_back(trouble);
                }
                if (file.days.empty()) file.days = DaysOfMonth(file.events, month, monthEnd);
                for (std::size_t at = 0; at < onDay.size(); ++at) {
                    const SharedEvents& fileDay = file.days[std::size_t(from.day - 1) + at];
                    SharedEvents& day = onDay[at];
                    if (fileDay.empty()) continue;
                    if (day.empty()) {
                        day = fileDay;
                        continue;
                    }
                    SharedEvents merged;
                    merged.reserve(day.size() + fileDay.size());
                    std::ranges::merge(day, fileDay, std::back_inserter(merged), ShownFirst);
                    day = std::move(merged);
                }
            }
        }
        LocalDate day = from;
        for (SharedEvents& events : onDay) {
            if (!events.empty()) days.days.emplace_hint(days.days.end(), day, std::move(events));
            day = NextDay(day);
        }
    }
    return days;
}

}  // namespace agendas

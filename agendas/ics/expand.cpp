// The occurrences of a calendar's events in a window of days. The instances of a
// RRULE that rule_guard.h lets through are stepped on the start's wall time (by
// RuleSteps, or by libical's iterator for the rarer rules: rule_instances.h): an
// instance keeps the wall time of DTSTART even where DTSTART itself fell in a skipped
// hour. To them come the RDATEs, less the EXDATEs and the instances that a RECURRENCE-ID replaces; the
// instances after a RANGE=THISANDFUTURE replacement move with it.

#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <set>
#include <tuple>

#include "agendas/ics/calendar.h"
#include "agendas/ics/rule_guard.h"
#include "agendas/ics/rule_instances.h"
#include "calendar/french_words.h"

namespace agendas::ics {

namespace {

// What rule_guard.h says of each RRULE, by its text, for every calendar read (under
// libicalMutex): the same rule in many events, or read again, is judged once.
constexpr std::size_t kMostRememberedRules = 10'000;
std::map<std::string, std::string> refusals;

// The days around a window within which a rule's list must reach: wall times and the
// instants that libical compares differ by a zone's offset at most.
constexpr long long kListMargin = 86400;

LocalTime LocalOf(const icaltimetype& time) {
    return {time.year, time.month, time.day, time.is_date ? 0 : time.hour, time.is_date ? 0 : time.minute};
}

// `wall` moved by `seconds` in the frame of `entry`'s start, as AddSeconds moves its
// times: a date by whole days.
long long MovedWall(const Entry& entry, long long wall, long long seconds) {
    return wall + (entry.start.is_date ? seconds / 86400 * 86400 : seconds);
}

// The wall time that WallSeconds gave, in the frame of `entry`'s start.
icaltimetype FromWallSeconds(const Entry& entry, long long wall) {
    icaltimetype time = WallTime(wall, entry.start.is_date);
    time.zone = entry.start.zone;
    time.is_date = entry.start.is_date;
    return time;
}

// The instants of a zoned occurrence that begins at `start` and lasts `length`;
// `startKey`, when given, is KeyOf(start).
std::pair<Instant, Instant> ZonedSpan(const icaltimetype& start, const Length& length, const Key* startKey = nullptr) {
    const Instant first = startKey != nullptr && startKey->zoned ? startKey->value : ZonedInstant(start);
    Instant end = first + length.seconds;
    if (!length.exact) {
        end = start.is_date ? ZonedInstant(AddSeconds(start, length.seconds))
                            : ZonedInstantOfWall(WallSeconds(start) + length.seconds, start.zone);
    }
    // A start in the hour a change of time skips is read later by the gap: an end that
    // its wall time would put before it keeps the occurrence's length instead.
    if (end < first) end = first + length.seconds;
    return {first, std::max(end, first)};
}

// Adds `key` to the keys of a series' instances given so far, kept in order, unless
// it is there already. A rule gives its instances in order: each comes at the end,
// but around a skipped hour, where two wall times may stand for one instant.
bool FirstTime(std::vector<Key>& keys, const Key& key) {
    if (keys.empty() || keys.back() < key) {
        keys.push_back(key);
        return true;
    }
    const auto at = std::ranges::lower_bound(keys, key);
    if (at != keys.end() && *at == key) return false;
    keys.insert(at, key);
    return true;
}

// An instant of no length counts where it falls, at the window's start too.
bool Overlaps(Instant start, Instant end, const Window& window) {
    return start < window.end && (end > window.start || (start == end && start >= window.start));
}

// A rule whose instances come back unchanged, in wall time, a period later:
// FREQ=DAILY with nothing but INTERVAL, FREQ=WEEKLY with days of the week at most
// (no rank), in the Gregorian calendar; `instances` is how many a period holds.
struct Period {
    long long seconds = 0;
    std::size_t instances = 0;
};

std::optional<Period> PeriodOf(const icalrecurrencetype& rule) {
    const auto none = [](const short* values) { return values[0] == ICAL_RECURRENCE_ARRAY_MAX; };
    if (rule.rscale != nullptr || !none(rule.by_second) || !none(rule.by_minute) || !none(rule.by_hour) ||
        !none(rule.by_month_day) || !none(rule.by_year_day) || !none(rule.by_week_no) || !none(rule.by_month) ||
        !none(rule.by_set_pos) || rule.interval < 1)
        return std::nullopt;
    if (rule.freq == ICAL_DAILY_RECURRENCE && none(rule.by_day)) return Period{rule.interval * 86400LL, 1};
    if (rule.freq != ICAL_WEEKLY_RECURRENCE) return std::nullopt;
    std::set<int> days;
    for (int at = 0; at < ICAL_BY_DAY_SIZE && rule.by_day[at] != ICAL_RECURRENCE_ARRAY_MAX; ++at) {
        if (icalrecurrencetype_day_position(rule.by_day[at]) != 0) return std::nullopt;
        days.insert(int(icalrecurrencetype_day_day_of_week(rule.by_day[at])));
    }
    return Period{rule.interval * 7 * 86400LL, std::max<std::size_t>(days.size(), 1)};
}

// Wall times from 2500 on are left to libical, whose iterator stops in 2582.
constexpr long long kLastPeriodicWall = 16'725'225'600LL;  // 2500-01-01 00:00

// The next instance of a periodic rule after the consecutive instances `listed`:
// the one a period before it, moved by the period, once the last two periods'
// instances each follow theirs by the period (the first period after DTSTART may
// lack days, or hold DTSTART off the rule's days). None before that.
std::optional<long long> Periodic(const std::vector<long long>& listed, const std::optional<Period>& period) {
    if (!period) return std::nullopt;
    const std::size_t each = period->instances;
    if (listed.size() < 3 * each) return std::nullopt;
    for (std::size_t at = listed.size() - 2 * each; at < listed.size(); ++at) {
        if (listed[at] - listed[at - each] != period->seconds) return std::nullopt;
    }
    return listed[listed.size() - each] + period->seconds;
}

double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

}  // namespace

// Each occurrence of a window goes to `take`, up to kMostOccurrences.
struct LibicalCalendar::Giving {
    explicit Giving(const Take& taker) : take(taker) {}
    const Take& take;
    std::size_t given = 0;
    bool full = false;  // one more was left out
    std::vector<std::string> problems;
    std::set<std::string> said;  // the kinds of problem said already
    std::size_t steps = 0;       // the rules' steps
    std::vector<Key> keys;       // a series' instances given, reused from one to the next

    void Give(const Occurrence& occurrence) {
        if (given == kMostOccurrences) {
            full = true;
            return;
        }
        take(occurrence);
        ++given;
    }
};

// The window's start and end as the wall times of each frame the events start in:
// each zone is read once a window, whatever the number of its series.
class LibicalCalendar::WindowWalls {
public:
    explicit WindowWalls(const Window& window) : window_(window) {}

    std::pair<long long, long long> Of(const Entry& entry) {
        if (entry.kind != TimeKind::Zoned) {
            const auto midnight = [](LocalDate date) {
                return calendar::DaysFromCivil(date.year, date.month, date.day) * 86400LL;
            };
            return {midnight(window_.first), midnight(window_.next)};
        }
        icaltimezone* zone = icaltime_is_utc(entry.start) ? icaltimezone_get_utc_timezone()
                                                          : const_cast<icaltimezone*>(entry.start.zone);
        for (const auto& [known, walls] : zones_) {
            if (known == zone) return walls;
        }
        const std::pair walls{WallSecondsAt(zone, window_.start), WallSecondsAt(zone, window_.end)};
        zones_.emplace_back(zone, walls);
        return walls;
    }

private:
    const Window& window_;
    std::vector<std::pair<const icaltimezone*, std::pair<long long, long long>>> zones_;
};

void LibicalCalendar::AddOccurrence(const Entry& entry, const Entry& look, const icaltimetype& start,
                                    const Length& length, const Window& window, Giving& out,
                                    const icaltimetype* recurrence, const Key* startKey) const {
    Occurrence occurrence;
    if (entry.kind == TimeKind::Zoned) {
        std::tie(occurrence.startInstant, occurrence.endInstant) = ZonedSpan(start, length, startKey);
        if (!Overlaps(occurrence.startInstant, occurrence.endInstant, window)) return;
    } else {
        occurrence.allDay = entry.kind == TimeKind::Date;
        occurrence.floating = !occurrence.allDay;
        occurrence.startWall = LocalOf(start);
        occurrence.endWall = LocalOf(AddSeconds(start, length.seconds));
        const LocalTime first{window.first.year, window.first.month, window.first.day, 0, 0};
        const LocalTime next{window.next.year, window.next.month, window.next.day, 0, 0};
        const bool overlaps = occurrence.startWall < next &&
                              (occurrence.endWall > first ||
                               (occurrence.startWall == occurrence.endWall && occurrence.startWall >= first));
        if (!overlaps) return;
    }
    occurrence.title = look.title;
    if (look.location) occurrence.location = *look.location;
    if (look.alarms) {
        TimeAlarms(entry, *look.alarms, start, length, occurrence);
        occurrence.recurrence = recurrence != nullptr ? WrittenTime(*recurrence) : look.alarms->recurrence;
        // The start the series gives it: the instance's own, or the one a replacement names.
        const icaltimetype* original = recurrence;
        if (original == nullptr && !look.alarms->recurrence.empty()) original = &look.alarms->recurrenceTime;
        if (original != nullptr && KindOf(*original) == TimeKind::Zoned) {
            occurrence.recurrenceZoned = true;
            occurrence.recurrenceInstant = ZonedInstant(*original);
        } else if (original != nullptr) {
            occurrence.recurrenceWall = LocalOf(*original);
        }
    }
    out.Give(occurrence);
}

void LibicalCalendar::ExpandRepeats(std::size_t entryAt, const Window& window, WindowWalls& walls, Giving& out) const {
    const Entry& entry = entries_[entryAt];
    const Repetition& repetition = *entry.repetition;
    // Instances that begin up to the event's length (and a day) before the window
    // may last into it; those that a replacement moves, up to their shift around it.
    long long moves = 0;
    for (const Future& future : repetition.futures)
        moves = std::max({moves, std::abs(future.shift) + entries_[future.entry].length.seconds});
    const long long reach = std::max(entry.length.seconds, moves) + 86400;
    const auto [windowStart, windowEnd] = walls.Of(entry);
    // The wall times of the start's frame within which instances are looked for.
    const long long from = MovedWall(entry, windowStart, -reach), to = MovedWall(entry, windowEnd, 86400 + moves);
    const long long startWall = WallSeconds(entry.start);
    // Each instance is given once: those of one rule come in order, and are kept in
    // order as they come; several rules, or RDATEs, may give an instance again anywhere.
    const bool inOrder = repetition.rules.size() <= 1 && repetition.dates.empty();
    out.keys.clear();
    std::set<Key> seen;
    const auto offer = [&](const icaltimetype& start, const std::optional<Length>& own) {
        const Key key = KeyOf(start);
        if (!(inOrder ? FirstTime(out.keys, key) : seen.insert(key).second) || repetition.excluded.contains(key) ||
            repetition.replaced.contains(key))
            return;
        if (!repetition.excludedDays.empty() && repetition.excludedDays.contains({start.year, start.month, start.day}))
            return;
        const auto later = std::ranges::upper_bound(repetition.futures, key, {}, &Future::from);
        if (later == repetition.futures.begin()) {
            AddOccurrence(entry, entry, start, own.value_or(entry.length), window, out, &start, &key);
            return;
        }
        const Future& future = *std::prev(later);
        const Entry& look = entries_[future.entry];
        if (!look.cancelled)
            AddOccurrence(entry, look, AddSeconds(start, future.shift), look.length, window, out, &start);
    };
    const auto tooLong = [&] {
        if (out.said.insert("steps").second)
            out.problems.push_back("la répétition de « " + entry.title + " » est trop longue à suivre");
    };
    // The instances of a rule's list from `from` on, step by step as an iterator would
    // give them.
    const auto offerListed = [&](const Listed& listed) {
        const auto& instances = listed.instances;
        auto at = from > startWall ? std::lower_bound(instances.begin(), instances.end(), from) : instances.begin();
        for (std::size_t ruleSteps = 0;; ++at) {
            if (++ruleSteps > kMostRuleSteps || ++out.steps > kMostWindowSteps) {
                tooLong();
                break;
            }
            if (at == instances.end() || *at > to) break;
            if (*at < from) continue;
            offer(FromWallSeconds(entry, *at), std::nullopt);
            if (out.full) break;
        }
    };
    const auto offerCounted = [&](const Counted& counted) {
        if (counted.cut) tooLong();
        counted.Each(from, to, [&](long long wall) {
            if (out.full) return false;
            offer(FromWallSeconds(entry, wall), std::nullopt);
            return true;
        });
    };
    offer(entry.start, std::nullopt);
    // A rule's instances come after DTSTART: one that begins after the window has
    // none in it, and needs no iterator.
    const bool ruleReaches = startWall <= to;
    for (std::size_t ruleAt = 0; ruleReaches && ruleAt < repetition.rules.size(); ++ruleAt) {
        const std::pair listKey{entryAt, ruleAt};
        // A rule listed at an earlier window, as far as this one, gives its instances
        // without being read again.
        if (const auto listed = listed_.find(listKey); listed != listed_.end() && !listed->second.dense &&
                                                       listed->second.Covers(from - kListMargin, to + kListMargin)) {
            offerListed(listed->second);
            continue;
        }
        if (const auto counted = counted_.find(listKey);
            counted != counted_.end() && counted->second.ended && !counted->second.unlisted) {
            offerCounted(counted->second);
            continue;
        }
        const std::string& ruleText = repetition.rules[ruleAt];
        icalrecurrencetype rule = icalrecurrencetype_from_string(ruleText.c_str());
        // The RSCALE's name that libical copied for this reading of the rule.
        const std::unique_ptr<char, void (*)(void*)> rscale(rule.rscale, icalmemory_free_buffer);
        auto refusal = refusals.find(ruleText);
        if (refusal == refusals.end()) {
            if (refusals.size() >= kMostRememberedRules) refusals.clear();
            std::string why = rule.freq == ICAL_NO_RECURRENCE ? "sa règle n'est pas comprise"
                              : rule.rscale != nullptr && std::string(rule.rscale) != "GREGORIAN"
                                  ? "un calendrier autre que le grégorien (RSCALE) n'est pas suivi"
                                  : RuleRefusal(PartsOf(rule));
            refusal = refusals.emplace(ruleText, std::move(why)).first;
        }
        if (!refusal->second.empty()) {
            if (out.said.insert(refusal->second).second) {
                out.problems.push_back("la répétition de « " + entry.title + " » n'est pas lue : " + refusal->second);
            }
            continue;
        }
        // An UNTIL in UTC is compared by the iterator with the wall times of the
        // start's zone: it is given as it reads there.
        if (!icaltime_is_null_time(rule.until) && icaltime_is_utc(rule.until) && entry.kind == TimeKind::Zoned &&
            entry.start.zone != nullptr && !icaltime_is_utc(entry.start)) {
            rule.until = icaltime_convert_to_zone(rule.until, const_cast<icaltimezone*>(entry.start.zone));
            rule.until.zone = nullptr;
        }
        // A rule with COUNT is walked from DTSTART, which libical cannot skip: its
        // instances are listed once, at its first window, and each window takes its
        // own from the list. Another rule is listed around the window.
        if (rule.count > 0) {
            Counted& counted = counted_[listKey];
            if (!counted.unlisted) counted.Reach(entry, rule, to, listedBudget_);
            if (!counted.unlisted) {
                offerCounted(counted);
                continue;
            }
        } else {
            Listed& listed = listed_[listKey];
            if (!listed.dense && !listed.Covers(from - kListMargin, to + kListMargin))
                listed.List(entry, rule, from - kListMargin, to + kListMargin, listedBudget_);
            if (!listed.dense) {
                offerListed(listed);
                continue;
            }
        }
        // A rule of many instances in the window, or once the calendar's lists are
        // full, is walked at each window: from the window, or from DTSTART with COUNT.
        RuleInstances instances(rule, entry.start);
        if (!instances.Exists()) continue;
        if (rule.count == 0 && from > startWall) instances.SkipTo(from);
        std::size_t ruleSteps = 0;
        for (;;) {
            if (++ruleSteps > kMostRuleSteps || ++out.steps > kMostWindowSteps) {
                tooLong();
                break;
            }
            const std::optional<long long> wall = instances.Next(to);
            if (!wall || *wall > to) break;
            if (*wall < from) continue;
            offer(FromWallSeconds(entry, *wall), std::nullopt);
            if (out.full) break;
        }
    }
    for (const ExtraDate& date : repetition.dates) offer(date.start, date.length);
}

void LibicalCalendar::Counted::Reach(const Entry& entry, icalrecurrencetype rule, long long to, std::size_t& budget) {
    if (ended) return;
    if (!walk) {
        walk = std::make_unique<RuleInstances>(rule, entry.start);
        ended = !walk->Exists();
        count = std::size_t(rule.count);
    }
    // Past its first periods, a periodic rule's instances are those before it moved
    // by its period, when all of them come before kLastPeriodicWall.
    std::optional<Period> periodic = PeriodOf(rule);
    if (periodic && (rule.count > int(kMostRuleSteps) ||
                     WallSeconds(entry.start) + (rule.count + 1LL) * periodic->seconds >= kLastPeriodicWall))
        periodic.reset();
    while (!ended && (instances.empty() || instances.back() <= to)) {
        if (++steps > kMostRuleSteps) {
            cut = ended = true;
            break;
        }
        if (Periodic(instances, periodic)) {
            if (instances.size() < count) {
                period = periodic->seconds;
                perPeriod = periodic->instances;
            }
            ended = true;
            break;
        }
        const std::optional<long long> next = walk->Next(to);
        if (!next) {
            ended = walk->Ended();
            break;
        }
        if (budget == 0) {
            budget += instances.size();
            instances = {};
            walk.reset();
            unlisted = true;
            return;
        }
        instances.push_back(*next);
        --budget;
    }
    if (ended) walk.reset();
}

template <typename Offer>
void LibicalCalendar::Counted::Each(long long from, long long to, const Offer& offer) const {
    for (auto at = std::lower_bound(instances.begin(), instances.end(), from); at != instances.end() && *at <= to;
         ++at) {
        if (!offer(*at)) return;
    }
    if (period == 0) return;
    // The instance `perPeriod` after a listed one of the last period is that one
    // moved by the period, and so on up to COUNT. The periods before the one that
    // may reach `from` all end before it.
    const std::size_t first = instances.size() - perPeriod;
    for (long long periods = std::max(1LL, (from - instances.back()) / period);; ++periods) {
        for (std::size_t at = 0; at < perPeriod; ++at) {
            if (first + std::size_t(periods) * perPeriod + at >= count) return;
            const long long wall = instances[first + at] + periods * period;
            if (wall > to) return;
            if (wall >= from && !offer(wall)) return;
        }
    }
}

void LibicalCalendar::Listed::List(const Entry& entry, const icalrecurrencetype& rule, long long lower, long long upper,
                                   std::size_t& budget) {
    constexpr long long kListedSeconds = 366LL * 86400;
    const bool before = from <= to && lower < from;  // pages turned back
    const long long first = before ? std::min(lower, upper - kListedSeconds) : lower;
    const long long last = before ? upper : std::max(upper, lower + kListedSeconds);
    budget += instances.size();
    instances.clear();
    from = 0;
    to = -1;
    RuleInstances ruleInstances(rule, entry.start);
    if (!ruleInstances.Exists()) {
        dense = true;  // walked at each window, where the instances are missing as well
        return;
    }
    ruleInstances.SkipTo(first);
    const std::size_t most = std::min(kMostListed, budget);
    long long reached = last;  // every instance up to it is listed
    // An UNTIL ends the iterator's instances, not those moved by a period.
    const std::optional<Period> period =
        icaltime_is_null_time(rule.until) && last < kLastPeriodicWall ? PeriodOf(rule) : std::nullopt;
    for (;;) {
        long long wall = 0;
        if (const std::optional<long long> periodic = Periodic(instances, period)) {
            wall = *periodic;
        } else {
            const std::optional<long long> next = ruleInstances.Next(last);
            if (!next) break;
            wall = *next;
        }
        if (wall > last) break;
        if (wall < first) continue;
        if (instances.size() == most) {
            reached = wall - 1;
            break;
        }
        instances.push_back(wall);
    }
    if (reached < upper) {
        dense = true;
        instances = {};
        return;
    }
    instances.shrink_to_fit();
    budget -= instances.size();
    from = first;
    to = reached;
}

void LibicalCalendar::MakeWindowIndex() const {
    WindowIndex& index = index_.emplace();
    for (std::size_t at = 0; at < entries_.size(); ++at) {
        const Entry& entry = entries_[at];
        if (entry.cancelled) continue;
        if (entry.repetition || entry.length.seconds > kShortSpan) {
            index.always.push_back(at);
        } else if (entry.kind == TimeKind::Zoned) {
            index.zoned.push_back({ZonedSpan(entry.start, entry.length).first, at});
        } else {
            index.walled.push_back({WallSeconds(entry.start), at});
        }
    }
    std::ranges::sort(index.zoned);
    std::ranges::sort(index.walled);
    index.always.shrink_to_fit();
    index.zoned.shrink_to_fit();
    index.walled.shrink_to_fit();
}

std::vector<std::size_t> LibicalCalendar::EntriesFor(const Window& window) const {
    if (!index_) MakeWindowIndex();
    std::vector<std::size_t> entries = index_->always;
    // A span that starts up to kShortSpan before the window may last into it; a day
    // more on each side keeps clear of the minutes and seconds that the exact test,
    // AddOccurrence's, reads otherwise.
    const auto starting = [&](const std::vector<Span>& spans, long long from, long long to) {
        const auto first = std::ranges::lower_bound(spans, from - kShortSpan - 86400, {}, &Span::start);
        const auto last = std::ranges::lower_bound(spans, to + 86400, {}, &Span::start);
        for (auto span = first; span != last; ++span) entries.push_back(span->entry);
    };
    starting(index_->zoned, window.start, window.end);
    const auto midnight = [](LocalDate date) {
        return calendar::DaysFromCivil(date.year, date.month, date.day) * 86400LL;
    };
    starting(index_->walled, midnight(window.first), midnight(window.next));
    std::ranges::sort(entries);
    return entries;
}

std::vector<std::string> LibicalCalendar::EachOccurrence(const Window& window, const Take& take) const {
    const std::lock_guard lock(libicalMutex);
    Giving out(take);
    WindowWalls walls(window);
    const double started = ProcessorSeconds();
    const std::vector<std::size_t> looked = EntriesFor(window);
    for (std::size_t counted = 0; counted < looked.size(); ++counted) {
        const std::size_t at = looked[counted];
        const Entry& entry = entries_[at];
        if (counted % 64 == 63 && ProcessorSeconds() - started > kMostWindowSeconds) {
            out.problems.push_back("ses répétitions sont trop longues à calculer : le reste n'est pas montré");
            break;
        }
        if (entry.repetition) {
            ExpandRepeats(at, window, walls, out);
        } else {
            AddOccurrence(entry, entry, entry.start, entry.length, window, out);
        }
        if (out.full) {
            out.problems.push_back("a plus de " + calendar::CountText(kMostOccurrences) +
                                   " évènements en un mois : les suivants ne sont pas montrés");
            break;
        }
    }
    return std::move(out.problems);
}

}  // namespace agendas::ics

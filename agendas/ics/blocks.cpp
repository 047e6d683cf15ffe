#include "agendas/ics/blocks.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <set>
#include <tuple>

namespace agendas {

namespace {

bool EqualNoCase(std::string_view text, std::string_view upper) {
    if (text.size() != upper.size()) return false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        char c = text[at];
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c != upper[at]) return false;
    }
    return true;
}

// A content line's name (before ';' or ':') and value (after the first ':' outside
// quotes).
struct Line {
    std::string_view name, value;
};

Line LineOf(std::string_view line) {
    std::size_t nameEnd = 0;
    while (nameEnd < line.size() && line[nameEnd] != ';' && line[nameEnd] != ':') ++nameEnd;
    bool quoted = false;
    for (std::size_t at = nameEnd; at < line.size(); ++at) {
        if (line[at] == '"') quoted = !quoted;
        if (line[at] == ':' && !quoted) return {line.substr(0, nameEnd), line.substr(at + 1)};
    }
    return {line.substr(0, nameEnd), {}};
}

// Whether the content line's name (before ';' or ':') is `upper`, whatever its case.
bool IsNamed(std::string_view line, std::string_view upper) {
    if (line.size() < upper.size() || !EqualNoCase(line.substr(0, upper.size()), upper)) return false;
    return line.size() == upper.size() || line[upper.size()] == ';' || line[upper.size()] == ':';
}

// Two names equal whatever their letters' case.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t at = 0; at < a.size(); ++at) {
        const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
        if (upper(a[at]) != upper(b[at])) return false;
    }
    return true;
}

// A DATE (20250508) or DATE-TIME (20250508T140000, Z or not) value, whole: anything
// else is a value libical may read otherwise, and decides.
bool WholeDateValue(std::string_view value) {
    const auto digits = [&](std::size_t from, std::size_t count) {
        for (std::size_t at = from; at < from + count; ++at) {
            if (value[at] < '0' || value[at] > '9') return false;
        }
        return true;
    };
    if (value.size() == 8) return digits(0, 8);
    if (value.size() != 15 && value.size() != 16) return false;
    return digits(0, 8) && value[8] == 'T' && digits(9, 6) && (value.size() == 15 || value[15] == 'Z');
}

std::optional<LocalDate> DateOfValue(std::string_view value) {
    if (!WholeDateValue(value)) return std::nullopt;
    int digits[8];
    for (int at = 0; at < 8; ++at) {
        if (value[std::size_t(at)] < '0' || value[std::size_t(at)] > '9') return std::nullopt;
        digits[at] = value[std::size_t(at)] - '0';
    }
    const int year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    const int month = digits[4] * 10 + digits[5], day = digits[6] * 10 + digits[7];
    const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{unsigned(month)},
                                           std::chrono::day{unsigned(day)}};
    if (!date.ok()) return std::nullopt;
    return LocalDate{year, month, day};
}

// Whole days a DURATION may reach, rounded up: P2W, P3DT4H, PT36H; none when it is
// not read.
std::optional<int> DurationDays(std::string_view value) {
    if (value.starts_with('+')) value.remove_prefix(1);
    if (value.starts_with('-')) return 0;
    if (!value.starts_with('P') && !value.starts_with('p')) return std::nullopt;
    long long seconds = 0, number = 0;
    bool digits = false;
    for (const char c : value.substr(1)) {
        if (c >= '0' && c <= '9') {
            number = number * 10 + (c - '0');
            if (number > 1'000'000'000) return std::nullopt;
            digits = true;
            continue;
        }
        const char unit = char(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        if (unit == 'T') continue;
        if (!digits) return std::nullopt;
        seconds += number * (unit == 'W' ? 604800 : unit == 'D' ? 86400 : unit == 'H' ? 3600 : unit == 'M' ? 60 : 1);
        number = 0;
        digits = false;
    }
    return int((seconds + 86399) / 86400);
}

LocalDate AddDays(LocalDate date, int days) {
    const std::chrono::year_month_day moved{
        std::chrono::sys_days{std::chrono::year{date.year} / std::chrono::month{unsigned(date.month)} /
                              std::chrono::day{unsigned(date.day)}} +
        std::chrono::days{days}};
    return {int(moved.year()), int(unsigned(moved.month())), int(unsigned(moved.day()))};
}

int DaysFrom(LocalDate from, LocalDate to) {
    const auto days = [](LocalDate date) {
        return std::chrono::sys_days{std::chrono::year{date.year} / std::chrono::month{unsigned(date.month)} /
                                     std::chrono::day{unsigned(date.day)}};
    };
    return int((days(to) - days(from)).count());
}

// One logical line of an iCalendar text (RFC 5545, 3.1): a content line and the
// lines that continue it, each begun by a space or a tab, unfolded.
struct LogicalLine {
    std::size_t start;      // where its first line begins in the text
    std::size_t end;        // where its last line ends, before its CR LF
    std::string_view text;  // unfolded; valid until the next line is read
};

// The logical lines of a text, one at a time, each unfolded once: a line without
// continuation is a view into the text, and only a folded one is copied. An empty
// line continues nothing, so that what follows it reads as a line of its own.
class LogicalLines {
public:
    explicit LogicalLines(std::string_view text) : text_(text) {}

    std::optional<LogicalLine> Next() {
        if (at_ >= text_.size()) return std::nullopt;
        const std::size_t start = at_;
        std::string_view line = TakePhysicalLine();
        std::size_t end = start + line.size();
        if (!line.empty() && Continues()) {
            unfolded_.assign(line);
            while (Continues()) {
                const std::size_t from = at_;
                const std::string_view continuation = TakePhysicalLine();
                unfolded_.append(continuation.substr(1));
                end = from + continuation.size();
            }
            line = unfolded_;
        }
        return LogicalLine{.start = start, .end = end, .text = line};
    }

private:
    // Whether the line at the reading point continues the one before.
    bool Continues() const { return at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t'); }

    // The line at the reading point, without its LF or CR LF; the point moves past it.
    std::string_view TakePhysicalLine() {
        const char* found = static_cast<const char*>(std::memchr(text_.data() + at_, '\n', text_.size() - at_));
        const std::size_t end = found ? std::size_t(found - text_.data()) : text_.size();
        std::string_view line = text_.substr(at_, end - at_);
        if (line.ends_with('\r')) line.remove_suffix(1);
        at_ = end + 1;
        return line;
    }

    std::string_view text_;
    std::size_t at_ = 0;    // where the next physical line begins
    std::string unfolded_;  // the last folded line, unfolded
};

// What the first pass learns of one VEVENT.
struct EventLines {
    bool rule = false;      // an RRULE: instances from DTSTART on, up to its UNTIL
    bool keep = false;      // an RDATE, an EXRULE, a value not understood here: kept whatever its dates
    bool replaces = false;  // a RECURRENCE-ID
    std::string uid;
    std::optional<LocalDate> start, end, until;
    std::optional<int> durationDays;
    bool startIsDate = false;
    int starts = 0, ends = 0;  // DTSTART lines, and DTEND or DURATION lines
};

// The first pass over an RRULE: its UNTIL's date, when it has one.
std::optional<LocalDate> UntilOf(std::string_view rule) {
    for (std::size_t at = 0; at + 6 <= rule.size(); ++at) {
        if ((at == 0 || rule[at - 1] == ';') && EqualNoCase(rule.substr(at, 6), "UNTIL=")) {
            const std::string_view value = rule.substr(at + 6);
            return DateOfValue(value.substr(0, value.find(';')));
        }
    }
    return std::nullopt;
}

bool OutsideWindow(const EventLines& event, LocalDate first, LocalDate next) {
    if (event.keep || event.replaces || !event.start) return false;
    LocalDate end = *event.start;
    if (event.end) {
        end = *event.end;
    } else if (event.durationDays) {
        end = AddDays(*event.start, *event.durationDays);
    } else if (event.startIsDate) {
        end = AddDays(*event.start, 1);
    }
    // An event that ends before it starts, or whose dates are given twice, is read by
    // libical in ways of its own.
    if (end < *event.start || event.starts > 1 || event.ends > 1) return false;
    if (*event.start > AddDays(next, kWindowMarginDays)) return true;  // a rule's instances come after DTSTART
    if (event.rule) {
        // Without UNTIL, or with one too far in its text to read, the rule may reach the window.
        if (!event.until) return false;
        end = AddDays(*event.until, DaysFrom(*event.start, end));
    }
    return end < AddDays(first, -kWindowMarginDays);
}

}  // namespace

std::string IcsBlocks::Calendar() const {
    std::size_t size = 64;
    for (const auto& block : timezones) size += block.size() + 2;
    for (const auto& block : kept) size += block.size() + 2;
    std::string text;
    text.reserve(size);
    text += "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    for (const auto* blocks : {&timezones, &kept}) {
        for (const std::string_view block : *blocks) {
            text += block;
            text += "\r\n";
        }
    }
    return text + "END:VCALENDAR\r\n";
}

namespace {

// Whether a line beginning with `first` may have a name the pass reads: BEGIN, END,
// UID, X-WR-CALNAME, and with a window an event's DTSTART, DTEND, DURATION, RRULE,
// RDATE, EXRULE and RECURRENCE-ID. The other lines of a file (SUMMARY, LOCATION,
// DESCRIPTION…, most of it) are passed on their first letter alone.
bool NameMayBeRead(char first, bool window) {
    const char letter = first >= 'a' && first <= 'z' ? char(first - 'a' + 'A') : first;
    if (letter == 'B' || letter == 'E' || letter == 'U' || letter == 'X') return true;
    return window && (letter == 'D' || letter == 'R');
}

// What a pass is asked beyond the shape of the text.
struct Asked {
    // A window of days [first, next): the events that cannot touch it are not kept.
    std::optional<LocalDate> first, next;
    bool events = true;      // the events' blocks listed in `kept`
    std::string_view uid;    // a UID sought among the components'
    bool zoneHeads = false;  // each VTIMEZONE's own lines in `zoneHeads`
};

IcsBlocks Pass(std::string_view text, const Asked& asked) {
    IcsBlocks blocks;
    const bool window = asked.first && asked.next;
    // The components open at this line, outermost first; only their nesting counts.
    int depth = 0;
    int blockDepth = 0;  // the depth of the VEVENT or VTIMEZONE being passed, 0 outside one
    bool inEvent = false;
    std::size_t blockStart = 0;
    EventLines event;
    // With a window, each event, its UID, and whether it may touch the window.
    std::vector<std::tuple<std::string_view, std::string, bool>> events;
    std::set<std::string, std::less<>> replaced;  // the UIDs of replacements
    // The kinds of the components open at this line. A text whose BEGIN and END lines
    // do not pair as this pass reads them may be nested otherwise by libical: all its
    // events are then kept, and libical alone says which touch the window.
    std::vector<std::string> open;
    bool irregular = false;
    LogicalLines lines(text);
    while (const std::optional<LogicalLine> logical = lines.Next()) {
        const std::string_view line = logical->text;
        // An empty line, or continuation lines that follow one, continue nothing.
        if (line.empty() || line[0] == ' ' || line[0] == '\t') continue;
        // "BEGIN:" and "END:" begin the line, whatever their case; a BEGIN or an END
        // followed by anything else (a parameter, nothing) is a line libical reads
        // otherwise.
        const bool beginName = IsNamed(line, "BEGIN"), endName = IsNamed(line, "END");
        const bool begins = beginName && line.size() > 6 && line[5] == ':';
        const bool ends = endName && line.size() > 4 && line[3] == ':';
        if ((beginName && !begins) || (endName && !ends)) irregular = true;
        if (begins) {
            const std::string_view kind = line.substr(6);
            open.emplace_back(kind);
            if (std::find(blocks.kinds.begin(), blocks.kinds.end(), kind) == blocks.kinds.end())
                blocks.kinds.emplace_back(kind);
            if (depth == 0) ++blocks.outermost;
            ++depth;
            if (EqualNoCase(kind, "VCALENDAR")) blocks.calendar = true;
            if (blockDepth == 0 && (EqualNoCase(kind, "VEVENT") || EqualNoCase(kind, "VTIMEZONE"))) {
                blockDepth = depth;
                blockStart = logical->start;
                inEvent = EqualNoCase(kind, "VEVENT");
                event = {};
                if (!inEvent && asked.zoneHeads) blocks.zoneHeads.emplace_back();
            }
            continue;
        }
        if (ends) {
            if (open.empty() || !SameName(open.back(), line.substr(4))) irregular = true;
            if (depth == 1 && EqualNoCase(line.substr(4), "VCALENDAR")) blocks.calendarEnd = logical->start;
            if (!open.empty()) open.pop_back();
            if (depth == blockDepth) {
                const std::string_view block = text.substr(blockStart, logical->end - blockStart);
                if (!inEvent) {
                    blocks.timezones.push_back(block);
                } else {
                    ++blocks.events;
                    if (window) {
                        if (event.replaces) replaced.insert(event.uid);
                        events.emplace_back(block, std::move(event.uid),
                                            !OutsideWindow(event, *asked.first, *asked.next));
                    } else if (asked.events) {
                        blocks.kept.push_back(block);
                    }
                }
                blockDepth = 0;
            }
            if (depth > 0) --depth;
            continue;
        }
        if (asked.zoneHeads && !inEvent && blockDepth != 0 && depth == blockDepth) {
            blocks.zoneHeads.back().append(text.substr(logical->start, logical->end - logical->start)).append("\r\n");
        }
        if (!NameMayBeRead(line[0], window)) continue;
        const Line parts = LineOf(line);
        if (!asked.uid.empty() && depth >= 2 && parts.value == asked.uid && EqualNoCase(parts.name, "UID"))
            blocks.holdsUid = true;
        const bool eventLine = inEvent && blockDepth != 0 && depth == blockDepth;
        if (!eventLine) {
            if (depth == 1 && blockDepth == 0 && EqualNoCase(parts.name, "X-WR-CALNAME")) {
                blocks.name = std::string(parts.value);
            }
            continue;
        }
        // Without a window every event is kept: its dates are not read.
        if (!window) continue;
        if (EqualNoCase(parts.name, "RRULE")) {
            // Two rules: the later UNTIL, or none, may reach furthest; kept then.
            event.keep = event.keep || event.rule;
            event.rule = true;
            event.until = UntilOf(parts.value);
        } else if (EqualNoCase(parts.name, "RDATE") || EqualNoCase(parts.name, "EXRULE")) {
            event.keep = true;
        } else if (EqualNoCase(parts.name, "RECURRENCE-ID")) {
            event.replaces = true;
        } else if (EqualNoCase(parts.name, "UID")) {
            event.uid = std::string(parts.value);
        } else if (EqualNoCase(parts.name, "DTSTART")) {
            ++event.starts;
            event.start = DateOfValue(parts.value);
            event.startIsDate = parts.value.size() == 8;
        } else if (EqualNoCase(parts.name, "DTEND")) {
            ++event.ends;
            event.end = DateOfValue(parts.value);
            event.keep = event.keep || !event.end;  // a value not understood here: libical decides
        } else if (EqualNoCase(parts.name, "DURATION")) {
            ++event.ends;
            event.durationDays = DurationDays(parts.value);
            event.keep = event.keep || !event.durationDays;
        }
    }
    // The events that share their UID with a replacement stay together, whatever
    // their dates: which of them is the master is read among all.
    for (const auto& [block, uid, inside] : events) {
        if (inside || irregular || replaced.contains(uid)) blocks.kept.push_back(block);
    }
    blocks.truncated = depth != 0;
    blocks.irregular = irregular;
    return blocks;
}

}  // namespace

IcsBlocks IcsBlocksOf(std::string_view text, const std::optional<LocalDate>& first,
                      const std::optional<LocalDate>& next) {
    return Pass(text, {.first = first, .next = next, .events = true, .uid = {}, .zoneHeads = false});
}

IcsBlocks IcsBlocksForAdding(std::string_view text, std::string_view uid) {
    return Pass(text, {.first = std::nullopt, .next = std::nullopt, .events = false, .uid = uid, .zoneHeads = true});
}

}  // namespace agendas

#include "agendas/event_writing.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "agendas/safety_net.h"
#include "agendas/source_files.h"
#include "agendas/writable_sources.h"
#include "calendar/french_words.h"
#include "calendar/local_zone.h"
#include "files/bounded_read.h"
#include "files/descriptor.h"
#include "files/write_beside.h"

namespace agendas {

namespace {

namespace fs = std::filesystem;

std::string Quoted(const std::string& text) { return "« " + text + " »"; }

EventWriting Outcome(EventWriting::Status status, std::string sentence) {
    EventWriting writing;
    writing.status = status;
    writing.sentence = std::move(sentence);
    return writing;
}

std::string ShownName(const Source& calendar) {
    if (!calendar.name.empty()) return calendar.name;
    return calendar.kind == Source::Kind::Folder ? FolderDisplayName(calendar.location)
                                                 : NameFromPath(calendar.location);
}

EventWriting ChangedMeanwhile(const Source& calendar) {
    return Outcome(EventWriting::Status::Changed,
                   "L'évènement a changé entre-temps dans l'agenda " + Quoted(ShownName(calendar)) +
                       " (une synchronisation vient peut-être de le modifier) : rien n'est écrit.");
}

EventWriting NotWritten(const std::string& path) {
    return Outcome(
        EventWriting::Status::Failed,
        Quoted(path) + " n'a pas pu être écrit (dossier en lecture seule, disque plein ?) : rien n'est changé.");
}

EventWriting FromWrite(const files::WriteResult& result, const Source& calendar, const std::string& path) {
    switch (result.status) {
    case files::WriteResult::Status::Written: {
        EventWriting writing = Outcome(EventWriting::Status::Written, {});
        writing.path = path;
        return writing;
    }
    case files::WriteResult::Status::Changed: return ChangedMeanwhile(calendar);
    case files::WriteResult::Status::Failed: break;
    }
    return NotWritten(path);
}

std::string Refusal(const Source& calendar) {
    const std::string why = WriteRefusal(calendar);
    return why.empty() ? std::string() : "L'agenda " + Quoted(ShownName(calendar)) + " " + why + " : rien n'est écrit.";
}

// A timed series needs its zone by name: written in UTC, each occurrence after a
// change of time would fall an hour away from the one the user meant. A single event
// in UTC is exact, and whole days have no zone.
std::string ZoneRefusal(const WritingStamp& stamp, const EventFields& fields) {
    if (!stamp.zone.empty() || fields.wholeDay || (fields.repetition == QuickRepetition::None && !fields.rule))
        return {};
    return "Le fuseau horaire de la machine n'a pas de nom (ni TZ, ni /etc/localtime, ni /etc/timezone n'en "
           "donnent un de /usr/share/zoneinfo) : un évènement répété, écrit en temps universel, glisserait d'une "
           "heure au changement d'heure. Rien n'est écrit.";
}

EventWriting NoFreeUid() {
    return Outcome(EventWriting::Status::Failed,
                   "Aucun identifiant neuf n'a pu être tiré pour l'évènement (la source de hasard du système "
                   "répète les mêmes ?) : rien n'est écrit.");
}

// A file of a calendar is written only when it is the user's own ordinary file: not a
// link to somewhere else, not another's.
bool OwnOrdinaryFile(const std::string& path) {
    struct stat status = {};
    return lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == geteuid();
}

// Why the file read at `path` is not written: gone since (its folder moved or
// removed while the event was open), or not the user's own ordinary file.
EventWriting NotOwn(const std::string& path) {
    struct stat status = {};
    if (lstat(path.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        return Outcome(
            EventWriting::Status::Changed,
            Quoted(path) + " n'existe plus (son dossier a-t-il été déplacé ou supprimé ?) : rien n'est écrit.");
    }
    return Outcome(EventWriting::Status::Refused,
                   Quoted(path) + " n'est pas un fichier ordinaire à vous : il n'est jamais modifié.");
}

// Whether `name` names a file of a folder and nothing else: no « / », not « . » nor
// « .. », no NUL, within the bound of a name (NAME_MAX, 255 bytes on Linux's file systems).
bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.size() <= NAME_MAX &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string::npos;
}

// An ordinary file read now, with its identity; or why not.
EventFile ReadEventFile(const std::string& path) {
    files::FileReading reading = files::ReadOrdinaryFile(path, kLargestFileBytes);
    if (reading.found != files::FileReading::Found::Read) {
        EventFile unread;
        unread.problem = ReadingProblem(reading);
        return unread;
    }
    return {.path = path,
            .bytes = std::move(reading.bytes),
            .identity = reading.identity,
            .mode = unsigned(reading.mode & 07777)};
}

}  // namespace

std::string SkippedStartRefusal(const EventFields& fields) {
    if (fields.wholeDay || fields.end <= fields.start) return {};
    const std::optional<std::int64_t> start = InstantOfLocal(fields.start), end = InstantOfLocal(fields.end);
    if (!start || !end || *end > *start) return {};
    const std::optional<LocalTime> read = LocalOfInstant(*start);
    if (!read) return {};
    const auto clock = [](const LocalTime& time) { return calendar::ClockText(time.hour, time.minute, " h "); };
    const LocalTime& first = fields.start;
    return "Le " + calendar::DateInWords(first.day, first.month, first.year) + ", l'heure avance : " + clock(first) +
           " n'existe pas et se lit " + clock(*read) + ", ce qui ferait finir l'évènement (à " + clock(fields.end) +
           ") avant son début. Rien n'est écrit.";
}

std::string NewUid() {
    std::array<unsigned char, 16> bytes{};
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t got = getrandom(bytes.data() + done, bytes.size() - done, 0);
        if (got > 0) done += std::size_t(got);
    }
    bytes[6] = (bytes[6] & 0x0F) | 0x40;  // version 4, RFC 9562 5.4
    bytes[8] = (bytes[8] & 0x3F) | 0x80;  // its variant
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uid;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (at == 4 || at == 6 || at == 8 || at == 10) uid += '-';
        uid += kHex[bytes[at] >> 4];
        uid += kHex[bytes[at] & 0xF];
    }
    return uid;
}

EventFields FieldsOfQuickEntry(const QuickEntry& entry) {
    return {.title = entry.title,
            .wholeDay = entry.wholeDay,
            .start = entry.start,
            .end = entry.end,
            .place = entry.place,
            .repetition = entry.repetition,
            .repeatUntil = entry.repeatUntil,
            .repeatCount = entry.repeatCount,
            .reminderMinutes = std::nullopt};
}

EventFile FindEventFile(const Source& calendar, const std::string& uid, const IcsWriter& writer,
                        const std::string& readFrom) {
    if (calendar.kind == Source::Kind::File) return ReadEventFile(calendar.location);
    if (uid.empty()) return {};
    const auto holds = [&](const EventFile& file) {
        const std::vector<std::string> uids = writer.Uids(file.bytes);
        return !file.path.empty() && std::find(uids.begin(), uids.end(), uid) != uids.end();
    };
    const std::string folder = calendar.location + "/";
    const bool ofFolder = readFrom.starts_with(folder) && IsPlainFileName(readFrom.substr(folder.size()));
    if (ofFolder) {
        if (EventFile read = ReadEventFile(readFrom); holds(read)) return read;
    }
    // The UID names a file only when it is a plain name: one from a server may hold
    // « / » or « .. », which would lead out of the folder.
    if (IsPlainFileName(uid + ".ics")) {
        if (EventFile named = ReadEventFile(folder + uid + ".ics"); holds(named)) return named;
    }
    // The file it was read from no longer holds it: gone or moved by a synchronisation.
    if (ofFolder) return {};
    std::vector<std::string> names;
    ListSourceFolder(calendar.location, [&](std::string_view name, std::uint64_t) { names.emplace_back(name); });
    for (const std::string& name : names) {
        if (EventFile file = ReadEventFile(calendar.location + "/" + name); holds(file)) return file;
    }
    return {};
}

bool UidIsFree(const std::string& uid, const std::vector<Source>& calendars, const EventFile* read) {
    for (const Source& calendar : calendars) {
        if (calendar.kind == Source::Kind::File && read != nullptr && read->path == calendar.location) {
            if (read->bytes.find(uid) != std::string::npos) return false;
        } else if (calendar.kind == Source::Kind::File) {
            const files::FileReading reading = files::ReadOrdinaryFile(calendar.location, kLargestFileBytes);
            if (reading.found == files::FileReading::Found::Read && reading.bytes.find(uid) != std::string::npos)
                return false;
        } else if (calendar.kind == Source::Kind::Folder) {
            bool taken = false;
            ListSourceFolder(calendar.location,
                             [&](std::string_view name, std::uint64_t) { taken = taken || name.starts_with(uid); });
            if (taken) return false;
        }
    }
    return true;
}

std::string EventWriter::FreeUid(const Source& calendar, const EventFile* read) const {
    std::vector<Source> searched = calendars_;
    const auto same = [&](const Source& source) { return source.location == calendar.location; };
    if (std::none_of(searched.begin(), searched.end(), same)) searched.push_back(calendar);
    // Two random UIDs that meet are a broken random source; a few tries, then a refusal.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (std::string uid = newUid_(); UidIsFree(uid, searched, read)) return uid;
    }
    return {};
}

EventWriting EventWriter::NotKept(const std::string& path) const {
    return Outcome(EventWriting::Status::Failed, "L'ancienne version de " + Quoted(path) +
                                                     " n'a pas pu être gardée dans " + Quoted(netFolder_) +
                                                     " : rien n'est changé.");
}

EventWriting EventWriter::Add(const Source& calendar, const EventFields& fields) const {
    if (std::string refused = Refusal(calendar); !refused.empty())
        return Outcome(EventWriting::Status::Refused, refused);
    if (std::string refused = ZoneRefusal(stamp_, fields); !refused.empty())
        return Outcome(EventWriting::Status::Refused, refused);
    if (std::string refused = SkippedStartRefusal(fields); !refused.empty())
        return Outcome(EventWriting::Status::Refused, refused);
    if (calendar.kind == Source::Kind::Folder) {
        const std::string uid = FreeUid(calendar);
        if (uid.empty()) return NoFreeUid();
        const TextChange text = writer_.NewFile(fields, uid, stamp_);
        const std::string path = calendar.location + "/" + uid + ".ics";
        const files::WriteResult result =
            files::WriteBeside(path, text.text, {.mode = 0600, .replace = false, .lockFolder = true});
        EventWriting writing = FromWrite(result, calendar, path);
        if (writing.status == EventWriting::Status::Written)
            writing.written.push_back(
                {.path = path, .before = files::kNoFile, .after = result.identity, .uids = {uid}, .eventsText = {}});
        writing.uid = uid;
        return writing;
    }
    const EventFile file = ReadEventFile(calendar.location);
    if (file.path.empty())
        return Outcome(EventWriting::Status::Failed,
                       Quoted(calendar.location) + " " + file.problem + " : rien n'est écrit.");
    const std::string uid = FreeUid(calendar, &file);
    if (uid.empty()) return NoFreeUid();
    EventWriting writing = Replace(calendar, file, writer_.Add(file.bytes, fields, uid, stamp_));
    writing.uid = uid;
    return writing;
}

EventWriting EventWriter::Change(const Source& calendar, const EventFile& file, const std::string& uid,
                                 const std::optional<OccurrenceStart>& which, Scope scope,
                                 const EventFields& fields) const {
    if (std::string refused = Refusal(calendar); !refused.empty())
        return Outcome(EventWriting::Status::Refused, refused);
    if (std::string refused = ZoneRefusal(stamp_, fields); scope != Scope::ThisOccurrence && !refused.empty())
        return Outcome(EventWriting::Status::Refused, refused);
    if (std::string refused = SkippedStartRefusal(fields); !refused.empty())
        return Outcome(EventWriting::Status::Refused, refused);
    const bool oneFile = calendar.kind == Source::Kind::File;
    // Only « celle-ci et les suivantes » writes a new UID, the new series'.
    const std::string newUid = scope == Scope::ThisAndFollowing ? FreeUid(calendar) : newUid_();
    if (newUid.empty()) return NoFreeUid();
    const TextChange change = writer_.Change(file.bytes, uid, which, scope, fields, newUid, oneFile, stamp_);
    if (change.newSeriesText.empty() || !change.problem.empty()) {
        EventWriting writing = Replace(calendar, file, change);
        writing.uid = uid;
        if (writing.status == EventWriting::Status::Written && oneFile && change.text.find(newUid) != std::string::npos)
            writing.uid = newUid;
        return writing;
    }
    // The series goes on in a file of its own, linked first: the series is ended only
    // once its following occurrences are written, and they go again when it cannot be.
    const std::string path = calendar.location + "/" + change.newSeriesUid + ".ics";
    const files::WriteResult result =
        files::WriteBeside(path, change.newSeriesText, {.mode = 0600, .replace = false, .lockFolder = true});
    EventWriting following = FromWrite(result, calendar, path);
    following.uid = change.newSeriesUid;
    if (following.status != EventWriting::Status::Written) return following;
    const files::FileIdentity linked = files::IdentityAt(AT_FDCWD, path);
    EventWriting ended = Replace(calendar, file, change);
    if (ended.status == EventWriting::Status::Written) {
        following.written = std::move(ended.written);
        following.written.push_back({.path = path,
                                     .before = files::kNoFile,
                                     .after = result.identity,
                                     .uids = {change.newSeriesUid},
                                     .eventsText = {}});
        return following;
    }
    const files::Descriptor folder(open(calendar.location.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.IsOpen()) files::RemoveIfUnchanged(folder.Get(), change.newSeriesUid + ".ics", linked);
    ended.uid = uid;
    return ended;
}

EventWriting EventWriter::Remove(const Source& calendar, const EventFile& file, const std::string& uid,
                                 const std::optional<OccurrenceStart>& which, Scope scope) const {
    if (std::string refused = Refusal(calendar); !refused.empty())
        return Outcome(EventWriting::Status::Refused, refused);
    const TextChange change = writer_.Remove(file.bytes, uid, which, scope, stamp_);
    if (!change.problem.empty() || !change.noEventLeft || calendar.kind == Source::Kind::File) {
        EventWriting writing = Replace(calendar, file, change);
        writing.uid = uid;
        return writing;
    }
    // A vdir's file left without an event is removed, as the event it held.
    if (!OwnOrdinaryFile(file.path)) return NotOwn(file.path);
    if (!KeepBeforeChange(netFolder_, file.path, file.bytes, change.title, stamp_.now)) return NotKept(file.path);
    const fs::path path(file.path);
    const files::Descriptor folder(open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.IsOpen()) return NotWritten(file.path);
    const files::WriteResult::Status removed = files::RemoveIfUnchanged(folder.Get(), path.filename(), file.identity);
    EventWriting writing =
        FromWrite({.status = removed, .keptAside = {}, .identity = files::kNoFile}, calendar, file.path);
    if (writing.status == EventWriting::Status::Written)
        writing.written.push_back(
            {.path = file.path, .before = file.identity, .after = files::kNoFile, .uids = {uid}, .eventsText = {}});
    writing.uid = uid;
    return writing;
}

EventWriting EventWriter::Replace(const Source& calendar, const EventFile& file, const TextChange& change) const {
    if (!change.problem.empty()) {
        return Outcome(EventWriting::Status::Refused, Quoted(file.path) + " " + change.problem + ".");
    }
    if (!OwnOrdinaryFile(file.path)) return NotOwn(file.path);
    if (files::IdentityAt(AT_FDCWD, file.path) != file.identity) return ChangedMeanwhile(calendar);
    if (!KeepBeforeChange(netFolder_, file.path, file.bytes, change.title, stamp_.now)) return NotKept(file.path);
    const files::WriteOptions options{.mode = int(file.mode), .expected = file.identity, .lockFolder = true};
    files::WriteResult result;
    if (change.insertedAt) {
        const std::string_view old(file.bytes);
        const std::string_view pieces[] = {old.substr(0, *change.insertedAt), change.text,
                                           old.substr(*change.insertedAt)};
        result = files::WriteBeside(file.path, pieces, options);
    } else {
        result = files::WriteBeside(file.path, change.text, options);
    }
    EventWriting writing = FromWrite(result, calendar, file.path);
    if (writing.status != EventWriting::Status::Written) return writing;
    WrittenFile written{
        .path = file.path, .before = file.identity, .after = result.identity, .uids = {}, .eventsText = {}};
    // A vdir's file is small: its reader reads it again. An .ics file's reader takes the
    // events changed alone.
    if (calendar.kind == Source::Kind::File) {
        written.uids = change.touchedUids;
        written.eventsText = change.touchedText;
    }
    writing.written.push_back(std::move(written));
    return writing;
}

}  // namespace agendas

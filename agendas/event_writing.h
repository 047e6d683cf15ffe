#pragma once
// The writing of the user's events in their calendars, file by file, through files/:
// the text read, changed by the module's writer (ics_writer.h), and written beside.
//   - In a vdir, a new event is a new file named from its UID as khal names it
//     (« UID.ics »), linked in place so that no file is ever replaced; a change keeps
//     the event's file name.
//   - An .ics file is written whole beside itself, then renamed over it.
//   - Before any write, the file must still have the identity it had when read;
//     otherwise nothing is written, and a French sentence says that it changed.
//   - Before a file is replaced or removed, its bytes go to the safety net
//     (safety_net.h); when they cannot, nothing is written.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "agendas/ics_writer.h"
#include "agendas/machine_zone.h"
#include "agendas/source.h"
#include "files/file_identity.h"

namespace agendas {

// A UID of 122 random bits (a version 4 UUID, in capitals): unique across every
// calendar of the user's without reading them, and made only of the characters with
// which khal and vdirsyncer name a file after its UID.
std::string NewUid();

// Why timed fields are not written, empty when they are: a start that the machine's
// zone skips at a change of time is read later by the gap, as RFC 5545 3.3.5 has every
// reader read it, and an end the user put in the gap or just after it would come before
// that start: readers shorten such an event to nothing, or drop it.
std::string SkippedStartRefusal(const EventFields& fields);

// The file of the event `uid` in `calendar`, as read now: the file itself for an .ics
// file. In a vdir, `readFrom` (EventOrigin::file, the file the event was read from:
// with two events of one UID, the one clicked) when it still holds the event, else
// « UID.ics » when the UID is a plain file name and that file holds it; without
// `readFrom`, the first file that does. Nothing for an empty UID.
struct EventFile {
    std::string path;  // empty when not found
    std::string bytes;
    files::FileIdentity identity;
    unsigned mode = 0;
    std::string problem = {};  // when not read, why (« dépasse 20 Mo »…)
};
EventFile FindEventFile(const Source& calendar, const std::string& uid, const IcsWriter& writer,
                        const std::string& readFrom = {});

// One file as the gadget wrote it, for the reader of the agendas, which takes it
// without looking at the rest of its source (Agenda::TakeWritten).
struct WrittenFile {
    std::string path;
    files::FileIdentity before = files::kNoFile;  // of the file changed, as read; kNoFile for a new one
    files::FileIdentity after = files::kNoFile;   // of the file written; kNoFile when it was removed
    // For an .ics file: the events changed and their components as written, a calendar
    // of their own (TextChange::touchedUids, touchedText).
    std::vector<std::string> uids;
    std::string eventsText;
};

struct EventWriting {
    enum class Status {
        Written,  // in place
        Changed,  // the file changed since it was read: nothing written
        Refused,  // the calendar or the file is not one the gadget writes: nothing written
        Failed,   // the system refused (read-only, full disk…): nothing written
    };
    Status status = Status::Failed;
    std::string sentence;              // French, when not Written
    std::string uid;                   // of the event written (of the new series, after a split)
    std::string path;                  // the file written
    std::vector<WrittenFile> written;  // every file written or removed, when Written
};

// Whether `uid` appears in no calendar of `calendars`: no file of a vdir is named after
// it, and no .ics file holds it anywhere in its text (a plain search, which a random
// UID almost never meets by chance). A vdir's files are not read: khal and vdirsyncer
// name an event's file after its UID when the UID is made of letters, digits and
// dashes, as the gadget's are, so that its name is where it would be; reading every
// file of a large vdir would cost --ajouter ten times its own work. An .ics file
// already `read` is searched in those bytes, not read again.
bool UidIsFree(const std::string& uid, const std::vector<Source>& calendars, const EventFile* read = nullptr);

class EventWriter {
public:
    // `netFolder`: the safety net's (safety_net.h). `calendars`: all the user's agendas,
    // in none of which a new event's UID may already be (RFC 5545 3.8.4.7 asks a UID
    // unique, and vdirsyncer stops at two items with one); the calendar written is
    // always searched. `newUid` makes the UIDs tried.
    EventWriter(const IcsWriter& writer, std::string netFolder, WritingStamp stamp, std::vector<Source> calendars = {},
                std::function<std::string()> newUid = NewUid)
        : writer_(writer),
          netFolder_(std::move(netFolder)),
          stamp_(std::move(stamp)),
          calendars_(std::move(calendars)),
          newUid_(std::move(newUid)) {}

    EventWriting Add(const Source& calendar, const EventFields& fields) const;
    // `file` as FindEventFile gave it, when the event was read.
    EventWriting Change(const Source& calendar, const EventFile& file, const std::string& uid,
                        const std::optional<OccurrenceStart>& which, Scope scope, const EventFields& fields) const;
    EventWriting Remove(const Source& calendar, const EventFile& file, const std::string& uid,
                        const std::optional<OccurrenceStart>& which, Scope scope) const;

private:
    EventWriting NotKept(const std::string& path) const;
    // A UID found in none of the user's calendars nor in `calendar`; empty when every
    // one tried was taken; `read`, the calendar's file when it is already read.
    std::string FreeUid(const Source& calendar, const EventFile* read = nullptr) const;
    EventWriting Replace(const Source& calendar, const EventFile& file, const TextChange& change) const;

    const IcsWriter& writer_;
    std::string netFolder_;
    WritingStamp stamp_;
    std::vector<Source> calendars_;
    std::function<std::string()> newUid_;
};

}  // namespace agendas

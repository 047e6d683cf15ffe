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
#include <optional>
#include <string>

#include "agendas/ics_writer.h"
#include "agendas/source.h"
#include "files/file_identity.h"

namespace agendas {

// The machine's zone by its IANA name: TZ, else /etc/timezone, else the target of
// /etc/localtime; empty when none says one.
std::string MachineZoneName();

// A UID of 122 random bits (a version 4 UUID, in capitals): unique across every
// calendar of the user's without reading them, and made only of the characters with
// which khal and vdirsyncer name a file after its UID.
std::string NewUid();

// The file of the event `uid` in `calendar`, as read now: the file itself for an .ics
// file; in a vdir, « UID.ics » when it holds the event, else the file that does.
struct EventFile {
    std::string path;  // empty when not found
    std::string bytes;
    files::FileIdentity identity;
    unsigned mode = 0;
};
EventFile FindEventFile(const Source& calendar, const std::string& uid, const IcsWriter& writer);

struct EventWriting {
    enum class Status {
        Written,  // in place
        Changed,  // the file changed since it was read: nothing written
        Refused,  // the calendar or the file is not one the gadget writes: nothing written
        Failed,   // the system refused (read-only, full disk…): nothing written
    };
    Status status = Status::Failed;
    std::string sentence;  // French, when not Written
    std::string uid;       // of the event written (of the new series, after a split)
    std::string path;      // the file written
};

class EventWriter {
public:
    // `netFolder`: the safety net's (safety_net.h).
    EventWriter(const IcsWriter& writer, std::string netFolder, WritingStamp stamp)
        : writer_(writer), netFolder_(std::move(netFolder)), stamp_(std::move(stamp)) {}

    EventWriting Add(const Source& calendar, const EventFields& fields) const;
    // `file` as FindEventFile gave it, when the event was read.
    EventWriting Change(const Source& calendar, const EventFile& file, const std::string& uid,
                        const std::optional<OccurrenceStart>& which, Scope scope, const EventFields& fields) const;
    EventWriting Remove(const Source& calendar, const EventFile& file, const std::string& uid,
                        const std::optional<OccurrenceStart>& which, Scope scope) const;

private:
    EventWriting NotKept(const std::string& path) const;
    EventWriting Replace(const Source& calendar, const EventFile& file, const TextChange& change) const;

    const IcsWriter& writer_;
    std::string netFolder_;
    WritingStamp stamp_;
};

}  // namespace agendas

#pragma once
// The gadget's settings, one file for the window and the terminal:
// $XDG_CONFIG_HOME/solvane/solvane.conf, or ~/.config/solvane/solvane.conf, an INI file
// of plain ASCII keys as Qt's QSettings writes one (settings/ini_text.h).
//
// Whatever stands in the file's place, neither reading nor writing blocks or reads
// more than kLargestSettingsBytes: only an ordinary file is opened, and never for
// writing. A write reads the file again, makes a new one beside it with its change,
// and renames that over it, unless another program saved in between: then it starts
// again from what that one wrote. Two programs saving at once each keep the other's
// keys. A symbolic link in the file's place is followed only to
// an ordinary file of the user's own (a dotfile manager's), which is replaced beside
// itself while the link stays a link; through any other link nothing is written. A
// file that is there but cannot be read as settings is kept once, renamed beside the
// new one with the suffix ".illisible".

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ini_text.h"

namespace settings {

// The group that holds the gadget's keys, and its keys.
inline constexpr std::string_view kGroup = "solvane";
// The region whose public holidays add to the nation's: its ASCII key
// ("alsace-moselle"), as calendar::RegionKey gives it.
inline constexpr std::string_view kRegionKey = "region";
// The place of the sun and the seasons, as the user typed it in « Lieu… »: a name of
// the places' table ("Strasbourg") or a latitude and a longitude ("48,58 7,75"); none
// (or one that names nothing) for the chef-lieu of the region.
inline constexpr std::string_view kPlaceKey = "lieu";
// « Toujours au-dessus », "true" or "false".
inline constexpr std::string_view kKeepAboveKey = "keep_above";
// « Numéros de semaine » in the grid, "true" or "false"; off when absent. The
// terminal has no grid and leaves it alone.
inline constexpr std::string_view kWeekNumbersKey = "week_numbers";
// « Rappeler les fêtes et les anniversaires », "true" or "false"; off when absent.
inline constexpr std::string_view kWishesKey = "voeux";

// The user's agendas, an array of the group [agendas] (IniText::Array): each entry's
// source, a path or an address (agendas/source.h), the name the user gave it, if any,
// and "modifiable=true" when the gadget may write events in it (absent: read only, as
// every agenda of a file written before the gadget could write). The source that new
// events go to, among the writable ones, is kDefaultAgendaKey of the group [solvane].
inline constexpr std::string_view kAgendasGroup = "agendas";
inline constexpr std::string_view kAgendaSourceKey = "source";
inline constexpr std::string_view kAgendaNameKey = "nom";
inline constexpr std::string_view kAgendaWritableKey = "modifiable";
inline constexpr std::string_view kDefaultAgendaKey = "agenda_par_defaut";

// The file holds a few dozen short lines; a larger one is not the gadget's, and is
// not read.
inline constexpr long kLargestSettingsBytes = 64 * 1024;

// The folder of the user's configuration files: `xdgConfigHome` when it is an
// absolute path (the XDG Base Directory rule ignores a relative one), otherwise
// `home`/.config; empty when neither is given. Either argument may be null.
std::string ConfigFolder(const char* xdgConfigHome, const char* home);

// The gadget's folder in the folder above, and its settings file there; empty when
// there is none.
std::string SettingsFolder(const char* xdgConfigHome, const char* home);
std::string SettingsFilePath(const char* xdgConfigHome, const char* home);

// The same, from XDG_CONFIG_HOME and HOME of the environment.
std::string ConfigFolder();
std::string SettingsFolder();
std::string SettingsFilePath();

// The folders in which a change of the file at `path` shows: its own, and the one of
// its target when it is a link to an ordinary file. A program that follows the file
// watches these folders, not the file, which a save replaces.
std::vector<std::string> FoldersOfTheFile(const std::string& path);

// What a reading found.
struct Reading {
    enum class State {
        Missing,     // nothing at the path
        Read,        // an ordinary file of settings
        Unreadable,  // an ordinary file that is not readable, too large, or not INI text
        NotAFile,    // a folder, a device, a FIFO or a socket, or a link to one, or a dangling link
    };
    State state = State::Missing;
    IniText text;  // empty but when Read
};
Reading ReadSettings(const std::string& path);

// The value of `key` in the group [solvane] of the file at `path`; none when the file
// cannot be read or lacks it.
std::optional<std::string> SettingsValue(const std::string& path, std::string_view key);

// The agendas the file lists, in its order; an entry without a source is left out.
struct AgendaEntry {
    std::string source;
    std::string name;  // empty when the user gave none
    bool writable = false;
    bool operator==(const AgendaEntry&) const = default;
};
std::vector<AgendaEntry> AgendaEntries(const IniText& text);
std::vector<AgendaEntry> AgendaEntries(const std::string& path);
void SetAgendaEntries(IniText& text, const std::vector<AgendaEntry>& entries);

// What a write did, and the one French sentence that says what went wrong or what
// was done with a file that could not be read (empty when there is nothing to say).
struct WriteOutcome {
    enum class State {
        Written,  // the new file is in place
        NotKept,  // something that is not the user's file stands in its place: left as it was
        Failed,   // the system refused (a read-only folder, a full disk): the old file is whole
    };
    State state = State::Failed;
    std::string sentence;
};

// Reads the file at `path` afresh, hands its text to `change` (empty when there was
// no file or it could not be read), and writes the result as described above.
WriteOutcome UpdateSettings(const std::string& path, const std::function<void(IniText&)>& change);

}  // namespace settings

#pragma once
// Which of the user's agendas the gadget may write. The user marks a vdir folder or an
// .ics file « modifiable » (settings/settings_file.h); even then a subscription, a
// contacts folder or file, anything the user cannot write, and anything that is not
// the user's own ordinary file or folder (a link to somewhere else, a device, a FIFO)
// is never written. With none marked, the first new event makes a local calendar of
// the gadget's own, a vdir in $XDG_DATA_HOME/solvane/agenda/ named « Solvane ».

#include <string>

#include "agendas/source.h"

namespace agendas {

// Why nothing is written in `source`, a French phrase to follow its name (« est un
// abonnement… »); empty when it may be written.
std::string WriteRefusal(const Source& source);

// The folder of the local calendar, in the data folder given ($XDG_DATA_HOME or its default).
std::string LocalAgendaFolder(const std::string& dataFolder);
inline constexpr const char* kLocalAgendaName = "Solvane";

// Makes the local calendar in `folder` when it is not there yet: the folder (private
// to the user) and its `displayname` file, as vdirsyncer keeps one. A French sentence
// when it could not be made, otherwise empty.
std::string MakeLocalAgenda(const std::string& folder);

// The name an agenda shows for a vdir: its `displayname` file's first line, else its
// folder's name.
std::string FolderDisplayName(const std::string& folder);

}  // namespace agendas

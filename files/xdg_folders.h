#pragma once
// The user's folders after the XDG Base Directory rules: the variable's value when
// it is an absolute path (a relative one is ignored, as the rules say), otherwise the
// default under the home folder; empty when neither is given.
//   Config  $XDG_CONFIG_HOME  ~/.config
//   Cache   $XDG_CACHE_HOME   ~/.cache
//   State   $XDG_STATE_HOME   ~/.local/state
//   Data    $XDG_DATA_HOME    ~/.local/share

#include <string>

namespace files {

enum class XdgKind { Config, Cache, State, Data };

// From the values given, either of which may be null.
std::string XdgFolder(XdgKind kind, const char* variable, const char* home);
// From the environment.
std::string XdgFolder(XdgKind kind);

// The program's own folder `folder` inside one of them, made for the user alone
// (0700) when missing, with the folders above it; false when it cannot be had, or a
// file that is no folder stands there.
bool MakeOwnFolder(const std::string& folder);

}  // namespace files

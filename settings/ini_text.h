#pragma once
// The text of an INI file as Qt's QSettings writes it: [groups] of key=value lines.
// A value is written as QSettings writes a string (quoted when it holds a separator
// or blanks at its ends, backslash escapes for quotes, backslashes and control
// characters), so that a file written here reads back the same through Qt, and a
// file Qt wrote reads here. Lines that are neither a group, a key nor a comment make
// the text no INI at all: such a file is not half-understood.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

class IniText {
public:
    // The text of `bytes`; none when it is not INI: a line that is neither blank, a
    // comment (';' or '#'), a [group] nor a key=value, a NUL byte, or bytes that are
    // not UTF-8.
    static std::optional<IniText> Parse(std::string_view bytes);

    // The value of `key` in `group`, unescaped; none when absent.
    std::optional<std::string> Value(std::string_view group, std::string_view key) const;
    // Sets `key` of `group`, in its place when present, otherwise after the group's
    // last key (the group is added at the end when new).
    void Set(std::string_view group, std::string_view key, std::string_view value);
    void Remove(std::string_view group, std::string_view key);

    // An array as QSettings writes one at the top of a group (beginWriteArray):
    // "size=N", and the keys of the entry i as "i\key", i from 1 to N. Each entry
    // is its keys and values in the order of the file; an index past "size", or not
    // a number, is no entry. SetArray replaces the group's array, entries numbered
    // anew from 1.
    using ArrayEntry = std::vector<std::pair<std::string, std::string>>;
    std::vector<ArrayEntry> Array(std::string_view group) const;
    void SetArray(std::string_view group, const std::vector<ArrayEntry>& entries);

    // The whole file: groups in their order, keys in theirs, empty groups left out.
    std::string Text() const;

    bool operator==(const IniText&) const = default;

private:
    struct Entry {
        std::string key;
        std::string value;  // unescaped
        bool operator==(const Entry&) const = default;
    };
    struct Group {
        std::string name;
        std::vector<Entry> entries;
        bool operator==(const Group&) const = default;
    };
    Group* FindGroup(std::string_view name);
    const Group* FindGroup(std::string_view name) const;

    std::vector<Group> groups_;
};

// A value as QSettings writes a string, and back; Unescaped gives none for a value
// whose quotes are not closed.
std::string Escaped(std::string_view value);
std::optional<std::string> Unescaped(std::string_view written);

}  // namespace settings

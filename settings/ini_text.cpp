#include "settings/ini_text.h"

#include <algorithm>
#include <cstdint>

namespace settings {

namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Well-formed UTF-8 (RFC 3629): no overlong form, no surrogate, nothing past U+10FFFF.
bool IsUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 1;
        std::uint32_t code = lead;
        if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07u;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0Fu;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1Fu;
        } else if (lead >= 0x80) {
            return false;
        }
        if (i + length > bytes.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0u) != 0x80u) return false;
            code = (code << 6) | (next & 0x3Fu);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
        i += length;
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A code point as UTF-8; a surrogate or a value past U+10FFFF becomes U+FFFD.
void AppendUtf8(std::string& text, std::uint32_t code) {
    if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = 0xFFFD;
    if (code < 0x80) {
        text += char(code);
    } else if (code < 0x800) {
        text += char(0xC0 | (code >> 6));
        text += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += char(0xE0 | (code >> 12));
        text += char(0x80 | ((code >> 6) & 0x3F));
        text += char(0x80 | (code & 0x3F));
    } else {
        text += char(0xF0 | (code >> 18));
        text += char(0x80 | ((code >> 12) & 0x3F));
        text += char(0x80 | ((code >> 6) & 0x3F));
        text += char(0x80 | (code & 0x3F));
    }
}

}  // namespace

// QSettings quotes a string holding ';', ',' or '=', or a blank at either end, and
// escapes quotes, backslashes and control characters; a leading '@' is doubled, as
// '@' starts the forms it keeps for other types.
std::string Escaped(std::string_view value) {
    std::string text = value.starts_with('@') ? "@" : "";
    bool quoted =
        value.find_first_of(";,=") != std::string_view::npos || value.starts_with(' ') || value.ends_with(' ');
    bool hexBefore = false;  // a \x escape goes on through the hex digits that follow
    for (const char c : value) {
        if (hexBefore && HexDigit(c) >= 0) {
            constexpr char kHex[] = "0123456789abcdef";
            text += "\\x";
            text += kHex[(c >> 4) & 0xF];
            text += kHex[c & 0xF];
            continue;
        }
        hexBefore = false;
        switch (c) {
        case '\a': text += "\\a"; break;
        case '\b': text += "\\b"; break;
        case '\f': text += "\\f"; break;
        case '\n': text += "\\n"; break;
        case '\r': text += "\\r"; break;
        case '\t': text += "\\t"; break;
        case '\v': text += "\\v"; break;
        case '"':
        case '\\':
            text += '\\';
            text += c;
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                constexpr char kHex[] = "0123456789abcdef";
                text += "\\x";
                text += kHex[(c >> 4) & 0xF];
                text += kHex[c & 0xF];
                hexBefore = true;
                quoted = true;
            } else {
                text += c;
            }
        }
    }
    return quoted ? '"' + text + '"' : text;
}

std::optional<std::string> Unescaped(std::string_view written) {
    written = Trimmed(written);
    std::string value;
    bool inQuotes = false;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const char c = written[i];
        if (c == '"') {
            inQuotes = !inQuotes;
            continue;
        }
        if (c != '\\' || i + 1 == written.size()) {
            value += c;
            continue;
        }
        const char escape = written[++i];
        switch (escape) {
        case 'a': value += '\a'; break;
        case 'b': value += '\b'; break;
        case 'f': value += '\f'; break;
        case 'n': value += '\n'; break;
        case 'r': value += '\r'; break;
        case 't': value += '\t'; break;
        case 'v': value += '\v'; break;
        case 'x': {
            std::uint32_t code = 0;
            int digits = 0;
            for (; i + 1 < written.size() && HexDigit(written[i + 1]) >= 0 && digits < 6; ++digits) {
                code = code * 16 + std::uint32_t(HexDigit(written[++i]));
            }
            AppendUtf8(value, code);
            break;
        }
        default:
            if (escape >= '0' && escape <= '7') {
                std::uint32_t code = std::uint32_t(escape - '0');
                for (int digits = 1;
                     i + 1 < written.size() && written[i + 1] >= '0' && written[i + 1] <= '7' && digits < 3; ++digits) {
                    code = code * 8 + std::uint32_t(written[++i] - '0');
                }
                AppendUtf8(value, code);
            } else {
                value += escape;  // \" \' \? \\ and any other character as itself
            }
        }
    }
    if (inQuotes) return std::nullopt;
    if (value.starts_with("@@")) value.erase(0, 1);
    return value;
}

std::optional<IniText> IniText::Parse(std::string_view bytes) {
    if (bytes.find('\0') != std::string_view::npos || !IsUtf8(bytes)) return std::nullopt;
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);  // a byte-order mark
    IniText text;
    Group* group = nullptr;
    while (!bytes.empty()) {
        const auto end = bytes.find('\n');
        const std::string_view line = Trimmed(bytes.substr(0, end));
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (line.empty() || line.starts_with(';') || line.starts_with('#')) continue;
        if (line.starts_with('[')) {
            if (!line.ends_with(']') || line.size() < 3) return std::nullopt;
            const std::string_view name = line.substr(1, line.size() - 2);
            group = text.FindGroup(name);
            if (!group) group = &text.groups_.emplace_back(Group{.name = std::string(name), .entries = {}});
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos || equals == 0) return std::nullopt;
        const std::string_view key = Trimmed(line.substr(0, equals));
        const std::optional<std::string> value = Unescaped(line.substr(equals + 1));
        if (key.empty() || !value) return std::nullopt;
        // Keys before any group are QSettings' [General]; a key given twice keeps its last value.
        if (!group) group = &text.groups_.emplace_back(Group{.name = "General", .entries = {}});
        auto& entries = group->entries;
        const auto same = std::find_if(entries.begin(), entries.end(), [key](const Entry& e) { return e.key == key; });
        if (same != entries.end()) {
            same->value = *value;
        } else {
            entries.push_back({.key = std::string(key), .value = *value});
        }
    }
    return text;
}

IniText::Group* IniText::FindGroup(std::string_view name) {
    const auto found = std::find_if(groups_.begin(), groups_.end(), [name](const Group& g) { return g.name == name; });
    return found == groups_.end() ? nullptr : &*found;
}

const IniText::Group* IniText::FindGroup(std::string_view name) const {
    return const_cast<IniText*>(this)->FindGroup(name);
}

std::optional<std::string> IniText::Value(std::string_view group, std::string_view key) const {
    const Group* found = FindGroup(group);
    if (!found) return std::nullopt;
    for (const Entry& entry : found->entries) {
        if (entry.key == key) return entry.value;
    }
    return std::nullopt;
}

void IniText::Set(std::string_view group, std::string_view key, std::string_view value) {
    Group* found = FindGroup(group);
    if (!found) found = &groups_.emplace_back(Group{.name = std::string(group), .entries = {}});
    for (Entry& entry : found->entries) {
        if (entry.key == key) {
            entry.value = value;
            return;
        }
    }
    found->entries.push_back({.key = std::string(key), .value = std::string(value)});
}

void IniText::Remove(std::string_view group, std::string_view key) {
    if (Group* found = FindGroup(group)) {
        std::erase_if(found->entries, [key](const Entry& e) { return e.key == key; });
    }
}

namespace {

// The entry number of an array key "12\source" and the key after it; none for another key.
std::optional<std::pair<long, std::string>> ArrayKey(std::string_view key) {
    const auto slash = key.find('\\');
    if (slash == std::string_view::npos || slash == 0 || slash > 9 || slash + 1 == key.size()) return std::nullopt;
    long index = 0;
    for (const char c : key.substr(0, slash)) {
        if (c < '0' || c > '9') return std::nullopt;
        index = index * 10 + (c - '0');
    }
    return std::make_pair(index, std::string(key.substr(slash + 1)));
}

}  // namespace

std::vector<IniText::ArrayEntry> IniText::Array(std::string_view group) const {
    const Group* found = FindGroup(group);
    const std::optional<std::string> sizeText = Value(group, "size");
    if (!found || !sizeText || sizeText->empty() || sizeText->size() > 6 ||
        sizeText->find_first_not_of("0123456789") != std::string::npos) {
        return {};
    }
    const long size = std::stol(*sizeText);
    std::vector<ArrayEntry> entries(std::size_t(size > 0 ? size : 0));
    for (const Entry& entry : found->entries) {
        const auto key = ArrayKey(entry.key);
        if (key && key->first >= 1 && key->first <= size)
            entries[std::size_t(key->first - 1)].emplace_back(key->second, entry.value);
    }
    return entries;
}

void IniText::SetArray(std::string_view group, const std::vector<ArrayEntry>& entries) {
    if (Group* found = FindGroup(group)) {
        std::erase_if(found->entries, [](const Entry& e) { return e.key == "size" || ArrayKey(e.key).has_value(); });
    }
    for (std::size_t index = 0; index < entries.size(); ++index) {
        for (const auto& [key, value] : entries[index]) Set(group, std::to_string(index + 1) + '\\' + key, value);
    }
    // QSettings writes "size" after the entries, as its keys sort.
    Set(group, "size", std::to_string(entries.size()));
}

std::string IniText::Text() const {
    std::string text;
    for (const Group& group : groups_) {
        if (group.entries.empty()) continue;
        if (!text.empty()) text += '\n';
        text += '[' + group.name + "]\n";
        for (const Entry& entry : group.entries) text += entry.key + '=' + Escaped(entry.value) + '\n';
    }
    return text;
}

}  // namespace settings

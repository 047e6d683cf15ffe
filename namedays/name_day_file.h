#pragma once
// The name-day list file: text in Windows-1252 or in UTF-8, fields separated by
// commas and line ends. A field that begins with a double quote runs to the next double quote
// (commas included); a field whose value begins with a number other than 0 (a day
// number, a date) is dropped; every other field, empty ones included, is an entry.
//
// Details of the reading:
// - blanks (spaces and tabs) before a field are skipped; an unquoted field loses
//   the blanks at its end too, so "Rémi  ," and "Rémi," give the same name;
// - a quoted field keeps everything between its quotes, blanks, commas and line
//   ends included; whatever follows the closing quote up to the next comma or line
//   end is ignored; a quote left open runs to the end of the file;
// - CR LF, a lone LF and a lone CR are each one line end;
// - the end of the file is tested before every field: a line end after the last
//   field adds no empty entry, a last field without a line end is still read.
//
// The encoding: a file that begins with the UTF-8 byte-order mark (EF BB BF) is UTF-8,
// the mark dropped; so is a file whose bytes read are all UTF-8 characters, at least
// one of them beyond ASCII (the bytes read run from the start to the end of the last
// field read, see NameDayLimits). Any other file is Windows-1252, one byte a
// character, as Windows of Western Europe write it. In a file with the mark, a byte
// that begins no UTF-8 character is read as its Windows-1252 character; a file that
// holds only the mark is an empty list.

#include <cstddef>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace namedays {

// The file cannot be read: missing, a directory, or not readable. The message is
// a French sentence naming the path.
class NameDayFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How much of the file a reading keeps: at most `entries` kept entries, and of each
// at most its first `entryLength` characters. The fields after the last kept entry
// are not looked at, not even to judge the encoding, and whether a field is kept is
// decided on its whole value.
struct NameDayLimits {
    std::size_t entries = std::numeric_limits<std::size_t>::max();
    std::size_t entryLength = std::numeric_limits<std::size_t>::max();  // characters; a cut never splits one
};

// What the window keeps. The list is laid out for a leap year, so the entries after
// the 366th are never shown: a file of fifty million commas gives 366 empty names,
// not fifty million. The name-day line shows some forty characters, so a name of a
// whole file (one that never meets a comma or a line end) keeps its first 255.
inline constexpr NameDayLimits kShownNameDays{366, 255};

// The kept entries in file order, converted to UTF-8. The file is read whole, once;
// NameDayFileError when it is missing, a folder or unreadable.
std::vector<std::string> ReadNameDayFile(const std::filesystem::path& path, NameDayLimits limits = {});

// The same reading on the file's bytes, for callers that already hold them.
std::vector<std::string> ParseNameDays(std::string_view bytes, NameDayLimits limits = {});

// One Windows-1252 byte string as UTF-8; every byte value has its character
// (0x80 is €, 0x9C is œ; the five unassigned values keep their C1 code points).
std::string Windows1252ToUtf8(std::string_view bytes);

}  // namespace namedays

#pragma once
// The name-day list file: 8-bit Windows-1252 text, fields separated by commas and
// line ends. A field that begins with a double quote runs to the next double quote
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

#include <filesystem>
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

// The kept entries in file order, converted to UTF-8. The file is read whole, once;
// NameDayFileError when it is missing, a folder or unreadable.
std::vector<std::string> ReadNameDayFile(const std::filesystem::path& path);

// The same reading on the file's bytes, for callers that already hold them.
std::vector<std::string> ParseNameDays(std::string_view bytes);

// One Windows-1252 byte string as UTF-8; every byte value has its character
// (0x80 is €, 0x9C is œ; the five unassigned values keep their C1 code points).
std::string Windows1252ToUtf8(std::string_view bytes);

}  // namespace namedays

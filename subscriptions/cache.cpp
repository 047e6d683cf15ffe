#include "subscriptions/cache.h"

#include <sys/stat.h>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string_view>

#include "files/bounded_read.h"
#include "files/write_beside.h"
#include "files/xdg_folders.h"

namespace subscriptions {

namespace {

// A record is a few short lines; anything larger is not one.
constexpr std::size_t kLargestRecordBytes = 64 * 1024;

// FNV-1a, 64 bits (Fowler, Noll, Vo): a stable name for an address, the same in
// every build and on every machine, as std::hash is not.
std::string HashName(const std::string& address) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const unsigned char byte : address) {
        hash ^= byte;
        hash *= 1099511628211ULL;
    }
    char name[17];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
    return name;
}

std::string RecordPath(const std::string& folder, const std::string& address) {
    return folder + "/abonnement-" + HashName(address) + ".etat";
}

std::string_view OutcomeName(Record::Outcome outcome) {
    switch (outcome) {
    case Record::Outcome::Never: return "jamais";
    case Record::Outcome::UpToDate: return "a-jour";
    case Record::Outcome::Offline: return "hors-ligne";
    case Record::Outcome::Failed: return "erreur";
    }
    return "jamais";
}

Record::Outcome OutcomeNamed(std::string_view name) {
    for (const auto outcome : {Record::Outcome::UpToDate, Record::Outcome::Offline, Record::Outcome::Failed}) {
        if (OutcomeName(outcome) == name) return outcome;
    }
    return Record::Outcome::Never;
}

// A value on one line: line breaks, which a server's header or an error cannot
// bring here but a hand-edited file could, become blanks.
std::string OneLine(std::string value) {
    for (char& character : value) {
        if (character == '\n' || character == '\r') character = ' ';
    }
    return value;
}

calendar::UnixSeconds Number(const std::string& text) {
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && end != text.c_str() && *end == '\0' && value >= 0 ? value : 0;
}

bool ReadSmallFile(const std::string& path, std::string& bytes) {
    files::FileReading file = files::ReadOrdinaryFile(path, kLargestRecordBytes);
    if (file.found != files::FileReading::Found::Read) return false;
    bytes = std::move(file.bytes);
    return true;
}

// Replaces the file at `path` by one holding `bytes`, the user's alone.
bool ReplaceFile(const std::string& path, const std::string& bytes) {
    return files::WriteBeside(path, bytes, {.mode = 0600}).status == files::WriteResult::Status::Written;
}

bool MakeFolder(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(folder).parent_path(), ignored);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat status = {};
    return stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

namespace {

std::string InCacheFolder(const std::string& folder) { return folder.empty() ? folder : folder + "/solvane"; }

}  // namespace

std::string CacheFolder(const char* xdgCacheHome, const char* home) {
    return InCacheFolder(files::XdgFolder(files::XdgKind::Cache, xdgCacheHome, home));
}

std::string CacheFolder() { return InCacheFolder(files::XdgFolder(files::XdgKind::Cache)); }

std::string CopyPath(const std::string& folder, const std::string& address) {
    return folder + "/abonnement-" + HashName(address) + ".ics";
}

Record ReadRecord(const std::string& folder, const std::string& address) {
    Record record;
    record.address = address;
    std::string bytes;
    if (folder.empty() || !ReadSmallFile(RecordPath(folder, address), bytes)) return record;
    Record read;
    std::istringstream lines(bytes);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        std::string value = line.substr(equals + 1);
        if (key == "adresse") read.address = value;
        if (key == "charge") read.fetched = Number(value);
        if (key == "essaye") read.attempted = Number(value);
        if (key == "etag") read.validators.etag = value;
        if (key == "last-modified") read.validators.lastModified = value;
        if (key == "issue") read.outcome = OutcomeNamed(value);
        if (key == "phrase") read.sentence = value;
    }
    if (read.address != address) return record;
    struct stat status = {};
    read.hasCopy = stat(CopyPath(folder, address).c_str(), &status) == 0 && S_ISREG(status.st_mode);
    if (!read.hasCopy) read.validators = {};  // without the copy, nothing to ask the server about
    return read;
}

bool WriteCopy(const std::string& folder, const std::string& address, const std::string& body) {
    return !folder.empty() && MakeFolder(folder) && ReplaceFile(CopyPath(folder, address), body);
}

bool WriteRecord(const std::string& folder, const Record& record, const std::string* body) {
    if (body != nullptr && !WriteCopy(folder, record.address, *body)) return false;
    if (folder.empty() || !MakeFolder(folder)) return false;
    std::string text = "adresse=" + OneLine(record.address) + "\n";
    text += "charge=" + std::to_string(record.fetched) + "\n";
    text += "essaye=" + std::to_string(record.attempted) + "\n";
    text += "etag=" + OneLine(record.validators.etag) + "\n";
    text += "last-modified=" + OneLine(record.validators.lastModified) + "\n";
    text += "issue=" + std::string(OutcomeName(record.outcome)) + "\n";
    text += "phrase=" + OneLine(record.sentence) + "\n";
    return ReplaceFile(RecordPath(folder, record.address), text);
}

}  // namespace subscriptions

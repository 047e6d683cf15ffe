#pragma once
// Things that stand where the user's file should be, made in a test's own folder,
// and the fingerprint that shows that nothing of them changed.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace files::testing {

// The first megabyte of a file: all of a small file, and enough of a large one.
inline std::string Contents(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::string bytes(1 << 20, '\0');
    file.read(bytes.data(), std::streamsize(bytes.size()));
    bytes.resize(std::size_t(file.gcount()));
    return bytes;
}

// What stands in the file's place: the thing itself, or a link to it beside the file.
enum class Thing { Fifo, Device, OtherUsersFile, Folder, Nothing };
struct HostileRow {
    const char* what;
    Thing thing;
    bool throughLink;
};
inline const HostileRow kHostileRows[] = {
    {"a FIFO", Thing::Fifo, false},
    {"a link to a FIFO", Thing::Fifo, true},
    {"a device, /dev/zero's kind", Thing::Device, false},
    {"a link to a device", Thing::Device, true},
    {"a link to another user's file", Thing::OtherUsersFile, true},
    {"a folder", Thing::Folder, false},
    {"a link to a folder", Thing::Folder, true},
    {"a dangling link", Thing::Nothing, true},
};

// A device and another user's file are made by root only.
inline bool NeedsRoot(Thing thing) { return thing == Thing::Device || thing == Thing::OtherUsersFile; }

inline constexpr uid_t kNobody = 65534;

inline void Make(Thing thing, const std::filesystem::path& path) {
    switch (thing) {
    case Thing::Fifo: ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); break;
    case Thing::Device: ASSERT_EQ(mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 5)), 0); break;
    case Thing::OtherUsersFile:
        std::ofstream(path) << "[solvane]\nregion=guyane\n";
        ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
        break;
    case Thing::Folder: std::filesystem::create_directory(path); break;
    case Thing::Nothing: break;
    }
}

// Makes the row's thing at `file` in `folder`, through a link when the row says so.
inline void MakeRow(const HostileRow& row, const std::filesystem::path& folder, const std::filesystem::path& file) {
    const std::filesystem::path thing = row.throughLink ? folder / "elsewhere" : file;
    Make(row.thing, thing);
    if (row.throughLink) std::filesystem::create_symlink(thing, file);
}

// What a thing is, to the byte: its kind, device number, owner, mode and contents.
inline std::string Fingerprint(const std::filesystem::path& path) {
    struct stat status = {};
    if (stat(path.c_str(), &status) != 0) return "nothing";
    std::string print = std::to_string(status.st_mode) + " " + std::to_string(status.st_rdev) + " " +
                        std::to_string(status.st_uid) + " " + std::to_string(status.st_size);
    if (S_ISREG(status.st_mode)) print += " " + Contents(path);
    return print;
}

}  // namespace files::testing

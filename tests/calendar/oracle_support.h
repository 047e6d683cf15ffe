#pragma once
// The outside oracles of tests/calendar/oracles.py, run by Debian's python3 with the
// Debian modules they need (python3-holidays, python3-ephem; zoneinfo is standard).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace calendar::test {

// The oracle's lines, without their line ends; a failed run fails the test. The
// script is read from standard input, so that SOLVANE_ORACLE_PYTHON, when set, may
// name another system's python3 (tools/holidays-oracle-trixie: "chroot DIR python3").
inline std::vector<std::string> OracleLines(const std::string& arguments) {
    const char* python = std::getenv("SOLVANE_ORACLE_PYTHON");
    const std::string command = std::string(python != nullptr && *python != '\0' ? python : SOLVANE_PYTHON3) + " - " +
                                arguments + " <" + SOLVANE_SOURCE_DIR + "/tests/calendar/oracles.py";
    std::vector<std::string> lines;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return lines;
    }
    std::string line;
    for (int c; (c = std::fgetc(pipe)) != EOF;) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    EXPECT_EQ(pclose(pipe), 0) << command;
    return lines;
}

// "A|B|C" in its fields; another separator for the system's tables.
inline std::vector<std::string> Fields(const std::string& line, char separator = '|') {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == separator)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

}  // namespace calendar::test

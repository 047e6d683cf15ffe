#pragma once
// The outside oracles of tests/calendar/oracles.py, run by Debian's python3 with the
// Debian modules they need (python3-holidays, python3-ephem; zoneinfo is standard).

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace calendar::test {

// The oracle's lines, without their line ends; a failed run fails the test.
inline std::vector<std::string> OracleLines(const std::string& arguments) {
    const std::string command =
        std::string(SOLVANE_PYTHON3) + " " + SOLVANE_SOURCE_DIR + "/tests/calendar/oracles.py " + arguments;
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

// "A|B|C" in its fields.
inline std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == '|')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

}  // namespace calendar::test

#pragma once
// The terminal's writes, each checked: an answer that could not be written whole
// (standard output closed, a full disk, a reader gone) is a failure, not a success.

#include <string>
#include <string_view>

// Writes all of `text` to the file descriptor with as many write() calls as it
// takes; 0 when everything is written, otherwise the errno of the failed call.
int WriteWhole(int fd, std::string_view text);

// The French sentence, without « solvane: », for a failed write to standard output.
std::string WriteFailedSentence(int error);

// Whether standard output is open. Checked first: a closed descriptor 1 would
// otherwise be taken by the next file opened, and the answer written into it.
bool StandardOutputIsOpen();

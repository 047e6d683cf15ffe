#include "terminal/output.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

int WriteWhole(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return written < 0 ? errno : EIO;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

std::string WriteFailedSentence(int error) {
    switch (error) {
    case EPIPE: return "la réponse n'a pas pu être écrite : le programme qui la lisait s'est arrêté.";
    case ENOSPC: return "la réponse n'a pas pu être écrite : il n'y a plus de place là où va la sortie standard.";
    case EBADF: return "la réponse n'a pas pu être écrite : la sortie standard est fermée.";
    default: return "la réponse n'a pas pu être écrite sur la sortie standard.";
    }
}

bool StandardOutputIsOpen() { return fcntl(STDOUT_FILENO, F_GETFD) != -1; }

#pragma once
// The tests' web server of calendars (calendar_server.py), started on 127.0.0.1 in
// a folder of the test's own, and stopped with this object or by Stop().

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/namedays/temp_folder.h"

extern char** environ;

namespace subscriptions::testing {

// A self-signed certificate for 127.0.0.1, made by openssl in `folder`: its
// certificate and key files.
inline std::pair<std::string, std::string> SelfSignedCertificate(const std::string& folder) {
    const std::string certificate = folder + "/certificat.pem", key = folder + "/cle.pem";
    const std::string command =
        "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 "
        "-addext subjectAltName=IP:127.0.0.1 -keyout '" +
        key + "' -out '" + certificate + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("openssl req failed");
    return {certificate, key};
}

class CalendarServer {
public:
    // `folder` holds the server's log and what it serves; with a certificate and its
    // key, it speaks TLS.
    explicit CalendarServer(const std::string& folder, const std::string& certificate = {},
                            const std::string& key = {}) {
        int output[2];
        if (pipe(output) != 0) throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, output[0]);
        std::vector<std::string> words{"/usr/bin/python3", SOLVANE_CALENDAR_SERVER, folder};
        if (!certificate.empty()) words.insert(words.end(), {"--tls", certificate, key});
        std::vector<char*> arguments;
        for (std::string& word : words) arguments.push_back(word.data());
        arguments.push_back(nullptr);
        const int spawned = posix_spawn(&pid_, arguments[0], &actions, nullptr, arguments.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(output[1]);
        if (spawned != 0) throw std::runtime_error("python3 did not start");
        // The port, on the first line: waited for, however long the server takes.
        FILE* lines = fdopen(output[0], "r");
        int port = 0;
        if (std::fscanf(lines, "%d", &port) != 1) throw std::runtime_error("the server said no port");
        std::fclose(lines);
        port_ = port;
        base_ = std::string(certificate.empty() ? "http" : "https") + "://127.0.0.1:" + std::to_string(port);
    }
    ~CalendarServer() { Stop(); }
    CalendarServer(const CalendarServer&) = delete;
    CalendarServer& operator=(const CalendarServer&) = delete;

    // The address of `path` on this server.
    std::string Address(const std::string& path) const { return base_ + path; }
    int Port() const { return port_; }

    // Ends the server: its port no longer answers.
    void Stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }

private:
    pid_t pid_ = 0;
    int port_ = 0;
    std::string base_;
};

}  // namespace subscriptions::testing

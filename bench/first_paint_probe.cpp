// Starts a program and tells how long its window took to appear on the screen.
//
//   first_paint_probe X Y RRGGBB -- PROGRAM [ARGUMENT...]
//
// The screen point (X, Y) must show the colour RRGGBB (hexadecimal: the screen's own
// colour) before the program starts; the probe waits up to 5 s for it, so that a
// window still closing cannot be taken for the new one. It then starts the program
// and reads that one pixel of the screen every half millisecond. X servers without a
// compositor keep what was on the screen under a new window until the window's
// owner draws it (Qt gives its windows no background of their own), so the first
// change of the pixel is the program's first paint reaching the screen.
//
// It prints "PID MICROSECONDS CPU_MICROSECONDS" on one line as soon as the pixel
// changes, the last the time the program's threads have spent on a processor until
// then (/proc/PID/task/*/schedstat), then waits for the program and ends with its
// status. Status 3: the pixel never showed RRGGBB or never changed within 30 s (the
// program is then stopped); 4: the program ended before it drew anything; 2: wrong
// arguments or no X display.

#include <xcb/xcb.h>

#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kPollInterval = std::chrono::microseconds(500);
constexpr auto kScreenColourDeadline = std::chrono::seconds(5);
constexpr auto kFirstPaintDeadline = std::chrono::seconds(30);

struct Screen {
    xcb_connection_t* connection;
    xcb_window_t root;
};

// The pixel at (x, y) as 0xRRGGBB, or nothing if the server refuses to give it.
std::optional<std::uint32_t> PixelAt(const Screen& screen, int x, int y) {
    const xcb_get_image_cookie_t cookie = xcb_get_image(screen.connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen.root,
                                                        std::int16_t(x), std::int16_t(y), 1, 1, ~0u);
    xcb_get_image_reply_t* reply = xcb_get_image_reply(screen.connection, cookie, nullptr);
    if (!reply) return std::nullopt;
    std::optional<std::uint32_t> pixel;
    // A 24-bit screen keeps each pixel in 32 bits, blue in the lowest byte.
    if (xcb_get_image_data_length(reply) >= 4) {
        std::uint32_t value;
        std::memcpy(&value, xcb_get_image_data(reply), sizeof value);
        pixel = value & 0xFFFFFFu;
    }
    std::free(reply);
    return pixel;
}

// The time all threads of a process have run, in microseconds; -1 if unknown.
long long RunMicroseconds(pid_t process) {
    long long nanoseconds = 0;
    std::error_code error;
    const std::filesystem::path tasks = "/proc/" + std::to_string(process) + "/task";
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        std::ifstream schedstat(task.path() / "schedstat");
        long long onProcessor = 0;
        if (schedstat >> onProcessor) nanoseconds += onProcessor;
    }
    return error ? -1 : nanoseconds / 1000;
}

int Usage() {
    std::fprintf(stderr, "usage: first_paint_probe X Y RRGGBB -- PROGRAM [ARGUMENT...]\n");
    return 2;
}

void StopChild(pid_t child) {
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 6 || std::strcmp(argv[4], "--") != 0) return Usage();
    const auto number = [](const char* text, int base) -> std::optional<long> {
        char* end = nullptr;
        const long value = std::strtol(text, &end, base);
        if (end == text || *end != '\0' || value < 0) return std::nullopt;
        return value;
    };
    const std::optional<long> x = number(argv[1], 10), y = number(argv[2], 10), colour = number(argv[3], 16);
    if (!x || !y || !colour || *x > 32767 || *y > 32767 || *colour > 0xFFFFFF) return Usage();
    const auto screenColour = std::uint32_t(*colour);

    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "first_paint_probe: no X display\n");
        return 2;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&screens);
    const Screen screen{connection, screens.data->root};

    const Clock::time_point waitStart = Clock::now();
    while (PixelAt(screen, int(*x), int(*y)) != screenColour) {
        if (Clock::now() - waitStart > kScreenColourDeadline) {
            std::fprintf(stderr, "first_paint_probe: (%d, %d) does not show the colour %06x\n", int(*x), int(*y),
                         screenColour);
            return 3;
        }
        std::this_thread::sleep_for(kPollInterval);
    }

    const Clock::time_point launch = Clock::now();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("first_paint_probe: fork");
        return 2;
    }
    if (child == 0) {
        execvp(argv[5], argv + 5);
        std::fprintf(stderr, "first_paint_probe: cannot start %s: %s\n", argv[5], std::strerror(errno));
        _exit(127);
    }

    for (;;) {
        const std::optional<std::uint32_t> pixel = PixelAt(screen, int(*x), int(*y));
        const Clock::time_point now = Clock::now();
        if (pixel && *pixel != screenColour) {
            const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - launch);
            std::printf("%d %lld %lld\n", int(child), static_cast<long long>(elapsed.count()), RunMicroseconds(child));
            std::fflush(stdout);
            break;
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "first_paint_probe: %s ended before it drew its window\n", argv[5]);
            return 4;
        }
        if (now - launch > kFirstPaintDeadline) {
            std::fprintf(stderr, "first_paint_probe: nothing drawn at (%d, %d) within 30 s\n", int(*x), int(*y));
            StopChild(child);
            return 3;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    // The probe stays out of the X server's way while the program runs on.
    xcb_disconnect(connection);

    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + WTERMSIG(status);
}

// Watches a box of a window on the X screen and tells when its pixels change: how
// the tests and the benchmarks see the clock line turn, as a user sees it.
//
//   clock_watch WINDOW LEFT TOP WIDTH HEIGHT SECONDS INTERVAL_MS [FRAMES_FOLDER]
//
// WINDOW is an X window id (decimal, or hexadecimal after 0x); the box is in its
// pixels, so the watch follows the window wherever it is moved. The box is read
// every INTERVAL_MS milliseconds (0.5 is allowed) for SECONDS seconds. The first
// read and every read that differs from the one before print a line: the time of
// the system clock when it was seen, in milliseconds since 1970 (three decimals).
// With FRAMES_FOLDER, each such read is also written there as a PPM picture,
// 0000.ppm, 0001.ppm, ... in order.
//
// Status 2: wrong arguments or no X display; 3: the window could not be read.

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Box {
    int left, top, width, height;
};

// The box's pixels as the server keeps them (32 bits each on a 24-bit screen, blue
// in the lowest byte), or nothing when the window cannot be read.
std::optional<std::vector<std::uint8_t>> ReadBox(xcb_connection_t* connection, xcb_window_t window, Box box) {
    const xcb_get_image_cookie_t cookie =
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, std::int16_t(box.left), std::int16_t(box.top),
                      std::uint16_t(box.width), std::uint16_t(box.height), ~0u);
    xcb_get_image_reply_t* reply = xcb_get_image_reply(connection, cookie, nullptr);
    if (!reply) return std::nullopt;
    const std::uint8_t* data = xcb_get_image_data(reply);
    std::vector<std::uint8_t> pixels(data, data + xcb_get_image_data_length(reply));
    std::free(reply);
    return pixels;
}

bool WritePpm(const std::string& path, const std::vector<std::uint8_t>& pixels, Box box) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", box.width, box.height);
    for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) {
        const std::uint8_t rgb[3] = {pixels[i + 2], pixels[i + 1], pixels[i]};
        std::fwrite(rgb, 1, 3, file);
    }
    return std::fclose(file) == 0;
}

double MillisecondsSince1970() {
    using namespace std::chrono;
    return duration<double, std::milli>(system_clock::now().time_since_epoch()).count();
}

int Usage() {
    std::fprintf(stderr, "usage: clock_watch WINDOW LEFT TOP WIDTH HEIGHT SECONDS INTERVAL_MS [FRAMES_FOLDER]\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 8 && argc != 9) return Usage();
    const auto number = [](const char* text) -> std::optional<double> {
        char* end = nullptr;
        const double value = std::strtod(text, &end);
        if (end == text || *end != '\0' || !(value >= 0) || value > 1e9) return std::nullopt;
        return value;
    };
    char* end = nullptr;
    const unsigned long window = std::strtoul(argv[1], &end, 0);
    std::optional<double> values[6];
    for (int i = 0; i < 6; ++i) values[i] = number(argv[2 + i]);
    for (const auto& value : values) {
        if (!value) return Usage();
    }
    if (*end != '\0' || window == 0 || *values[2] < 1 || *values[3] < 1 || *values[5] <= 0) return Usage();
    const Box box{int(*values[0]), int(*values[1]), int(*values[2]), int(*values[3])};
    const std::string frames = argc == 9 ? argv[8] : "";

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "clock_watch: no X display\n");
        return 2;
    }
    using Clock = std::chrono::steady_clock;
    const auto interval = std::chrono::duration<double, std::milli>(*values[5]);
    const Clock::time_point start = Clock::now();
    const Clock::time_point stop =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(*values[4]));
    std::vector<std::uint8_t> last;
    int frame = 0;
    for (Clock::time_point next = start; Clock::now() < stop;
         next += std::chrono::duration_cast<Clock::duration>(interval)) {
        const std::optional<std::vector<std::uint8_t>> pixels = ReadBox(connection, xcb_window_t(window), box);
        const double seen = MillisecondsSince1970();
        if (!pixels) {
            std::fprintf(stderr, "clock_watch: the window 0x%lx cannot be read\n", window);
            return 3;
        }
        if (*pixels != last) {
            last = *pixels;
            std::printf("%.3f\n", seen);
            std::fflush(stdout);
            char name[16];
            std::snprintf(name, sizeof name, "/%04d.ppm", frame++);
            if (!frames.empty() && !WritePpm(frames + name, last, box)) {
                std::fprintf(stderr, "clock_watch: cannot write %s%s\n", frames.c_str(), name);
                return 2;
            }
        }
        std::this_thread::sleep_until(next + std::chrono::duration_cast<Clock::duration>(interval));
    }
    xcb_disconnect(connection);
    return 0;
}

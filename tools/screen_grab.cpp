// screen_grab: the pixels of the X screen, whole or inside a box, for the scripts that
// look at the window (tools/lib/window_driver.sh). It writes what ImageMagick's
// `import -window root -depth 8` writes for the same formats, in a few milliseconds of
// processor time where import takes a tenth of a second: a test that watches the
// clock line can then look at it often without keeping a processor busy.
//
//   screen_grab rgb|ppm FILE [LEFT TOP WIDTH HEIGHT]   FILE "-" is the standard output
//   screen_grab checksum [LEFT TOP WIDTH HEIGHT]       a checksum of the pixels, in hexadecimal
//
// rgb is 8 bits of red, green and blue a pixel, rows from the top; ppm is the same
// behind a binary PPM header. The box is in screen pixels; only its part on the screen
// is read, as import crops.
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

[[noreturn]] void Fail(const std::string& sentence) {
    std::fprintf(stderr, "screen_grab : %s\n", sentence.c_str());
    std::exit(1);
}

int Number(const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < -100000 || value > 100000)
        Fail(std::string("« ") + text + " » n'est pas un nombre de pixels");
    return static_cast<int>(value);
}

// The pixels of `box` on the first screen, as red, green, blue bytes, rows from the top.
std::vector<std::uint8_t> RgbOf(xcb_connection_t* connection, const xcb_screen_t& screen, const Box& box) {
    if (xcb_get_setup(connection)->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        Fail("le serveur X range ses pixels l'octet de poids fort en tête : ils ne sont pas lus");
    if (screen.root_depth != 24 && screen.root_depth != 32)
        Fail("l'écran a " + std::to_string(screen.root_depth) + " bits par pixel : seuls 24 et 32 sont lus");
    const xcb_get_image_cookie_t cookie =
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen.root, static_cast<std::int16_t>(box.left),
                      static_cast<std::int16_t>(box.top), static_cast<std::uint16_t>(box.width),
                      static_cast<std::uint16_t>(box.height), ~0U);
    xcb_generic_error_t* error = nullptr;
    const std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> image(
        xcb_get_image_reply(connection, cookie, &error), &std::free);
    if (!image) {
        std::free(error);
        Fail("le serveur X refuse de donner les pixels de la boîte");
    }
    // Depth 24 and 32 come as 32 bits a pixel, blue first.
    const std::uint8_t* data = xcb_get_image_data(image.get());
    const auto expected = static_cast<std::size_t>(box.width) * static_cast<std::size_t>(box.height) * 4;
    if (static_cast<std::size_t>(xcb_get_image_data_length(image.get())) < expected)
        Fail("le serveur X a donné moins de pixels que la boîte n'en a");
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(box.width) * static_cast<std::size_t>(box.height) * 3);
    for (std::size_t pixel = 0; pixel < rgb.size() / 3; ++pixel) {
        rgb[pixel * 3] = data[pixel * 4 + 2];
        rgb[pixel * 3 + 1] = data[pixel * 4 + 1];
        rgb[pixel * 3 + 2] = data[pixel * 4];
    }
    return rgb;
}

// 64-bit FNV-1a: only ever compared with another checksum of this program.
std::uint64_t Checksum(const std::vector<std::uint8_t>& bytes) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const std::uint8_t byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ULL;
    }
    return hash;
}

void Write(const std::string& path, const std::string& header, const std::vector<std::uint8_t>& rgb) {
    std::FILE* file = path == "-" ? stdout : std::fopen(path.c_str(), "wb");
    if (file == nullptr) Fail("« " + path + " » ne peut pas être écrit");
    const bool written = std::fwrite(header.data(), 1, header.size(), file) == header.size() &&
                         std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
    if (!written || (file == stdout ? std::fflush(file) : std::fclose(file)) != 0)
        Fail("« " + path + " » n'a pas pu être écrit en entier");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view format = argc > 1 ? argv[1] : "";
    const int first_number = format == "checksum" ? 2 : 3;
    if ((format != "rgb" && format != "ppm" && format != "checksum") ||
        (argc != first_number && argc != first_number + 4))
        Fail("usage : screen_grab rgb|ppm FICHIER [GAUCHE HAUT LARGEUR HAUTEUR], ou screen_grab checksum [BOÎTE]");

    int screen_number = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screen_number);
    if (xcb_connection_has_error(connection) != 0) Fail("pas de serveur X à l'affichage de DISPLAY");
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int skipped = 0; skipped < screen_number && screens.rem > 0; ++skipped) xcb_screen_next(&screens);
    if (screens.rem == 0) Fail("l'affichage n'a pas l'écran demandé");
    const xcb_screen_t& screen = *screens.data;

    Box box{0, 0, screen.width_in_pixels, screen.height_in_pixels};
    if (argc == first_number + 4)
        box = {Number(argv[first_number]), Number(argv[first_number + 1]), Number(argv[first_number + 2]),
               Number(argv[first_number + 3])};
    // The part of the box on the screen, as import crops it.
    const int right = std::min(box.left + box.width, static_cast<int>(screen.width_in_pixels));
    const int bottom = std::min(box.top + box.height, static_cast<int>(screen.height_in_pixels));
    box.left = std::max(box.left, 0);
    box.top = std::max(box.top, 0);
    box.width = right - box.left;
    box.height = bottom - box.top;
    if (box.width <= 0 || box.height <= 0) Fail("la boîte est tout entière hors de l'écran");

    const std::vector<std::uint8_t> rgb = RgbOf(connection, screen, box);
    xcb_disconnect(connection);
    if (format == "checksum") {
        std::printf("%016llx\n", static_cast<unsigned long long>(Checksum(rgb)));
        return 0;
    }
    const std::string header =
        format == "ppm" ? "P6\n" + std::to_string(box.width) + " " + std::to_string(box.height) + "\n255\n" : "";
    Write(argv[2], header, rgb);
    return 0;
}

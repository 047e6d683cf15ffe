// screen_grab FORMAT FILE [LEFT TOP WIDTH HEIGHT]: the pixels of the X screen, whole or
// inside a box (only its part on the screen, as ImageMagick's import crops), for the
// scripts that look at the window (tools/lib/window_driver.sh). FORMAT rgb writes 8 bits
// of red, green and blue a pixel, rows from the top, as `import -depth 8 rgb:FILE`
// does; ppm the same behind a PPM header. FILE - is the standard output. It takes a few
// milliseconds where import takes a tenth of a second, so that a script may look at the clock often.
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const std::string& sentence) {
    std::fprintf(stderr, "screen_grab : %s\n", sentence.c_str());
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string format = argc > 2 ? argv[1] : "";
    if ((format != "rgb" && format != "ppm") || (argc != 3 && argc != 7)) {
        // Status 2, which the scripts ask for to know that this build runs here.
        std::fprintf(stderr, "usage : screen_grab rgb|ppm FICHIER [GAUCHE HAUT LARGEUR HAUTEUR]\n");
        return 2;
    }
    int screen_number = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screen_number);
    if (xcb_connection_has_error(connection) != 0) Fail("pas de serveur X à l'affichage de DISPLAY");
    const xcb_setup_t* setup = xcb_get_setup(connection);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    for (int skipped = 0; skipped < screen_number && screens.rem > 0; ++skipped) xcb_screen_next(&screens);
    if (screens.rem == 0) Fail("l'affichage n'a pas l'écran demandé");
    const xcb_screen_t& screen = *screens.data;
    // Depths 24 and 32 come as 32 bits a pixel, blue first on a server that puts the
    // low byte first, as Xvfb does on every machine this runs on.
    if ((screen.root_depth != 24 && screen.root_depth != 32) || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        Fail("seuls les écrans de 24 ou 32 bits par pixel, l'octet de poids faible en tête, sont lus");

    int left = 0, top = 0, right = screen.width_in_pixels, bottom = screen.height_in_pixels;
    if (argc == 7) {
        left = std::max(std::atoi(argv[3]), 0);
        top = std::max(std::atoi(argv[4]), 0);
        right = std::min(std::atoi(argv[3]) + std::atoi(argv[5]), right);
        bottom = std::min(std::atoi(argv[4]) + std::atoi(argv[6]), bottom);
    }
    if (right <= left || bottom <= top) Fail("la boîte est tout entière hors de l'écran");
    const auto width = static_cast<std::size_t>(right - left), height = static_cast<std::size_t>(bottom - top);

    const xcb_get_image_cookie_t cookie = xcb_get_image(
        connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen.root, static_cast<std::int16_t>(left),
        static_cast<std::int16_t>(top), static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), ~0U);
    xcb_get_image_reply_t* image = xcb_get_image_reply(connection, cookie, nullptr);
    if (image == nullptr || static_cast<std::size_t>(xcb_get_image_data_length(image)) < width * height * 4)
        Fail("le serveur X n'a pas donné les pixels de la boîte");
    const std::uint8_t* bgrx = xcb_get_image_data(image);
    std::vector<std::uint8_t> rgb(width * height * 3);
    for (std::size_t pixel = 0; pixel < width * height; ++pixel)
        for (std::size_t channel = 0; channel < 3; ++channel) rgb[pixel * 3 + channel] = bgrx[pixel * 4 + 2 - channel];

    const std::string path = argv[2];
    std::FILE* file = path == "-" ? stdout : std::fopen(path.c_str(), "wb");
    if (file == nullptr) Fail("« " + path + " » ne peut pas être écrit");
    if (format == "ppm") std::fprintf(file, "P6\n%zu %zu\n255\n", width, height);
    if (std::fwrite(rgb.data(), 1, rgb.size(), file) != rgb.size() || std::fflush(file) != 0)
        Fail("« " + path + " » n'a pas pu être écrit en entier");
    return 0;
}

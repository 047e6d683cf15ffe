// Draws the pictures of the gadget and writes them to files:
//   draw_pictures window FOLDER   the pictures built into the window, as GIF files, and
//                                 the background as C++ source (indexed_rows_file.h)
//   draw_pictures moon FOLDER     the thirty moon pictures 0.gif .. 29.gif
//   draw_pictures icon FOLDER     the icon for the desktop menus, solvane.png
// The build runs it; nothing of it is shipped.

#include <exception>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <string_view>

#include "assets/gif_file.h"
#include "assets/icon_files.h"
#include "assets/indexed_picture.h"
#include "assets/indexed_rows_file.h"
#include "assets/pictures.h"

namespace {

using assets::Canvas;

// The moon that the window shows before its first refresh: a crescent a few days old.
constexpr double kInitialMoonAge = 4;
constexpr int kMoonPictures = 30;
constexpr int kMoonPaletteSize = 32;

struct WindowPicture {
    const char* fileName;
    std::function<Canvas()> draw;
    int paletteSize;
};

const WindowPicture kWindowPictures[] = {
    // Painted before the first frame: compiled in as the window holds it.
    {"background_rows.cpp", assets::DrawBackground, 256},
    {"icon.gif", assets::DrawHourglassIcon, 256},
    {"minimise.gif", [] { return assets::DrawMinimiseButton(); }, 16},
    {"quit.gif", [] { return assets::DrawQuitButton(); }, 16},
    {"hand_cursor.gif", [] { return assets::DrawHandCursor(); }, 4},
    // The same at twice the resolution, named as Qt looks them up for screens of two
    // device pixels per window pixel.
    {"minimise@2x.gif", [] { return assets::DrawMinimiseButton(2); }, 16},
    {"quit@2x.gif", [] { return assets::DrawQuitButton(2); }, 16},
    {"hand_cursor@2x.gif", [] { return assets::DrawHandCursor(2); }, 4},
    {"moon_crescent.gif", [] { return assets::DrawMoon(kInitialMoonAge); }, kMoonPaletteSize},
};

void Write(const std::filesystem::path& path, const Canvas& canvas, int paletteSize) {
    if (path.extension() == ".cpp") {
        assets::WriteIndexedRowsSource(path, "kBackgroundRows", assets::ToIndexed(canvas, paletteSize));
    } else {
        assets::WriteGif(path, assets::ToIndexed(canvas, paletteSize));
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string_view what = argc == 3 ? argv[1] : "";
    if (what != "window" && what != "moon" && what != "icon") {
        std::cerr << "Usage : draw_pictures window|moon|icon DOSSIER\n";
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[2];
        std::filesystem::create_directories(folder);
        if (what == "window") {
            for (const WindowPicture& picture : kWindowPictures) {
                Write(folder / picture.fileName, picture.draw(), picture.paletteSize);
            }
        } else if (what == "icon") {
            // The window's icon at its own size; its scalable form is assets/solvane.svg.
            assets::WritePng(folder / "solvane.png", assets::DrawHourglassIcon());
        } else {
            // One picture per whole day of the moon's age, named by the number alone.
            for (int age = 0; age < kMoonPictures; ++age) {
                Write(folder / (std::to_string(age) + ".gif"), assets::DrawMoon(age), kMoonPaletteSize);
            }
        }
    } catch (const std::exception& error) {
        std::cerr << "draw_pictures : " << error.what() << '\n';
        return 1;
    }
    return 0;
}

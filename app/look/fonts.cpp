#include "app/look/fonts.h"

QFont WindowFont(int pixelSize, bool bold) {
    QFont font(QString::fromLatin1(kWindowFontFamily));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

#include "app/platform/gadget_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <cstdio>

#include "calendar/regional_holidays.h"
#include "terminal/settings_file.h"

namespace {

// Far past any desktop: a coordinate or a size beyond it is damage, not a screen.
constexpr int kLargestDesktopCoordinate = 1'000'000;

// The keys, each in the group of the file.
struct Keys {
    const char* x;
    const char* y;
    const char* screen;
    const char* screenX;
    const char* screenY;
    const char* screenWidth;
    const char* screenHeight;
    const char* keepAbove;
    const char* region;
};
constexpr Keys kKeys{.x = "x",
                     .y = "y",
                     .screen = "screen",
                     .screenX = "screen_x",
                     .screenY = "screen_y",
                     .screenWidth = "screen_width",
                     .screenHeight = "screen_height",
                     .keepAbove = "keep_above",
                     .region = kRegionSettingKey.data()};

QString Key(const char* name) {
    return QString::fromLatin1(kSettingsGroup.data(), qsizetype(kSettingsGroup.size())) + QLatin1Char('/') +
           QLatin1String(name);
}

// A whole number within ±kLargestDesktopCoordinate, or none.
std::optional<int> Coordinate(const QSettings& file, const char* name) {
    bool ok = false;
    const qlonglong value = file.value(Key(name)).toString().trimmed().toLongLong(&ok);
    if (!ok || value < -kLargestDesktopCoordinate || value > kLargestDesktopCoordinate) return std::nullopt;
    return int(value);
}

std::optional<bool> Flag(const QSettings& file, const char* name) {
    const QString value = file.value(Key(name)).toString().trimmed();
    if (value == QLatin1String("true")) return true;
    if (value == QLatin1String("false")) return false;
    return std::nullopt;
}

// A region by its ASCII key, as the terminal reads it too; none for another value.
std::optional<calendar::Region> ReadRegion(const QSettings& file) {
    return calendar::RegionNamed(file.value(Key(kKeys.region)).toString().trimmed().toStdString());
}

std::optional<SavedPlace> ReadPlace(const QSettings& file) {
    const auto x = Coordinate(file, kKeys.x), y = Coordinate(file, kKeys.y);
    const auto left = Coordinate(file, kKeys.screenX), top = Coordinate(file, kKeys.screenY);
    const auto width = Coordinate(file, kKeys.screenWidth), height = Coordinate(file, kKeys.screenHeight);
    const QString screen = file.value(Key(kKeys.screen)).toString();
    if (!x || !y || !left || !top || !width || !height || *width <= 0 || *height <= 0 || screen.isEmpty()) {
        return std::nullopt;
    }
    return SavedPlace{
        .topLeft = QPoint(*x, *y), .screenName = screen, .screenGeometry = QRect(*left, *top, *width, *height)};
}

// One sentence at most in a run, however many writes fail.
void SayOnce(const QString& sentence) {
    static bool said = false;
    if (said) return;
    said = true;
    std::fprintf(stderr, "solvane: %s\n", sentence.toLocal8Bit().constData());
}

}  // namespace

GadgetSettings::GadgetSettings(const QString& path) : path_(path) {
    // Only an ordinary file of a sensible size is read: a pipe in its place would
    // hold up the start, a device such as /dev/zero never ends.
    const QFileInfo info(path_);
    if (path_.isEmpty() || !info.isFile() || !info.isReadable() || info.size() > kLargestSettingsBytes) return;
    const QSettings file(path_, QSettings::IniFormat);
    place_ = ReadPlace(file);
    keepAbove_ = Flag(file, kKeys.keepAbove);
    region_ = ReadRegion(file);
}

QString GadgetSettings::DefaultPath() { return QString::fromLocal8Bit(SettingsFilePath().c_str()); }

void GadgetSettings::SetPlace(const std::optional<SavedPlace>& place) {
    if (place == place_) return;
    place_ = place;
    Write();
}

void GadgetSettings::SetKeepAbove(bool keepAbove) {
    if (keepAbove_ == keepAbove) return;
    keepAbove_ = keepAbove;
    Write();
}

void GadgetSettings::SetRegion(calendar::Region region) {
    if (region_ == region) return;
    region_ = region;
    Write();
}

// QSettings writes the whole file to a new one beside it and renames it over the
// old (QSaveFile): a crash or a full disk leaves the old file whole. What the file
// held is written again as this run knows it, keys of other programs' versions
// included; a damaged file is replaced.
void GadgetSettings::Write() {
    if (path_.isEmpty()) {
        SayOnce(QStringLiteral("ni HOME ni XDG_CONFIG_HOME ne sont définis : les réglages ne seront pas retenus."));
        return;
    }
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSettings file(path_, QSettings::IniFormat);
    if (!QFileInfo(path_).isFile()) file.clear();  // a folder or a dangling link: nothing to keep
    if (file.status() == QSettings::FormatError) file.clear();
    const auto set = [&file](const char* name, const QVariant& value) { file.setValue(Key(name), value); };
    const auto remove = [&file](const char* name) { file.remove(Key(name)); };
    if (place_) {
        set(kKeys.x, place_->topLeft.x());
        set(kKeys.y, place_->topLeft.y());
        set(kKeys.screen, place_->screenName);
        set(kKeys.screenX, place_->screenGeometry.x());
        set(kKeys.screenY, place_->screenGeometry.y());
        set(kKeys.screenWidth, place_->screenGeometry.width());
        set(kKeys.screenHeight, place_->screenGeometry.height());
    } else {
        for (const char* name :
             {kKeys.x, kKeys.y, kKeys.screen, kKeys.screenX, kKeys.screenY, kKeys.screenWidth, kKeys.screenHeight}) {
            remove(name);
        }
    }
    if (keepAbove_) set(kKeys.keepAbove, *keepAbove_ ? QStringLiteral("true") : QStringLiteral("false"));
    if (region_) {
        const std::string_view key = calendar::RegionKey(*region_);
        set(kKeys.region, QString::fromLatin1(key.data(), qsizetype(key.size())));
    }
    file.sync();
    if (file.status() != QSettings::NoError) {
        SayOnce(QStringLiteral("les réglages ne peuvent pas être écrits dans %1.").arg(path_));
    }
}

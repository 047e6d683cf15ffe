#pragma once
// The gadget's settings file (terminal/settings_file.h names it): read once at
// start-up, written whole after each change. A file that is missing, damaged, of
// another kind or unreadable gives the defaults; a value that is not what its key
// holds reads as its default. A write that fails leaves the file as it was, and
// says so once on standard error.

#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>

#include "calendar/regional_holidays.h"

// Where the user left the window: its top-left corner and the screen it lay on, by
// name and geometry, all in the desktop's pixels.
struct SavedPlace {
    QPoint topLeft;
    QString screenName;
    QRect screenGeometry;
    bool operator==(const SavedPlace&) const = default;
};

class GadgetSettings {
public:
    // The file at `path`; no file at all when `path` is empty (neither HOME nor
    // XDG_CONFIG_HOME set): the settings then last as long as the program.
    explicit GadgetSettings(const QString& path);

    // The file of the environment's XDG_CONFIG_HOME or HOME.
    static QString DefaultPath();

    const std::optional<SavedPlace>& Place() const { return place_; }
    // Writes the place, or forgets it.
    void SetPlace(const std::optional<SavedPlace>& place);

    // The user's choice in the menu; none when never made.
    std::optional<bool> KeepAbove() const { return keepAbove_; }
    void SetKeepAbove(bool keepAbove);

    // The region whose public holidays add to the nation's, chosen in the menu; none
    // when never chosen. The terminal reads the same key.
    std::optional<calendar::Region> Region() const { return region_; }
    void SetRegion(calendar::Region region);

private:
    void Write();

    QString path_;
    std::optional<SavedPlace> place_;
    std::optional<bool> keepAbove_;
    std::optional<calendar::Region> region_;
};

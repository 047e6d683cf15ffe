#pragma once
// The gadget's settings, as the window sees them: the settings file of settings/,
// read at start-up, written after each change the user makes, and read again
// whenever another program (a second gadget on another display, an editor) changes
// it, so that every running gadget shows the same choices. A file that is missing,
// damaged, of another kind or unreadable gives the defaults; a value that is not
// what its key holds reads as its default. A write that fails leaves the file as it
// was; what went wrong is said once on standard error.

#include <QFileSystemWatcher>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>
#include <vector>

#include "calendar/places.h"
#include "calendar/regional_holidays.h"
#include "settings/ini_text.h"
#include "settings/settings_file.h"

// Where the user left the window: its top-left corner and the screen it lay on, by
// name and geometry, all in the desktop's pixels.
struct SavedPlace {
    QPoint topLeft;
    QString screenName;
    QRect screenGeometry;
    bool operator==(const SavedPlace&) const = default;
};

class GadgetSettings : public QObject {
    Q_OBJECT
public:
    // The file at `path`, the place of the display `display`; no file at all when
    // `path` is empty (neither HOME nor XDG_CONFIG_HOME set): the settings then last
    // as long as the program.
    GadgetSettings(const QString& path, const QString& display, QObject* parent = nullptr);

    // The file of the environment's XDG_CONFIG_HOME or HOME, and the display this
    // program shows on, one name however it is spelt (":0" for DISPLAY=unix:0.0).
    static QString DefaultPath();
    static QString CurrentDisplay();

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

    // The place of the sun and the seasons chosen in « Lieu… »; none when never
    // chosen, or when the file's text names no place. The terminal reads the same key.
    const std::optional<calendar::Place>& AlmanacPlace() const { return almanacPlace_; }
    // Keeps the place, or forgets it: the region's chef-lieu then stands for it.
    void SetAlmanacPlace(const std::optional<calendar::Place>& place);

    // Whether the grid shows the ISO week numbers, chosen in the menu; off by default.
    bool WeekNumbers() const { return weekNumbers_; }
    void SetWeekNumbers(bool shown);

    // The user's agendas, as the file lists them (settings::AgendaEntries).
    const std::vector<settings::AgendaEntry>& Agendas() const { return agendas_; }
    void SetAgendas(const std::vector<settings::AgendaEntry>& agendas);

signals:
    // The file changed under another program's hand, and the region, the place, the
    // choice « Toujours au-dessus », the week numbers or the agendas it holds now
    // differ from what this one showed.
    void Changed();

private:
    void Read();
    void ReadAgain();
    void Watch();
    void Write(const std::function<void(settings::IniText&)>& change);

    QString path_;
    QString display_;
    std::optional<SavedPlace> place_;
    std::optional<bool> keepAbove_;
    std::optional<calendar::Region> region_;
    std::optional<calendar::Place> almanacPlace_;
    std::vector<settings::AgendaEntry> agendas_;
    bool weekNumbers_ = false;
    QFileSystemWatcher watcher_;
};

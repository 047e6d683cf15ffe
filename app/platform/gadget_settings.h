#pragma once
// The gadget's settings, as the window sees them: the settings file of settings/,
// read at start-up, written after each change the user makes, and read again
// whenever another program (a second gadget on another display, an editor) changes
// it, so that every running gadget shows the same choices. The choices it shares
// with the terminal are decoded as the terminal decodes them (choices/). A file that is missing,
// damaged, of another kind or unreadable gives the defaults; a value that is not
// what its key holds reads as its default. A write that fails leaves the file as it
// was; what went wrong is said once on standard error.

#include <QFileSystemWatcher>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "calendar/places.h"
#include "calendar/regional_holidays.h"
#include "choices/user_choices.h"
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
    // Changes made by others are followed from now on, or from FollowChanges on.
    enum class Follow { FromNow, Later };
    GadgetSettings(const QString& path, const QString& display, Follow follow = Follow::FromNow,
                   QObject* parent = nullptr);

    // Starts following the file, for settings made with Follow::Later: a change made
    // since the reading is read now.
    void FollowChanges();

    // The file of the environment's XDG_CONFIG_HOME or HOME, and the display this
    // program shows on, one name however it is spelt (":0" for DISPLAY=unix:0.0).
    static QString DefaultPath();
    static QString CurrentDisplay();

    const std::optional<SavedPlace>& Place() const { return place_; }
    // Writes the place, or forgets it.
    void SetPlace(const std::optional<SavedPlace>& place);

    // The user's choice in the menu; none when never made.
    std::optional<bool> KeepAbove() const { return shared_.keepAbove; }
    void SetKeepAbove(bool keepAbove);

    // The region, the place of the sun and the agendas, as the terminal takes them
    // from the same file.
    const choices::UserChoices& Choices() const { return shared_.choices; }
    // The region whose public holidays add to the nation's, chosen in the menu.
    void SetRegion(calendar::Region region);
    // Keeps the place chosen in « Lieu… », or forgets it: the region's chef-lieu then
    // stands for it.
    void SetAlmanacPlace(const std::optional<calendar::Place>& place);

    // Whether the grid shows the ISO week numbers, chosen in the menu; off by default.
    bool WeekNumbers() const { return shared_.weekNumbers; }
    void SetWeekNumbers(bool shown);

    // Whether the contacts' name days and birthdays are told each morning, chosen in
    // the menu; off by default.
    bool Wishes() const { return shared_.wishes; }
    void SetWishes(bool on);

    // The user's agendas, as the file lists them (settings::AgendaEntries).
    const std::vector<settings::AgendaEntry>& Agendas() const { return shared_.agendas; }
    void SetAgendas(const std::vector<settings::AgendaEntry>& agendas);
    // The writable agenda that new events go to, by its source as the list writes it;
    // Choices().defaultAgenda says the one that holds.
    void SetDefaultAgenda(const std::string& source);

signals:
    // The region, the place, the choice « Toujours au-dessus », the week numbers, the
    // wishes or the agendas differ from what they were: changed here, or in the file by another
    // program.
    void Changed();

private:
    // What every gadget shows alike; the place of the window is each display's own.
    struct Shared {
        std::optional<bool> keepAbove;
        bool weekNumbers = false;
        bool wishes = false;
        std::vector<settings::AgendaEntry> agendas;
        choices::UserChoices choices;
        bool operator==(const Shared&) const = default;
    };
    void Read();
    void ReadAgain();
    void Decode();
    void StartWatching();
    void Watch();
    void Write(const std::function<void(settings::IniText&)>& change);

    QString path_;
    QString display_;
    settings::IniText text_;  // the file as last read, with this program's changes since
    std::optional<SavedPlace> place_;
    Shared shared_;
    std::unique_ptr<QFileSystemWatcher> watcher_;  // while changes are followed
};

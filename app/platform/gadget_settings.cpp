#include "app/platform/gadget_settings.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "app/platform/display_platform.h"
#include "app/text/qt_text.h"
#include "calendar/regional_holidays.h"
#include "settings/settings_file.h"
#include "settings/window_place.h"

namespace {

// Each sentence once in a run, however many writes go wrong the same way.
void SayOnce(const std::string& sentence) {
    static std::set<std::string> said;
    if (sentence.empty() || !said.insert(sentence).second) return;
    std::fprintf(stderr, "solvane: %s\n", sentence.c_str());
}

std::optional<SavedPlace> ToSaved(const std::optional<settings::WindowPlace>& place) {
    if (!place) return std::nullopt;
    return SavedPlace{.topLeft = QPoint(place->x, place->y),
                      .screenName = Utf8(place->screen),
                      .screenGeometry = QRect(place->screenX, place->screenY, place->screenWidth, place->screenHeight)};
}

std::optional<settings::WindowPlace> ToWindowPlace(const std::optional<SavedPlace>& place) {
    if (!place) return std::nullopt;
    return settings::WindowPlace{.x = place->topLeft.x(),
                                 .y = place->topLeft.y(),
                                 .screen = Utf8Of(place->screenName),
                                 .screenX = place->screenGeometry.x(),
                                 .screenY = place->screenGeometry.y(),
                                 .screenWidth = place->screenGeometry.width(),
                                 .screenHeight = place->screenGeometry.height()};
}

}  // namespace

GadgetSettings::GadgetSettings(const QString& path, const QString& display, Follow follow, QObject* parent)
    : QObject(parent), path_(path), display_(display) {
    Read();
    if (follow == Follow::FromNow) StartWatching();
}

void GadgetSettings::FollowChanges() {
    if (watcher_) return;
    StartWatching();
    ReadAgain();
}

void GadgetSettings::StartWatching() {
    // A save by another program replaces the file by a rename, which its folder sees;
    // a file reached through a link changes in the folder of its target.
    watcher_ = std::make_unique<QFileSystemWatcher>();
    connect(watcher_.get(), &QFileSystemWatcher::directoryChanged, this, &GadgetSettings::ReadAgain);
    Watch();
}

QString GadgetSettings::DefaultPath() { return FromNative(settings::SettingsFilePath()); }

QString GadgetSettings::CurrentDisplay() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb")) {
        return Utf8(CanonicalX11Display(Utf8Of(qEnvironmentVariable("DISPLAY"))));
    }
    if (platform.startsWith(QLatin1String("wayland"))) {
        const QString socket = qEnvironmentVariable("WAYLAND_DISPLAY", QStringLiteral("wayland-0"));
        return QStringLiteral("wayland:") + socket;
    }
    return platform;
}

void GadgetSettings::Read() {
    text_ = settings::ReadSettings(Native(path_)).text;
    place_ = ToSaved(settings::PlaceOn(text_, Utf8Of(display_)));
    Decode();
}

void GadgetSettings::Decode() {
    shared_.keepAbove = settings::Flag(text_.Value(settings::kGroup, settings::kKeepAboveKey));
    shared_.weekNumbers = settings::Flag(text_.Value(settings::kGroup, settings::kWeekNumbersKey)).value_or(false);
    shared_.wishes = settings::Flag(text_.Value(settings::kGroup, settings::kWishesKey)).value_or(false);
    shared_.agendas = settings::AgendaEntries(text_);
    shared_.choices = choices::ChoicesOf(text_);
}

// The place is this display's own and stays as this window knows it; the shared
// choices follow the file.
void GadgetSettings::ReadAgain() {
    const Shared before = shared_;
    const std::optional<SavedPlace> place = place_;
    Read();
    place_ = place;
    Watch();
    if (shared_ != before) emit Changed();
}

// The folders of the file and of the target of a link in its place; while the
// gadget's folder does not exist, the folder above it, where it will appear.
void GadgetSettings::Watch() {
    if (path_.isEmpty() || !watcher_) return;
    const QStringList watched = watcher_->directories();
    for (const std::string& each : settings::FoldersOfTheFile(Native(path_))) {
        const QFileInfo named(FromNative(each));
        const QFileInfo folder(named.isDir() ? named.absoluteFilePath() : named.absolutePath());
        // Only a folder the user may read can be watched; Qt would say so in English.
        const QString path = folder.absoluteFilePath();
        if (!watched.contains(path) && folder.isDir() && folder.isReadable()) watcher_->addPath(path);
    }
}

void GadgetSettings::SetAgendas(const std::vector<settings::AgendaEntry>& agendas) {
    Write([&](settings::IniText& text) { settings::SetAgendaEntries(text, agendas); });
}

void GadgetSettings::SetDefaultAgenda(const std::string& source) {
    if (text_.Value(settings::kGroup, settings::kDefaultAgendaKey) == source) return;
    Write([&](settings::IniText& text) { text.Set(settings::kGroup, settings::kDefaultAgendaKey, source); });
}

void GadgetSettings::SetPlace(const std::optional<SavedPlace>& place) {
    if (place == place_) return;
    place_ = place;
    const std::string display = Utf8Of(display_);
    Write([&](settings::IniText& text) { settings::SetPlaceOn(text, display, ToWindowPlace(place)); });
}

void GadgetSettings::SetKeepAbove(bool keepAbove) {
    if (shared_.keepAbove == keepAbove) return;
    Write([&](settings::IniText& text) {
        text.Set(settings::kGroup, settings::kKeepAboveKey, keepAbove ? "true" : "false");
    });
}

void GadgetSettings::SetRegion(calendar::Region region) {
    const std::string key(calendar::RegionKey(region));
    if (text_.Value(settings::kGroup, settings::kRegionKey) == key) return;
    Write([&](settings::IniText& text) { text.Set(settings::kGroup, settings::kRegionKey, key); });
}

void GadgetSettings::SetAlmanacPlace(const std::optional<calendar::Place>& place) {
    // Forgetting writes even when the file's text named no place: the key goes.
    if (place && shared_.choices.placeGiven && shared_.choices.place == *place) return;
    Write([&](settings::IniText& text) {
        if (place) {
            text.Set(settings::kGroup, settings::kPlaceKey, place->text);
        } else {
            text.Remove(settings::kGroup, settings::kPlaceKey);
        }
    });
}

void GadgetSettings::SetWeekNumbers(bool shown) {
    if (shared_.weekNumbers == shown) return;
    Write([&](settings::IniText& text) {
        text.Set(settings::kGroup, settings::kWeekNumbersKey, shown ? "true" : "false");
    });
}

void GadgetSettings::SetWishes(bool on) {
    if (shared_.wishes == on) return;
    Write([&](settings::IniText& text) { text.Set(settings::kGroup, settings::kWishesKey, on ? "true" : "false"); });
}

// The change holds here at once, whether the file takes it or not, and is told as
// another program's is: the file's own change, when its folder reports it, then
// brings nothing new.
void GadgetSettings::Write(const std::function<void(settings::IniText&)>& change) {
    const Shared before = shared_;
    change(text_);
    Decode();
    if (path_.isEmpty()) {
        SayOnce("ni HOME ni XDG_CONFIG_HOME ne sont définis : les réglages ne seront pas retenus.");
    } else {
        SayOnce(settings::UpdateSettings(Native(path_), change).sentence);
        Watch();  // the folder may be new
    }
    if (shared_ != before) emit Changed();
}

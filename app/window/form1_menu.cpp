// The window's menu, on the right button over its background, the Menu key or
// Shift+F10, and the dialogs of its entries « Lieu… » and « À propos de Solvane ».

#include <QActionGroup>
#include <QCalendarWidget>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "app/platform/autostart.h"
#include "app/text/qt_text.h"
#include "app/window/agendas_dialog.h"
#include "app/window/event_dialog.h"
#include "app/window/form1.h"
#include "app/window/place_dialog.h"
#include "calendar/regional_holidays.h"

namespace {

// The menu's entries, in their order; an empty text is a separator.
enum class Entry {
    KeepAbove,
    Autostart,
    Holidays,
    Place,
    WeekNumbers,
    Agendas,
    NewEvent,
    Wishes,
    NoNotifications,
    Recentre,
    About,
    Minimise,
    Quit,
    Separator
};
struct MenuRow {
    Entry entry;
    const char* text;  // UTF-8, with its & before the key that picks it
};
constexpr MenuRow kMenuRows[] = {
    {.entry = Entry::KeepAbove, .text = "&Toujours au-dessus des autres fenêtres"},
    {.entry = Entry::Autostart, .text = "&Lancer Solvane à l'ouverture de session"},
    {.entry = Entry::Separator, .text = ""},
    {.entry = Entry::Holidays, .text = "&Jours fériés"},
    {.entry = Entry::Place, .text = "L&ieu…"},
    {.entry = Entry::WeekNumbers, .text = "&Numéros de semaine"},
    {.entry = Entry::Agendas, .text = "&Agendas…"},
    {.entry = Entry::NewEvent, .text = "Nou&vel évènement…"},
    {.entry = Entry::Wishes, .text = "Rappeler les &fêtes et les anniversaires"},
    // Shown alone, without a server on the session bus: the reminders go nowhere.
    {.entry = Entry::NoNotifications, .text = "Aucun service de notifications : les rappels ne s'affichent pas"},
    {.entry = Entry::Separator, .text = ""},
    {.entry = Entry::Recentre, .text = "Remettre au &centre"},
    {.entry = Entry::About, .text = "À &propos de Solvane"},
    {.entry = Entry::Separator, .text = ""},
    {.entry = Entry::Minimise, .text = "&Réduire"},
    {.entry = Entry::Quit, .text = "&Quitter"},
};

}  // namespace

// Over the background, the labels and the pictures, which have no menu of their own.
// The calendar's grid keeps the right button to itself, its year field has Qt's
// menu; the Menu key comes here from wherever the keyboard is, but the year field.
void Form1::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse) {
        ShowMenu(event->globalPos());
    } else {
        ShowMenuFromKeyboard();
    }
    event->accept();
}

void Form1::ShowMenu(QPoint globalPosition) {
    // Qt keeps the menu inside the screen that holds `globalPosition`.
    NewMenu()->popup(globalPosition);
}

// Opened from the keyboard, the menu has its first entry active, as after a first
// arrow key: Qt tells a screen reader that this entry has the focus, and the reader
// says it. Opened by the mouse, no entry is active until the pointer moves over one.
void Form1::ShowMenuFromKeyboard() {
    QMenu* menu = NewMenu();
    menu->popup(mapToGlobal(QPoint(kWidth / 3, kHeight / 3)));
    const QList<QAction*> entries = menu->actions();
    const auto first = std::find_if(entries.begin(), entries.end(),
                                    [](const QAction* entry) { return !entry->isSeparator() && entry->isEnabled(); });
    if (first != entries.end()) menu->setActiveAction(*first);
}

QMenu* Form1::NewMenu() {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName(QStringLiteral("Form1Menu"));
    menu->setTitle(QStringLiteral("Solvane"));
    menu->setAccessibleName(QStringLiteral("Menu de Solvane"));
    const QString autostartPath = AutostartFilePath();
    for (const MenuRow& row : kMenuRows) {
        if (row.entry == Entry::Separator) {
            menu->addSeparator();
            continue;
        }
        if (row.entry == Entry::Holidays) {
            AddRegionMenu(*menu->addMenu(Utf8(row.text)));
            continue;
        }
        if (row.entry == Entry::NoNotifications && reminders_.NotificationsShown()) continue;
        QAction* action = menu->addAction(Utf8(row.text));
        switch (row.entry) {
        case Entry::KeepAbove:
            action->setCheckable(true);
            action->setChecked(KeptAbove());
            connect(action, &QAction::toggled, this, &Form1::SetKeptAbove);
            // A choice made in another gadget while the menu is open ticks it here too.
            connect(&settings_, &GadgetSettings::Changed, action, [this, action] {
                const QSignalBlocker quiet(action);
                action->setChecked(KeptAbove());
            });
            break;
        case Entry::Autostart:
            // As the disk says now: a file removed by hand shows unchecked.
            action->setCheckable(true);
            action->setChecked(AutostartIsOn(autostartPath));
            action->setEnabled(!autostartPath.isEmpty());
            connect(action, &QAction::toggled, this, [autostartPath](bool on) {
                // The session starts the command `solvane` beside this window's program,
                // which starts the window as the menu's entry does.
                const QString command = QCoreApplication::applicationDirPath() + QStringLiteral("/solvane");
                if (SetAutostart(autostartPath, on, command)) return;
                const char* sentence = on ? "solvane: le lancement à l'ouverture de session ne peut pas être écrit "
                                            "dans %s.\n"
                                          : "solvane: %s n'a pas été écrit par Solvane et reste en place.\n";
                std::fprintf(stderr, sentence, Native(autostartPath).c_str());
            });
            break;
        case Entry::WeekNumbers:
            action->setCheckable(true);
            action->setChecked(Cal1->WeekNumbers());
            connect(action, &QAction::toggled, this, &Form1::SetWeekNumbersShown);
            connect(&settings_, &GadgetSettings::Changed, action, [this, action] {
                const QSignalBlocker quiet(action);
                action->setChecked(Cal1->WeekNumbers());
            });
            break;
        case Entry::Agendas: connect(action, &QAction::triggered, this, &Form1::ShowAgendas); break;
        case Entry::NewEvent:
            connect(action, &QAction::triggered, this, [this] { ShowNewEvent(Cal1->Widget()->selectedDate()); });
            break;
        case Entry::Wishes:
            action->setCheckable(true);
            action->setChecked(settings_.Wishes());
            connect(action, &QAction::toggled, &settings_, &GadgetSettings::SetWishes);
            connect(&settings_, &GadgetSettings::Changed, action, [this, action] {
                const QSignalBlocker quiet(action);
                action->setChecked(settings_.Wishes());
            });
            break;
        case Entry::NoNotifications:
            // A line that tells, read by screen readers as the entries are.
            action->setObjectName(QStringLiteral("NoNotifications"));
            action->setEnabled(false);
            break;
        case Entry::Recentre: connect(action, &QAction::triggered, this, [this] { placement_.Recentre(); }); break;
        case Entry::Place: connect(action, &QAction::triggered, this, &Form1::ShowPlaceDialog); break;
        case Entry::About: connect(action, &QAction::triggered, this, &Form1::ShowAbout); break;
        case Entry::Minimise: connect(action, &QAction::triggered, this, &Form1::CmdMinimise_Click); break;
        case Entry::Quit: connect(action, &QAction::triggered, this, &Form1::cmdQuit_Click); break;
        case Entry::Holidays:
        case Entry::Separator: break;
        }
    }
    return menu;
}

// The day's wishes follow the choice, whoever made it, with the name-day list read.
void Form1::FollowWishes() { reminders_.SetWishes(settings_.Wishes(), nameDays_); }

// The places whose holidays the grid marks and the tooltips name, one checked: the
// nation alone, the nation and one region, or a place abroad. A separator closes
// each country's places, so that the keyboard and a screen reader meet them
// together, each entry named in full (« Suisse — Vaud »). The group lets one entry
// alone be checked across them, and a screen reader hears radio buttons.
void Form1::AddRegionMenu(QMenu& regions) {
    regions.setObjectName(QStringLiteral("RegionMenu"));
    auto* choices = new QActionGroup(&regions);
    choices->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    std::string_view country = calendar::kRegionTable.front().country;
    for (const calendar::RegionRow& row : calendar::kRegionTable) {
        if (row.country != country) regions.addSeparator();
        country = row.country;
        QAction* action = regions.addAction(Utf8(row.name));
        action->setCheckable(true);
        action->setChecked(row.region == HolidayRegion());
        choices->addAction(action);
        const calendar::Region region = row.region;
        connect(action, &QAction::triggered, this, [this, region] { SetHolidayRegion(region); });
        connect(&settings_, &GadgetSettings::Changed, action,
                [this, action, region] { action->setChecked(region == HolidayRegion()); });
    }
}

void Form1::ShowAgendas() {
    if (auto* open = findChild<AgendasDialog*>(QStringLiteral("Agendas"))) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* dialog = new AgendasDialog(settings_, agendas_.Fetches(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void Form1::ShowNewEvent(QDate day) {
    EventSaving saving(programFolder_, settings_);
    // The day's events as the grid has them: no calendar read again on this thread.
    saving.AnswerFrom(&agendas_.Days());
    auto* dialog = new EventDialog(day, QDateTime::currentDateTime(), std::move(saving), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The grid shows the new event once the files written are taken alone.
    connect(dialog, &EventDialog::Written, &agendas_, &UserAgendas::ReadWritten);
    dialog->open();
}

void Form1::ShowAbout() {
    auto* dialog = new QDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setObjectName(QStringLiteral("About"));
    dialog->setWindowTitle(Utf8("À propos de Solvane"));
    const QString namesFolder = QDir::toNativeSeparators(QFileInfo(DataFilePath("fetes.txt")).absolutePath());
    const QString moonFolder = QDir::toNativeSeparators(QFileInfo(DataFilePath("1.gif")).absolutePath());
    auto* text =
        new QLabel(Utf8("<b>Solvane %1</b><br>Calendrier de bureau<br>Licence MIT<br><br>"
                        "Liste des fêtes lue dans :<br>%2<br>Images de la lune lues dans :<br>%3")
                       .arg(QStringLiteral(SOLVANE_VERSION), namesFolder.toHtmlEscaped(), moonFolder.toHtmlEscaped()),
                   dialog);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* close = new QPushButton(QStringLiteral("Fermer"), dialog);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(text);
    layout->addWidget(close, 0, Qt::AlignRight);
    dialog->open();
}

void Form1::ShowPlaceDialog() {
    auto* dialog = new PlaceDialog(
        settings_.Choices().placeGiven ? std::optional(AlmanacPlace()) : std::nullopt,
        calendar::SeatOf(HolidayRegion()),
        [this](const std::optional<calendar::Place>& place) { SetAlmanacPlace(place); }, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

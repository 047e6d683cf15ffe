#pragma once
// The gadget's one window: every control it shows, and every handler of its events.

#include <QCoreApplication>
#include <QImage>
#include <QLocale>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "almanac/day_facts.h"
#include "calendar/format_date.h"
#include "calendar/holidays.h"
#include "calendar/serial_date.h"

#include "app/look/fixed_look.h"
#include "app/platform/gadget_settings.h"
#include "app/platform/platform_window.h"
#include "app/platform/window_placement.h"
#include "app/platform/window_visibility.h"
#include "app/window/calendar_control.h"
#include "app/window/controls.h"
#include "app/window/refresh_gate.h"
#include "app/window/refresh_trigger.h"
#include "app/window/reminder_keeper.h"
#include "app/window/user_agendas.h"
#include "assets/window_shape.h"

class QComboBox;
class QMenu;
class QPushButton;
namespace form1_layout {
struct Tables;
}

class Form1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = window_shape::kWidth;
    static constexpr int kHeight = window_shape::kHeight;

    // When the window begins to follow what changes outside it: its reminders (on
    // the session and system buses), the settings file changed by others, and its
    // own folder's files. The window that the program shows at once does so after
    // its first frame is on the screen (CalendarControl::DescribeAfterFirstPaint):
    // none of this shows in that frame.
    // A window covered from the start is never drawn: it begins after
    // kLongestWaitForFirstPaint at the latest.
    enum class Follow { AtOnce, AfterFirstPaint };
    static constexpr int kLongestWaitForFirstPaint = 2000;  // ms

    // The name-day list and the moon pictures are read from `programFolder`, the
    // folder of the running program. The day and month names are those of the
    // GadgetLocale of `systemLocale`.
    explicit Form1(const QString& programFolder = QCoreApplication::applicationDirPath(), QWidget* parent = nullptr,
                   const QLocale& systemLocale = QLocale::system(), Follow follow = Follow::AtOnce);

    // Start-up, run once after the window is built and before it is first shown:
    // the outline, today in the calendar, the day-of-year and week lines, and the
    // name-day list. Raises whatever stops it (a name-day list that cannot be read).
    void Form_Load();

    // The mouse-down event of the window's own surface: the background and the
    // outlines, which let presses through. The press is at `Position` in the window.
    void Form_MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, QPointF Position);

private slots:
    void cejour_Click();
    void recul_Click();
    void avance_Click();
    void CmdMinimise_Click();
    void cmdQuit_Click();
    void Timer1_Timer();
    void Timer2_Timer();

public:
    // form1_menu.cpp: the window's menu, at `globalPosition` on the screen where the
    // mouse asked for it, or from the keyboard at the window's first third with its
    // first entry active; and the dialog of its entry « À propos de Solvane ».
    void ShowMenu(QPoint globalPosition);
    void ShowMenuFromKeyboard();
    void ShowAbout();
    // The dialog of its entry « Lieu… ».
    void ShowPlaceDialog();
    // « Agendas… »: the window of the agendas' sources, one at a time, not modal.
    void ShowAgendas();
    // « Nouvel évènement » on `day`, in the calendar chosen for new events.
    void ShowNewEvent(QDate day);

    // The region whose public holidays the grid marks and the tooltips name with the
    // nation's, as the settings file holds it for the window and the terminal.
    calendar::Region HolidayRegion() const;
    void SetHolidayRegion(calendar::Region region);
    // « Numéros de semaine »: the grid's column of ISO week numbers, kept in the
    // settings file; the terminal has no grid.
    void SetWeekNumbersShown(bool shown);

    // Where the tooltips reckon the sun and the seasons: the place chosen in « Lieu… »,
    // otherwise the chef-lieu of the region, as the settings file holds them for the
    // window and the terminal.
    calendar::Place AlmanacPlace() const;
    void SetAlmanacPlace(const std::optional<calendar::Place>& place);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // form1_layout.h: the tables the labels are built from, which name them.
    friend struct form1_layout::Tables;

    // The window's controls, named as the window was designed. Each is a child of
    // the window with that object name, by which the tests find it.
    TextLabel* Label1;  // today's date, « Aujourd'hui: … »
    TextLabel* Label2;  // the web address under the frame
    TextLabel* Label3;  // the selected date's day of the year; a FitLabel, as wide as its text
    TextLabel* Label4;  // the selected date's ISO week
    // The holiday panel's captions and dates are those of the nation's holidays for
    // France and its regions, as named below; another place's holidays abroad.
    TextLabel* Label5;         // the date of Pâques
    TextLabel* Label6;         // the holiday panel's heading, « Jours fériés de l'année: »
    TextLabel* Label7;         // the caption « Pâcques : »
    TextLabel* Label8;         // the selected year, after the panel's heading
    TextLabel* Label9;         // the caption « Nouvel an : »
    TextLabel* Label10;        // the date of the Nouvel an
    TextLabel* Label11;        // the caption « Lundi de Pâques : »
    TextLabel* Label12;        // the date of the Lundi de Pâques
    TextLabel* Label13;        // the caption « Fête du travail : »
    TextLabel* Label14;        // the date of the Fête du travail
    TextLabel* Label15;        // the caption « Victoire 1945 : »
    TextLabel* Label16;        // the date of the Victoire 1945, hidden before 1946
    TextLabel* Label17;        // the caption « Ascension : »
    TextLabel* Label18;        // the date of the Ascension
    TextLabel* Label19;        // the caption « Lun de Pentecôte : »
    TextLabel* Label20;        // the date of the Lundi de Pentecôte
    TextLabel* Label21;        // the caption « Fête Nationale : »
    TextLabel* Label22;        // the date of the Fête nationale
    TextLabel* Label23;        // the caption « Assomption : »
    TextLabel* Label24;        // the date of the Assomption
    TextLabel* Label25;        // the caption « Toussaint : »
    TextLabel* Label26;        // the date of the Toussaint
    TextLabel* Label27;        // the caption « Armistice 1918 : »
    TextLabel* Label28;        // the date of the Armistice 1918, hidden before 1919
    TextLabel* Label29;        // the caption « Noël : »
    TextLabel* Label30;        // the date of Noël
    TextLabel* Label31;        // the running clock, « Il est … »
    TextLabel* Label32;        // the selected date's name day, « fête à souhaiter : … »
    TextLabel* Label33;        // the caption « Lune » under the moon picture
    TextLabel* Label34;        // the leap-year sentence of the selected year
    TextLabel* Label35;        // the version, at the bottom right
    PictureControl* Image1;    // the picture of the selected date's moon
    QComboBox* Combo1;         // the name-day list, hidden; its current entry is the selected date's
    CalendarControl* Cal1;     // the month calendar; its selected date is the one the panels describe
    QPushButton* cejour;       // the button « Aujourd'hui », back to today's month and day
    QPushButton* recul;        // the button « << », the month before
    QPushButton* avance;       // the button « >> », the month after
    QPushButton* CmdMinimise;  // the picture button « Réduire », to the task bar
    QPushButton* cmdQuit;      // the picture button « Quitter »
    RefreshGate* Timer1;       // the gate of the date panel and holiday panel refresh (Timer1_Timer)
    RefreshGate* Timer2;       // the gate of the name day and moon refresh (Timer2_Timer)
    OutlineShape* Shape1;      // the frame around the holiday panel
    OutlineShape* Shape2;      // the frame around the calendar and the day panel
    OutlineShape* Line1;       // the rule under the holiday panel's heading

    // The steps of the constructor, in their order. The window's name, icon and
    // size; its fonts, colours, outline and background.
    void SetUpWindow();
    void SetUpLook();
    // form1_layout.cpp: every control with its box, text, font and colour, from the
    // tables; Combo1, Timer1 and Timer2, which are never seen; the order the Tab key
    // follows.
    void CreateOutlines();
    void CreateLabels();
    void CreateMoonPicture();
    void CreateCalendar();
    void CreateButtons();
    void CreateHiddenControls();
    void SetReadingOrder();
    // The grid's week numbers, holidays and days with events.
    void SetUpCalendar();
    // What each part of the window hears from the others.
    void ConnectAgendas();
    void ConnectButtons();
    void ConnectRefreshes();
    void ConnectSettings();
    void ConnectMenu();
    void FollowChanges();

    // At the change of day, moves a selection left on the day that was today to the
    // new today. Runs before the two refreshes.
    void FollowToday();

    // Opens the window where the user left it, above other windows as a moved window
    // is; centred on the screen on a first start.
    void PlaceAsLeft();
    // Whether the window is kept above other windows now.
    bool KeptAbove() const;
    void SetKeptAbove(bool above);
    // Shows the choices of the settings, whoever made them.
    void FollowSettings();
    // The menu, built as the settings and the disk say now, deleted once closed.
    QMenu* NewMenu();
    // The menu's « Jours fériés » entries.
    void AddRegionMenu(QMenu& regions);
    // Gives the reminders the choice « Rappeler les fêtes et les anniversaires ».
    void FollowWishes();

    // Fills the hidden list Combo1 from fetes.txt in the program folder.
    void LoadNameDays();
    // What the facts of a day are computed from: the name-day list, the calendar's
    // names, and the user's choices.
    almanac::FactsSources DaySources() const;
    // The facts of the selected date, which the two refreshes write into the panels.
    almanac::DayFacts SelectedDayFacts() const;
    // form1_holiday_panel.cpp: the holiday panel's rows for the year's holidays in
    // `region`, the nation's for France and its regions, the place's own elsewhere;
    // and one caption of it.
    void ShowHolidayPanel(const almanac::YearFacts& Year, calendar::Region region);
    void SetHolidayCaption(std::size_t row, const std::string& caption, std::string_view name);
    // Selects the day's entry in Combo1 and writes its name day into Label32.
    void ShowNameDay(const almanac::DayFacts& Day);
    // The facts of a day, as the calendar's tooltip and the terminal say them.
    QString DayDescription(QDate Day) const;
    // Follows the agendas the settings list, and asks for the events of the days the
    // grid shows; when they are ready, the grid and its tooltips show them.
    void ReadAgendas();
    void AskShownDays();
    // Shows the picture of the file in Image1; no picture when it cannot be read or
    // is larger than the window.
    void ShowMoonPicture(const QString& Path);
    // The file of that name in the program folder.
    QString DataFilePath(std::string_view fileName) const;

    QString programFolder_;
    std::vector<std::string> nameDays_;  // fetes.txt as read at start-up, the entries that Combo1 holds
    QLocale nameLocale_;                 // of the day and month names, in the panels and the calendar
    calendar::LocaleNames localeNames_;
    // The panel's captions and dates, top to bottom: for France in the order of
    // calendar::PanelHolidays().
    std::array<TextLabel*, calendar::kPanelHolidayCount> holidayCaptionLabels_{};
    std::array<TextLabel*, calendar::kPanelHolidayCount> holidayValueLabels_{};
    QImage moonShown_;  // the picture Image1 shows, to repaint only when it changes
    RefreshTrigger refreshTrigger_;
    UserAgendas agendas_;
    ReminderKeeper reminders_{agendas_.Reader()};  // the agendas' reminders, as notifications

    QDate today_;             // today's date at the last refresh; none before the first
    bool following_ = false;  // FollowChanges has run
    QTimer firstPaintWait_;   // the longest wait for the first paint (Follow::AfterFirstPaint)

    GadgetSettings settings_{GadgetSettings::DefaultPath(), GadgetSettings::CurrentDisplay(),
                             GadgetSettings::Follow::Later};
    PlatformWindow platform_{*this};
    WindowPlacement placement_{*this, settings_};
    WindowVisibility visibility_{*this};
    QRegion outline_;    // the window's rounded outline, in window pixels
    QImage background_;  // the background picture, in its colour table
};

#pragma once
// The gadget's one window: every control it shows, and every handler of its events.

#include <QCoreApplication>
#include <QImage>
#include <QLocale>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/format_date.h"
#include "calendar/holidays.h"
#include "calendar/serial_date.h"
#include "namedays/day_facts.h"

#include "app/look/fixed_look.h"
#include "app/platform/gadget_settings.h"
#include "app/platform/platform_timer.h"
#include "app/platform/platform_window.h"
#include "app/platform/window_visibility.h"
#include "app/window/calendar_control.h"
#include "app/window/controls.h"
#include "app/window/refresh_trigger.h"
#include "assets/window_shape.h"

class QComboBox;
class QMenu;
class QPushButton;

class Form1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = window_shape::kWidth;
    static constexpr int kHeight = window_shape::kHeight;

    // The name-day list and the moon pictures are read from `programFolder`, the
    // folder of the running program. The day and month names are those of the
    // GadgetLocale of `systemLocale`.
    explicit Form1(const QString& programFolder = QCoreApplication::applicationDirPath(), QWidget* parent = nullptr,
                   const QLocale& systemLocale = QLocale::system());

    // Start-up, run once after the window is built and before it is first shown:
    // the outline, today in the calendar, the day-of-year and week lines, and the
    // name-day list. Raises whatever stops it (a name-day list that cannot be read).
    void Form_Load();

    // The mouse-down event of the window's own surface: the background and the
    // outlines, which let presses through. The press is at `Position` in the window.
    void Form_MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, QPointF Position);

    // The window's controls, named as the window was designed. Each is a child of
    // the window with that object name.
    TextLabel* Label1;
    TextLabel* Label2;
    TextLabel* Label3;  // a FitLabel: it takes the width of its text
    TextLabel* Label4;
    TextLabel* Label5;
    TextLabel* Label6;
    TextLabel* Label7;
    TextLabel* Label8;
    TextLabel* Label9;
    TextLabel* Label10;
    TextLabel* Label11;
    TextLabel* Label12;
    TextLabel* Label13;
    TextLabel* Label14;
    TextLabel* Label15;
    TextLabel* Label16;
    TextLabel* Label17;
    TextLabel* Label18;
    TextLabel* Label19;
    TextLabel* Label20;
    TextLabel* Label21;
    TextLabel* Label22;
    TextLabel* Label23;
    TextLabel* Label24;
    TextLabel* Label25;
    TextLabel* Label26;
    TextLabel* Label27;
    TextLabel* Label28;
    TextLabel* Label29;
    TextLabel* Label30;
    TextLabel* Label31;
    TextLabel* Label32;
    TextLabel* Label33;
    TextLabel* Label34;
    TextLabel* Label35;
    PictureControl* Image1;
    QComboBox* Combo1;
    CalendarControl* Cal1;
    QPushButton* cejour;
    QPushButton* recul;
    QPushButton* avance;
    QPushButton* CmdMinimise;
    QPushButton* cmdQuit;
    PlatformTimer* Timer1;
    PlatformTimer* Timer2;
    OutlineShape* Shape1;
    OutlineShape* Shape2;
    OutlineShape* Line1;

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

    // The region whose public holidays the grid marks and the tooltips name with the
    // nation's, as the settings file holds it for the window and the terminal.
    calendar::Region HolidayRegion() const;
    void SetHolidayRegion(calendar::Region region);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // form1_layout.cpp: every control with its box, text, font and colour.
    void CreateControls();

    // At the change of day, moves a selection left on the day that was today to the
    // new today. Runs before the two refreshes.
    void FollowToday();

    // Opens the window where the user left it, above other windows as a moved window
    // is; centred on the screen on a first start.
    void PlaceAsLeft();
    // Keeps the window's place, once a move by the mouse is over.
    void KeepPlace();
    // Whether the window is kept above other windows now.
    bool KeptAbove() const;
    void SetKeptAbove(bool above);
    // Shows the choices that another program wrote into the settings file.
    void FollowSettings();
    // Centres the window on its screen and forgets the place it was left at.
    void Recentre();
    // The menu, built as the settings and the disk say now, deleted once closed.
    QMenu* NewMenu();
    // The menu's « Jours fériés » entries.
    void AddRegionMenu(QMenu& regions);

    // Fills the hidden list Combo1 from fetes.txt in the program folder.
    void LoadNameDays();
    // The facts of the selected date, which the two refreshes write into the panels.
    namedays::DayFacts SelectedDayFacts() const;
    // Selects the day's entry in Combo1 and writes its name day into Label32.
    void ShowNameDay(const namedays::DayFacts& Day);
    // The facts of a day, as the calendar's tooltip and the terminal say them.
    QString DayDescription(QDate Day) const;
    // Shows the picture of the file in Image1; no picture when it cannot be read or
    // is larger than the window.
    void ShowMoonPicture(const QString& Path);
    // The file of that name in the program folder.
    QString DataFilePath(std::string_view fileName) const;
    QString Text(const std::string& utf8) const { return QString::fromStdString(utf8); }

    QString programFolder_;
    std::vector<std::string> nameDays_;  // fetes.txt as read at start-up, the entries that Combo1 holds
    QLocale nameLocale_;                 // of the day and month names, in the panels and the calendar
    calendar::LocaleNames localeNames_;
    // The dates, in the order of calendar::PanelHolidays().
    std::array<TextLabel*, calendar::kPanelHolidayCount> holidayValueLabels_{};
    QImage moonShown_;  // the picture Image1 shows, to repaint only when it changes
    RefreshTrigger refreshTrigger_;

    QDate today_;  // today's date at the last refresh; none before the first

    GadgetSettings settings_{GadgetSettings::DefaultPath(), GadgetSettings::CurrentDisplay()};
    PlatformWindow platform_{*this};
    WindowVisibility visibility_{*this};
    QRegion outline_;    // the window's rounded outline, in window pixels
    QImage background_;  // the background picture, in its colour table
};

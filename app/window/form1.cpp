#include "app/window/form1.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <QtEndian>
#include <algorithm>

#include "app/text/qt_text.h"
#include "app/window/locale_names.h"
#include "app/window/menu_accessible.h"
#include "assets/background_rows.h"
#include "assets/indexed_rows_file.h"
#include "calendar/numbers.h"
#include "calendar/utf8_text.h"
#include "namedays/name_day_file.h"

namespace {

// The date panel's words for the selected day, as the window writes them.
std::string DayOfYearLine(int dayOfYear) { return calendar::NumberText(dayOfYear) + " em jour de l'année"; }
std::string WeekLine(int week) { return "   Semaine : " + calendar::NumberText(week); }

// A picture of the window's size, 609 x 447 pixels of 32 bits, takes 1.04 MB.
constexpr int kLargestPictureMegabytes = 2;

// The window's rounded outline, in window pixels.
QRegion WindowOutline() {
    using namespace window_shape;
    return RoundRectRegion(kOutlineLeft, kOutlineTop, kWidth, kHeight, kCornerDiameter, kCornerDiameter);
}

// The background in its colour table, one byte a pixel (272 KB), rather than in the
// 32 bits a pixel that Qt's GIF reader gives (1.09 MB): the window's peak memory is
// part of its cost. Its rows are compiled in as a QImage holds them
// (assets/indexed_rows_file.h) and painted where they lie: nothing is decoded or
// copied before the first frame.
QImage BackgroundPicture() {
    using assets::kIndexedRowsColours;
    const int rowBytes = assets::IndexedRowBytes(Form1::kWidth);
    const std::size_t tableBytes = kIndexedRowsColours * 4;
    if (assets::kBackgroundRowsSize != tableBytes + std::size_t(rowBytes) * Form1::kHeight) return {};
    QList<QRgb> table(kIndexedRowsColours);
    for (int index = 0; index < kIndexedRowsColours; ++index) {
        table[index] = qFromLittleEndian<quint32>(assets::kBackgroundRows + 4 * index);
    }
    QImage picture(assets::kBackgroundRows + tableBytes, Form1::kWidth, Form1::kHeight, rowBytes,
                   QImage::Format_Indexed8);
    picture.setColorTable(table);
    return picture;
}

}  // namespace

Form1::Form1(const QString& programFolder, QWidget* parent, const QLocale& systemLocale, Follow follow)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      programFolder_(programFolder),
      nameLocale_(GadgetLocale(systemLocale)),
      localeNames_(LocaleNamesOf(nameLocale_)),
      refreshTrigger_(programFolder),
      agendas_(programFolder) {
    SetUpWindow();
    PlaceAsLeft();
    SetUpLook();
    // form1_layout.cpp: the controls, in the order they are drawn in.
    CreateOutlines();
    CreateLabels();
    CreateMoonPicture();
    CreateCalendar();
    CreateButtons();
    CreateHiddenControls();
    SetReadingOrder();
    SetUpCalendar();
    ConnectAgendas();
    ConnectButtons();
    ConnectRefreshes();
    ConnectSettings();
    ConnectMenu();
    if (follow == Follow::AtOnce) {
        FollowChanges();
    } else {
        Cal1->DescribeAfterFirstPaint();
        connect(Cal1, &CalendarControl::FirstPainted, this, &Form1::FollowChanges);
        // Stopped by the first paint: a window at rest wakes for nothing.
        firstPaintWait_.setSingleShot(true);
        connect(&firstPaintWait_, &QTimer::timeout, this, &Form1::FollowChanges);
        firstPaintWait_.start(kLongestWaitForFirstPaint);
    }
}

// Once, whichever of the first paint and the longest wait comes first.
void Form1::FollowChanges() {
    firstPaintWait_.stop();
    if (following_) return;
    following_ = true;
    reminders_.Start();
    settings_.FollowChanges();
    refreshTrigger_.WatchFiles();
}

void Form1::SetUpWindow() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Solvane"));
    // The name a minimised window keeps, for screen readers and task bars.
    setWindowIconText(QStringLiteral("Solvane"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.gif")));
    setFixedSize(kWidth, kHeight);
}

void Form1::SetUpLook() {
    setFont(BaseWindowFont());
    // Tooltips in the window's font, and shown while another window is active: a
    // gadget is pointed at without being clicked first.
    QToolTip::setFont(BaseWindowFont());
    setAttribute(Qt::WA_AlwaysShowToolTips);
    // Every colour of the fixed look, whatever palette the desktop gives a kind of control.
    QPalette palette = FixedLookPalette();
    palette.setColor(QPalette::Window, kWindowGrey);
    setPalette(palette);
    outline_ = WindowOutline();
    background_ = BackgroundPicture();
}

void Form1::SetUpCalendar() {
    Cal1->SetWeekNumbers(settings_.WeekNumbers());
    // The grid marks the holidays that the panel shows for their year, and those of
    // the chosen region.
    Cal1->SetHolidays(
        [this](QDate Day) { return !calendar::HolidaysOn(HolidayRegion(), Day.year(), SerialDateOf(Day)).empty(); });
    // And underlines the days that hold events of the user's agendas.
    const auto holdsEvents = [this](QDate Day) {
        return agendas_.Days().On({Day.year(), Day.month(), Day.day()}) != nullptr;
    };
    Cal1->SetEventDays(holdsEvents);
    // A new page's tooltips wait for the events of its days (AskShownDays).
    Cal1->SetDaysKnown([this](QDate first, QDate last) { return agendas_.Known(first, last); });
}

void Form1::ConnectAgendas() {
    // The events are there, or changed: the grid marks their days, the tooltips list them.
    connect(&agendas_, &UserAgendas::Changed, Cal1, &CalendarControl::DescribeDaysAgain);
    connect(&agendas_, &UserAgendas::Answered, Cal1, &CalendarControl::DescribeHeldDays);
    // The reminders look again when the sources may say something else.
    connect(&agendas_, &UserAgendas::SourcesChanged, &reminders_, &ReminderKeeper::Look);
    connect(&reminders_, &ReminderKeeper::DayAsked, this, [this](QDate day) {
        Cal1->Widget()->setSelectedDate(day);
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        show();
        raise();
        activateWindow();
    });
    // Before the refreshes hear of the new page (ConnectRefreshes).
    connect(Cal1->Widget(), &QCalendarWidget::currentPageChanged, this, &Form1::AskShownDays);
    // A double click on a day, or Entrée on it, opens « Nouvel évènement ».
    connect(Cal1->Widget(), &QCalendarWidget::activated, this, &Form1::ShowNewEvent);
}

void Form1::ConnectButtons() {
    connect(cejour, &QPushButton::clicked, this, &Form1::cejour_Click);
    connect(recul, &QPushButton::clicked, this, &Form1::recul_Click);
    connect(avance, &QPushButton::clicked, this, &Form1::avance_Click);
    connect(CmdMinimise, &QPushButton::clicked, this, &Form1::CmdMinimise_Click);
    connect(cmdQuit, &QPushButton::clicked, this, &Form1::cmdQuit_Click);
}

// Both refreshes run, in this order, whenever something they read can have changed;
// each asks the facts of the selected date for itself. The selection follows today
// first, when it should; the seconds rest while the window is unseen.
void Form1::ConnectRefreshes() {
    connect(Timer1, &RefreshGate::Timer, this, &Form1::Timer1_Timer);
    connect(Timer2, &RefreshGate::Timer, this, &Form1::Timer2_Timer);
    connect(&refreshTrigger_, &RefreshTrigger::Due, this, &Form1::FollowToday);
    connect(&refreshTrigger_, &RefreshTrigger::Due, Timer1, &RefreshGate::Tick);
    connect(&refreshTrigger_, &RefreshTrigger::Due, Timer2, &RefreshGate::Tick);
    connect(Cal1->Widget(), &QCalendarWidget::selectionChanged, &refreshTrigger_, &RefreshTrigger::Request);
    connect(Cal1->Widget(), &QCalendarWidget::currentPageChanged, &refreshTrigger_, &RefreshTrigger::Request);
    connect(&visibility_, &WindowVisibility::SeenChanged, &refreshTrigger_, &RefreshTrigger::SetSeen);
}

// The place left after a move, and the choices of the settings file, whoever made them.
void Form1::ConnectSettings() {
    connect(&platform_, &PlatformWindow::MoveEnded, this, [this] { placement_.KeepPlace(); });
    connect(&settings_, &GadgetSettings::Changed, this, &Form1::FollowSettings);
}

void Form1::ConnectMenu() {
    // The Menu key comes to the window as a request for its menu; Shift+F10 too.
    auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, &Form1::ShowMenuFromKeyboard);
    // Every menu of the window, its own and the calendar's, is read with its ticks.
    InstallMenuReading();
}

void Form1::Form_Load() {
    // The outline comes first, so that the window is never seen square.
    platform_.SetOutline(outline_);
    Cal1->Today();

    // Today's day of the year and week, before the first refresh.
    const almanac::DayFacts Today = SelectedDayFacts();
    Label3->SetUtf8Text(DayOfYearLine(Today.dayOfYear));
    Label4->SetUtf8Text(WeekLine(Today.week));

    LoadNameDays();
    ReadAgendas();
    FollowWishes();
    connect(&settings_, &GadgetSettings::Changed, this, &Form1::FollowWishes);
    // The refreshes run once the window is shown, then whenever they are due.
    refreshTrigger_.Start();
}

// A gadget left open overnight on today shows the new day in the morning, not the
// holidays, the name day and the moon of yesterday. A day changed by a step of the
// clock or of the time zone counts alike, in either direction. A selection moved to
// another day stays there.
void Form1::FollowToday() {
    const QDate today = DateOfSerial(calendar::CurrentDateTime());
    if (today_.isValid() && today != today_ && Cal1->Widget()->selectedDate() == today_) Cal1->Today();
    today_ = today;
}

void Form1::LoadNameDays() {
    nameDays_ = namedays::ReadNameDayFile(Native(DataFilePath("fetes.txt")), namedays::kShownNameDays);
    QStringList names;
    names.reserve(qsizetype(nameDays_.size()));
    // The panel shows a name as text: its control characters are blanks.
    for (const std::string& entry : nameDays_) names.append(Utf8(calendar::ShownText(entry)));
    Combo1->addItems(names);
    // Each day of the calendar tells its facts, its name day among them.
    Cal1->SetDayDescription([this](QDate Day) { return DayDescription(Day); });
}

QString Form1::DayDescription(QDate Day) const {
    return Utf8(almanac::FactsTooltip(almanac::FactsOfDay(Day.year(), Day.month(), Day.day(), DaySources())));
}

// The panels show neither the sun nor the seasons, which they would compute at every
// second.
almanac::DayFacts Form1::SelectedDayFacts() const {
    almanac::FactsSources sources = DaySources();
    sources.place.reset();
    return almanac::FactsOfDay(Cal1->Year(), Cal1->Month().value(), Cal1->Day().value(), sources);
}

almanac::FactsSources Form1::DaySources() const {
    return {.nameDays = nameDays_,
            .names = localeNames_,
            .region = HolidayRegion(),
            .place = AlmanacPlace(),
            .agenda = &agendas_.Days()};
}

void Form1::ReadAgendas() {
    agendas_.Follow(settings_.Choices(), settings_.Agendas());
    AskShownDays();
}

// The days of the page shown, and of the neighbouring months that its first and last
// rows show.
void Form1::AskShownDays() {
    const QDate first(Cal1->Widget()->yearShown(), Cal1->Widget()->monthShown(), 1);
    agendas_.Ask(first.addDays(-14), first.addDays(55));
}

// The date panel: the leap-year line, the day of the year and the week of the
// selected date, today's date and the clock, and the holidays of the selected year
// (the nation's, or a place's abroad), as the facts of the day and of its year say
// them. Everything is
// computed afresh and rewritten at every run.
void Form1::Timer1_Timer() {
    using namespace calendar;
    // The calendar may have been left without a selected date; it gets one again.
    Cal1->SetValueIsNull(false);
    const almanac::DayFacts Day = SelectedDayFacts();
    const almanac::YearFacts Year = almanac::FactsOfYear(Day.year, HolidayRegion());

    Label34->SetUtf8Text(Year.leapYearSentence);
    Label3->SetUtf8Text(DayOfYearLine(Day.dayOfYear));
    Label4->SetUtf8Text(WeekLine(Day.week));

    Label1->SetUtf8Text("Aujourd'hui: " + FormatDate(CurrentDateTime(), "dddd  dd Mmmm yyyy", localeNames_));
    Label31->SetUtf8Text("   Il est " + std::string("  ") + FormatDate(CurrentDateTime(), "hh:mm:ss", localeNames_));

    Label8->SetUtf8Text(NumberText(Year.year));
    ShowHolidayPanel(Year, HolidayRegion());
}

// The name day and the moon of the selected date.
void Form1::Timer2_Timer() {
    const almanac::DayFacts Day = SelectedDayFacts();
    ShowNameDay(Day);
    ShowMoonPicture(DataFilePath(calendar::NumberText(Day.moonAge) + ".gif"));
}

void Form1::ShowNameDay(const almanac::DayFacts& Day) {
    // A list too short for the position selects nothing and shows no name.
    Combo1->setCurrentIndex(Day.nameDayPosition < Combo1->count() ? Day.nameDayPosition : -1);
    Label32->SetUtf8Text(std::string(almanac::kNameDayWords) + " : " + calendar::ShownText(Day.nameDay.value_or("")));
}

void Form1::ShowMoonPicture(const QString& Path) {
    // Read from the disk at every refresh, and watched between two: a replaced file
    // shows at once, a missing or unreadable one leaves the box empty until it is
    // back.
    refreshTrigger_.WatchFile(Path);
    // Only an ordinary file is read: a pipe in its place would hold up the window,
    // a device such as /dev/zero never ends.
    QImageReader reader;
    if (QFileInfo(Path).isFile()) reader.setFileName(Path);
    // A picture larger than the window could never be shown whole, and one of
    // 10,000 x 10,000 pixels would cost hundreds of megabytes and a long decoding:
    // it counts as unreadable. Its size is read from the file's header, without
    // decoding; the allocation limit (in megabytes) stops the formats that cannot
    // tell their size beforehand.
    reader.setAllocationLimit(kLargestPictureMegabytes);
    const QSize size = reader.size();
    const bool tooLarge = size.width() > kWidth || size.height() > kHeight;
    const QImage picture = tooLarge ? QImage() : reader.read();
    // The same picture again is not painted again.
    if (picture.isNull() ? moonShown_.isNull() : picture == moonShown_) return;
    if (picture.isNull()) {
        Image1->clear();
    } else {
        Image1->SetPicture(QPixmap::fromImage(picture));
    }
    moonShown_ = picture;
}

QString Form1::DataFilePath(std::string_view fileName) const {
    return programFolder_ + QLatin1Char('/') + Utf8(fileName);
}

void Form1::Form_MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers, QPointF Position) {
    if (Button != Qt::LeftButton) return;
    // Above from the first move on, unless the user has said otherwise in the menu.
    if (settings_.KeepAbove().value_or(true)) platform_.KeepAbove();
    platform_.StartMove(Position.toPoint());
}

// Where the user left it; a window left somewhere was moved, and a moved window is
// kept above.
void Form1::PlaceAsLeft() {
    placement_.PlaceAsLeft();
    if (settings_.KeepAbove().value_or(settings_.Place().has_value())) platform_.KeepAbove();
}

bool Form1::KeptAbove() const {
    const QWindow* handle = windowHandle();
    return (handle ? handle->flags() : windowFlags()).testFlag(Qt::WindowStaysOnTopHint);
}

void Form1::SetKeptAbove(bool above) {
    settings_.SetKeepAbove(above);
    platform_.KeepAbove(above);
}

calendar::Region Form1::HolidayRegion() const { return settings_.Choices().region; }

// The grid, the tooltips and the panel change (FollowSettings): the panel's rows stay
// the nation's for France's regions, and become the place's abroad.
void Form1::SetHolidayRegion(calendar::Region region) { settings_.SetRegion(region); }

calendar::Place Form1::AlmanacPlace() const { return settings_.Choices().place; }

// The tooltips tell the new place's sun at once (FollowSettings).
void Form1::SetAlmanacPlace(const std::optional<calendar::Place>& place) { settings_.SetAlmanacPlace(place); }

// A choice made here, in another gadget, or in the file by hand: the region marks
// the grid and names the days again, the tooltips tell the sun of the place chosen,
// « Toujours au-dessus » and the week numbers take effect, a changed list of agendas
// is read and its days shown. The window's place on the screen stays its own.
void Form1::FollowSettings() {
    if (const std::optional<bool> above = settings_.KeepAbove(); above && *above != KeptAbove()) {
        platform_.KeepAbove(*above);
    }
    Cal1->SetWeekNumbers(settings_.WeekNumbers());
    ReadAgendas();
    Cal1->DescribeDaysAgain();
    refreshTrigger_.Request();
}

void Form1::SetWeekNumbersShown(bool shown) { settings_.SetWeekNumbers(shown); }

void Form1::cejour_Click() { Cal1->Today(); }

void Form1::recul_Click() { Cal1->PreviousMonth(); }

void Form1::avance_Click() { Cal1->NextMonth(); }

void Form1::CmdMinimise_Click() { platform_.Minimise(); }

void Form1::cmdQuit_Click() { platform_.Quit(); }

// The background picture on the window's grey, inside the outline only: outside it
// every pixel is clear, for the window systems that show the window's pixels whole
// whatever its shape. Only the parts to repaint are converted from the picture's
// colour table, as the clock line at each second, in bands of kPaintedRows rows.
void Form1::paintEvent(QPaintEvent* event) {
    // Qt's raster engine hands the drawing of 96 rows or more to a pool of threads,
    // started for it and kept for 30 s, each with its stack and its memory arena: for
    // a window's background, more than the drawing itself costs.
    constexpr int kPaintedRows = 64;
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);  // clear pixels stay clear
    painter.fillRect(event->rect(), Qt::transparent);
    painter.setClipRegion(outline_ & event->region());
    painter.fillRect(event->rect(), kWindowGrey);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (const QRect& part : event->region()) {
        for (int top = part.top(); top <= part.bottom(); top += kPaintedRows) {
            const QRect band(part.left(), top, part.width(), std::min(kPaintedRows, part.bottom() + 1 - top));
            painter.drawImage(band.topLeft(), background_, band);
        }
    }
}

void Form1::mousePressEvent(QMouseEvent* event) {
    Form_MouseDown(event->button(), event->modifiers(), event->position());
    event->accept();
}

// The second press of a double click has already come as a press of its own;
// QWidget would pass the double click on as one more.
void Form1::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

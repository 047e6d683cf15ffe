#include "app/form1.h"

#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "app/locale_names.h"
#include "calendar/easter.h"
#include "calendar/holidays.h"
#include "calendar/leap_year.h"
#include "calendar/moon.h"
#include "calendar/numbers.h"
#include "calendar/week_number.h"
#include "namedays/name_day_file.h"
#include "namedays/name_day_lookup.h"

using calendar::Int16;
using calendar::SerialDate;

namespace {

const QColor kBackColour(176, 176, 176);

// A picture of the window's size, 609 x 447 pixels of 32 bits, takes 1.04 MB.
constexpr int kLargestPictureMegabytes = 2;

// A moon picture file kept to be compared with the next tick's: far more than a
// picture of the window's size takes as a GIF.
constexpr std::size_t kLargestComparedMoonFile = 4 * 1024 * 1024;

// Reads the whole file into `bytes`, which stay empty when it cannot be opened or
// read; false, with `bytes` incomplete, for a file longer than `limit`. Plain system
// calls into a buffer that keeps its room from one tick to the next: one open, the
// reads and one close, and no allocation, for a file read some sixty times a second.
// A pipe put in the file's place gives no bytes instead of holding up the tick.
bool ReadWholeFile(const char* path, std::size_t limit, std::string& bytes) {
    bytes.clear();
    const int file = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (file < 0) return true;
    bool whole = true;
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(file, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            bytes.clear();  // unreadable, as a file that cannot be opened
            break;
        }
        if (got == 0) break;
        if (bytes.size() + std::size_t(got) > limit) {
            whole = false;
            break;
        }
        bytes.append(chunk, std::size_t(got));
    }
    ::close(file);
    return whole;
}

}  // namespace

Form1::Form1(const QString& programFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      programFolderName_(QFile::encodeName(programFolder).toStdString()),
      localeNames_(LocaleNamesOf(QLocale::system())) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Solvane"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.gif")));
    setFixedSize(kWidth, kHeight);
    // Centred on the screen here, before the window exists on the window system, so
    // that it is created in its place. Moved later, once created but not yet shown,
    // the X server would report the move only after the window manager had taken the
    // window into its frame and before it had placed that frame: Qt, reading where
    // the window lay at that moment, would believe it at the screen's top-left
    // corner, and open the calendar's menus and start moves from there.
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - kWidth) / 2, area.y() + (area.height() - kHeight) / 2);
    }
    setFont(WindowFont(11, false));  // Arial 8.25 pt
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kBackColour);
    setPalette(palette);
    background_ = QPixmap(QStringLiteral(":/pictures/background.gif"));

    CreateControls();

    connect(cejour, &QPushButton::clicked, this, &Form1::cejour_Click);
    connect(recul, &QPushButton::clicked, this, &Form1::recul_Click);
    connect(avance, &QPushButton::clicked, this, &Form1::avance_Click);
    connect(CmdMinimise, &QPushButton::clicked, this, &Form1::CmdMinimise_Click);
    connect(cmdQuit, &QPushButton::clicked, this, &Form1::cmdQuit_Click);
    connect(Timer1, &PlatformTimer::Timer, this, &Form1::Timer1_Timer);
    connect(Timer2, &PlatformTimer::Timer, this, &Form1::Timer2_Timer);

    for (std::size_t row = 0; row < calendar::kHolidayTable.size(); ++row) {
        const std::string_view name = calendar::kHolidayTable[row].valueLabel;
        holidayValueLabels_[row] = findChild<TextLabel*>(QString::fromUtf8(name.data(), qsizetype(name.size())));
        Q_ASSERT(holidayValueLabels_[row]);
    }
    moonShown_ = Image1->pixmap().toImage();
}

void Form1::Form_Load() {
    using namespace calendar;
    // The outline comes first, so that the window is never seen square.
    platform_.SetOutline(RoundRectRegion(1, 1, 609, 447, 30, 30));
    Cal1->Today();

    // The day of the year counts from the clock; right after Today it is also the
    // calendar's date.
    const Int16 Y = Cal1->Year();
    const SerialDate Now = CurrentDateTime();
    Label3->SetUtf8Text(NumberText(DayDiff(MakeDate(Y, 1, 1), Now) + 1) + " em jour de l'année");

    const SerialDate D = Cal1->Value();
    Label4->SetUtf8Text("   Semaine : " + NumberText(WeekNumber(D).value()));

    LoadNameDays();
}

void Form1::LoadNameDays() {
    const std::vector<std::string> entries = namedays::ReadNameDayFile(DataFilePath("fetes.txt"), namedays::kShownNameDays);
    QStringList names;
    names.reserve(qsizetype(entries.size()));
    for (const std::string& entry : entries) names.append(Text(entry));
    Combo1->addItems(names);
}

// The date panel: the leap-year line, the day of the year and the week of the
// selected date, today's date and the clock, and the holidays of the selected year.
// Everything is read afresh and rewritten on every tick.
void Form1::Timer1_Timer() {
    using namespace calendar;
    const Int16 Y = Cal1->Year();
    Label34->SetUtf8Text(LeapYearSentence(Y));

    // The calendar may have been left without a selected date; it must have one
    // before its Value is read.
    Cal1->SetValueIsNull(false);
    Label3->SetUtf8Text(NumberText(DayDiff(MakeDate(Y, 1, 1), Cal1->Value()) + 1) + " em jour de l'année");
    Label4->SetUtf8Text("   Semaine : " + NumberText(WeekNumber(Cal1->Value()).value()));

    Label1->SetUtf8Text("Aujourd'hui: " + FormatDate(CurrentDateTime(), "dddd  dd Mmmm yyyy", localeNames_));
    Label31->SetUtf8Text("   Il est " + std::string("  ") + FormatDate(CurrentDateTime(), "hh:mm:ss", localeNames_));

    EasterDate = EasterSunday(Y);
    Label8->SetUtf8Text(NumberText(Y.value()));
    Label16->setVisible(Y >= 1946);
    Label28->setVisible(Y >= 1919);
    for (std::size_t row = 0; row < kHolidayTable.size(); ++row) {
        const HolidayRow& holiday = kHolidayTable[row];
        holidayValueLabels_[row]->SetUtf8Text(
            FormatDate(HolidayDate(holiday, Y, EasterDate), holiday.pattern, localeNames_));
    }
}

// The name day and the moon of the selected date.
void Form1::Timer2_Timer() {
    using namespace calendar;
    const Int16 D = Cal1->Day();
    const Int16 M = Cal1->Month();
    const Int16 Y = Cal1->Year();

    ShowNameDay(Label34->Utf8Text(), Cal1->Year(), M, Cal1->Value());

    const Int16 n = MoonPictureNumber(Y, M, D);
    ShowMoonPicture(DataFilePath(NumberText(n.value()) + ".gif"));
}

void Form1::ShowNameDay(std::string_view LeapYearLine, Int16 Year, Int16 Month, SerialDate Selected) {
    const std::optional<int> position = namedays::NameDayPosition(LeapYearLine, Year, Month, Selected);
    if (!position) return;  // the panel has not shown this year's sentence yet
    // A list too short for the position selects nothing and shows no name.
    Combo1->setCurrentIndex(*position < Combo1->count() ? *position : -1);
    Label32->setText(QStringLiteral("fête à souhaiter : ") + Combo1->currentText());
}

void Form1::ShowMoonPicture(const std::string& Path) {
    // Read from the disk on every tick, so that a replaced file shows at once; a
    // missing or unreadable one leaves the box empty until it is back. The same bytes
    // as those decoded last give the same picture, or the same empty box: only new
    // bytes are decoded. A file too large to keep is decoded from the disk each time.
    const bool kept = ReadWholeFile(Path.c_str(), kLargestComparedMoonFile, moonRead_);
    if (kept && moonBytes_ && moonRead_ == *moonBytes_) return;
    QBuffer buffer;
    QImageReader reader;
    if (kept) {
        moonBytes_ = moonRead_;
        buffer.setData(moonBytes_->data(), qsizetype(moonBytes_->size()));
        buffer.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer);
    } else {
        moonBytes_.reset();
        reader.setFileName(QFile::decodeName(Path.c_str()));
    }
    // A picture larger than the window could never be shown whole, and one of
    // 10,000 x 10,000 pixels would cost every tick hundreds of megabytes and a long
    // decoding: it counts as unreadable. Its size is read from the file's header,
    // without decoding; the allocation limit (in megabytes) stops the formats that
    // cannot tell their size beforehand.
    reader.setAllocationLimit(kLargestPictureMegabytes);
    const QSize size = reader.size();
    const bool tooLarge = size.width() > kWidth || size.height() > kHeight;
    const QImage picture = tooLarge ? QImage() : reader.read();
    if (picture.isNull()) {
        if (!moonShown_.isNull()) {
            Image1->clear();
            moonShown_ = QImage();
        }
        return;
    }
    if (picture == moonShown_) return;
    Image1->SetPicture(QPixmap::fromImage(picture));
    moonShown_ = picture;
}

std::string Form1::DataFilePath(std::string_view fileName) const {
    std::string path = programFolderName_;
    path += '/';
    path += fileName;
    return path;
}

void Form1::Form_MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers, QPointF Position) {
    if (Button != Qt::LeftButton) return;
    platform_.KeepAbove();
    platform_.StartMove(Position.toPoint());
}

void Form1::cejour_Click() { Cal1->Today(); }

void Form1::recul_Click() { Cal1->PreviousMonth(); }

void Form1::avance_Click() { Cal1->NextMonth(); }

void Form1::CmdMinimise_Click() { platform_.Minimise(); }

void Form1::cmdQuit_Click() { platform_.Quit(); }

void Form1::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackColour);
    painter.drawPixmap(0, 0, background_);
}

void Form1::mousePressEvent(QMouseEvent* event) {
    Form_MouseDown(event->button(), event->modifiers(), event->position());
    event->accept();
}

// The second press of a double click has already come as a press of its own;
// QWidget would pass the double click on as one more.
void Form1::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

// The window as it opens: every control's box, text, font, colour and alignment at
// 96 dpi, the keyboard focus, and how a label draws its text. The expected values
// are the window's design, written down here on their own.

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "app/window/form1.h"
#include "app/window/form1_layout.h"
#include "app/window/locale_names.h"
#include "calendar/format_date.h"
#include "calendar/holidays.h"
#include "namedays/name_day_file.h"
#include "tests/app/test_classes.h"
#include "tests/app/window_fixture.h"

namespace {

const QColor kGrey(176, 176, 176);  // the window's background
const QColor kTextButtonFace(224, 224, 224);

// The day and month names of every French locale, each set of names once (most
// share those of France).
std::vector<std::pair<QString, calendar::LocaleNames>> FrenchNameSets() {
    std::vector<std::pair<QString, calendar::LocaleNames>> sets;
    for (const QLocale& locale : QLocale::matchingLocales(QLocale::French, QLocale::AnyScript, QLocale::AnyTerritory)) {
        const calendar::LocaleNames names = LocaleNamesOf(locale);
        const bool known = std::any_of(sets.begin(), sets.end(), [&](const auto& set) {
            return set.second.weekdayNames == names.weekdayNames && set.second.monthNames == names.monthNames &&
                   set.second.abbreviatedMonthNames == names.abbreviatedMonthNames;
        });
        if (!known) sets.emplace_back(locale.name(), names);
    }
    return sets;
}

// The smallest rectangle around the dark pixels of a text on a light background.
QRect InkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

QRect InkBox(QWidget& label) { return InkBox(label.grab().toImage()); }

bool RowIsClear(const QImage& image, int y) {
    for (int x = 0; x < image.width(); ++x) {
        if (qAlpha(image.pixel(x, y)) != 0) return false;
    }
    return true;
}

// The smallest rectangle around the dark pixels of a button's caption on its face.
QRect CaptionBox(const QImage& button, const QRect& face) {
    QRect box;
    for (int y = face.top(); y <= face.bottom(); ++y) {
        for (int x = face.left(); x <= face.right(); ++x) {
            if (qGray(button.pixel(x, y)) < qGray(kTextButtonFace.rgb())) box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

}  // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

    Form1* form_ = nullptr;

    template <typename T>
    T* Control(const char* name) {
        T* control = form_->findChild<T*>(QString::fromLatin1(name));
        if (!control) qFatal("no control %s", name);
        return control;
    }

private slots:
    void initTestCase() {
        ApplyFixedLook();
        // The layout as it stands before start-up and the first ticks write the panels.
        form_ = test::ShowStoppedWindow();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
    }

    void cleanupTestCase() { delete form_; }

    // Every label of the layout's tables, as the window shows it; the holiday
    // captions are those of calendar::PanelHolidays(), in its order, and " :".
    void labels_data() {
        using namespace form1_layout;
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("alignment");
        for (const LabelRow& l : Tables::kLabels) {
            QTest::newRow(l.name) << l.name << QRect(l.left, l.top, l.width, l.height) << QString::fromUtf8(l.text)
                                  << l.font.pixelSize << l.font.bold << ColourOf(l.colour) << int(l.alignment);
        }
        for (std::size_t row = 0; row < Tables::kHolidayRows.size(); ++row) {
            const HolidayLabelRow& r = Tables::kHolidayRows[row];
            const QString caption = QString::fromUtf8(calendar::PanelHolidays()[row].caption) + QStringLiteral(" :");
            QTest::addRow("%s holiday caption", r.captionName)
                << r.captionName << QRect(r.captionLeft, r.top, r.captionWidth, kHolidayRowHeight) << caption << 11
                << true << kNavy << int(r.captionAlignment);
            QTest::addRow("%s holiday value shows its name", r.valueName)
                << r.valueName << QRect(kHolidayValueLeft, r.top, kHolidayValueWidth, kHolidayRowHeight)
                << QString(r.valueName) << 11 << true << kNavy << int(Qt::AlignLeft);
        }
    }

    void labels() {
        QFETCH(QString, name);
        QFETCH(QRect, box);
        QFETCH(QString, text);
        QFETCH(int, pixels);
        QFETCH(bool, bold);
        QFETCH(QColor, colour);
        QFETCH(int, alignment);
        auto* label = Control<QLabel>(qPrintable(name));
        QCOMPARE(label->geometry(), box);
        QCOMPARE(label->text(), text);
        QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(label->font().pixelSize(), pixels);
        QCOMPARE(label->font().bold(), bold);
        QCOMPARE(label->palette().color(QPalette::WindowText), colour);
        QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), alignment);
        QVERIFY(label->alignment().testFlag(Qt::AlignTop));
        QVERIFY(label->isVisible());
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    }

    void holidayCaptionsLineUpTheirColons() {
        for (const form1_layout::HolidayLabelRow& r : form1_layout::Tables::kHolidayRows) {
            const QRect box = Control<QLabel>(r.captionName)->geometry();
            QCOMPARE(box.left() + box.width(), QString(r.captionName) == "Label21" ? 457 : 449);
        }
    }

    // Every text that the date panel can write into a holiday value, in every year
    // that the calendar offers and with the names of every French locale, fits its
    // box on one line: a wider one would wrap, and its second line be cut off.
    void holidayValuesFitOnOneLineInEveryYear() {
        const auto nameSets = FrenchNameSets();
        QVERIFY(nameSets.size() > 1);  // at least France's and Canada's ("juill.")
        const int frameInside = Control<QWidget>("Shape1")->geometry().right() - OutlineShape::kPenWidth;
        const int firstYear = CalendarControl::FirstSelectableDate().year();
        const int lastYear = CalendarControl::LastSelectableDate().year();
        std::vector<std::vector<calendar::Holiday>> years;  // the nation's holidays, year by year
        for (int year = firstYear; year <= lastYear; ++year)
            years.push_back(calendar::HolidaysOf(calendar::Region::National, year));
        for (std::size_t row = 0; row < calendar::kPanelHolidayCount; ++row) {
            const calendar::HolidayRow& holiday = calendar::PanelHolidays()[row];
            const QString name = QString::fromLatin1(form1_layout::Tables::kHolidayRows[row].valueName);
            auto* label = Control<QLabel>(qPrintable(name));
            QVERIFY2(label->geometry().right() <= frameInside, qPrintable(name + " runs into the frame"));
            const QRect box = label->contentsRect();
            const QFontMetrics metrics(label->font());
            QVERIFY(metrics.height() <= box.height());
            // Each text once, with the first year and locale that write it.
            QHash<QString, QString> texts;
            for (const auto& [locale, names] : nameSets) {
                for (const std::vector<calendar::Holiday>& holidays : years) {
                    const auto kept = std::ranges::find(holidays, &holiday, &calendar::Holiday::row);
                    if (kept == holidays.end()) continue;  // the row is hidden that year
                    const QString text =
                        QString::fromStdString(calendar::FormatDate(kept->date, holiday.pattern, names));
                    if (!texts.contains(text))
                        texts.insert(text,
                                     QStringLiteral("%1, %2").arg(calendar::YearOf(kept->date).value()).arg(locale));
                }
            }
            for (auto text = texts.cbegin(); text != texts.cend(); ++text) {
                const int width = metrics.horizontalAdvance(text.key());
                QVERIFY2(width <= box.width(), qPrintable(QStringLiteral("%1: \"%2\" (%3) takes %4 pixels of %5")
                                                              .arg(name, text.key(), text.value())
                                                              .arg(width)
                                                              .arg(box.width())));
            }
        }
    }

    // The boxes that the real-window tests, the packaging checks and the benchmarks
    // look at or click (window_boxes.txt, which the build writes from a window that it
    // never shows) are those of the shown window's controls, and each part of a
    // control lies inside the control.
    void controlsSitWhereTheScriptsLook() {
        QFile table(QStringLiteral(SOLVANE_WINDOW_BOXES));
        QVERIFY2(table.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(table.fileName()));
        int checked = 0;
        while (!table.atEnd()) {
            const QStringList fields = QString::fromUtf8(table.readLine())
                                           .section(QLatin1Char('#'), 0, 0)
                                           .simplified()
                                           .split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (fields.isEmpty()) continue;
            QCOMPARE(fields.size(), 5);
            const QRect box(fields[1].toInt(), fields[2].toInt(), fields[3].toInt(), fields[4].toInt());
            const QString control = fields[0].section(QLatin1Char('.'), 0, 0);
            auto* widget = control == QStringLiteral("Form1") ? form_ : form_->findChild<QWidget*>(control);
            if (!widget) continue;  // a box across controls
            const QRect controlBox = widget == form_ ? QRect(QPoint(0, 0), form_->size()) : widget->geometry();
            if (control == fields[0]) {
                QCOMPARE(controlBox, box);
            } else {
                QVERIFY2(controlBox.contains(box), qPrintable(fields[0] + " outside its control"));
            }
            ++checked;
        }
        QVERIFY(checked >= 20);
    }

    void buttons_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("CmdMinimise shows a picture") << "CmdMinimise"
                                                     << "";
        QTest::newRow("cmdQuit shows a picture") << "cmdQuit"
                                                 << "";
        QTest::newRow("recul goes back") << "recul"
                                         << "<<";
        QTest::newRow("avance goes forward") << "avance"
                                             << ">>";
        QTest::newRow("cejour comes back to today") << "cejour"
                                                    << "Aujourd'hui";
    }

    void buttons() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        auto* button = Control<QPushButton>(qPrintable(name));
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->font().pixelSize(), 11);  // MS Sans Serif 8.25 pt
        QVERIFY(!button->font().bold());
        if (caption.isEmpty()) {
            QCOMPARE(button->iconSize(), QSize(13, 13));
        } else {
            QCOMPARE(button->palette().color(QPalette::Button), QColor(224, 224, 224));
        }
        QVERIFY2(QFile::exists(":/pictures/hand_cursor.gif"), "the pictures are not built into this program");
        QCOMPARE(button->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(button->cursor().hotSpot(), QPoint(1, 0));
        if (caption.isEmpty()) QVERIFY(!button->icon().isNull());
    }

    // The pictures drawn for the window's scale, one or two device pixels per window
    // pixel; also run alone at QT_SCALE_FACTOR=2. The hand over the five buttons has its
    // hot spot on the fingertip: an outline pixel within the window pixel (1, 0), at the
    // top of the hand. The icons of the two picture buttons offer the pictures drawn at
    // 1x and at 2x, each as it is.
    void picturesForTheScreensScale() {
        QVERIFY2(QFile::exists(":/pictures/hand_cursor.gif"), "the pictures are not built into this program");
        const int scale = qRound(form_->devicePixelRatio());
        for (const char* name : {"CmdMinimise", "cmdQuit", "recul", "avance", "cejour"}) {
            const QCursor cursor = Control<QPushButton>(name)->cursor();
            QCOMPARE(cursor.shape(), Qt::BitmapCursor);
            QCOMPARE(cursor.pixmap().size(), QSize(32, 32) * scale);
            QCOMPARE(cursor.pixmap().devicePixelRatio(), qreal(scale));
            const QImage hand = cursor.pixmap().toImage();
            const QPoint hotSpot = cursor.hotSpot();
            QCOMPARE(QPoint(hotSpot.x() / scale, hotSpot.y() / scale), QPoint(1, 0));
            QCOMPARE(hand.pixelColor(hotSpot), QColor(Qt::black));
            int top = 0;  // the hand's top row
            while (top < hand.height() && RowIsClear(hand, top)) ++top;
            QVERIFY2(hotSpot.y() - top < scale, "the hot spot lies below the fingertip");
        }
        for (const auto& [name, picture] : {std::pair{"CmdMinimise", "minimise"}, {"cmdQuit", "quit"}}) {
            const QIcon icon = Control<QPushButton>(name)->icon();
            for (const auto& [iconScale, file] : {std::pair{1, ".gif"}, {2, "@2x.gif"}}) {
                const QPixmap shown = icon.pixmap(QSize(13, 13), iconScale);
                QCOMPARE(shown.devicePixelRatio(), qreal(iconScale));
                QCOMPARE(shown.toImage().convertToFormat(QImage::Format_RGB32),
                         QImage(QStringLiteral(":/pictures/") + picture + file).convertToFormat(QImage::Format_RGB32));
            }
        }
    }

    // The three text buttons are raised buttons with a flat light-grey face and a
    // centred caption; pressed, their edge sinks and the caption goes with it; the
    // keyboard's focus shows on them.
    void textButtonsAreRaisedWithAFlatFace_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("<<") << "recul";
        QTest::newRow(">>") << "avance";
        QTest::newRow("Aujourd'hui") << "cejour";
    }

    void textButtonsAreRaisedWithAFlatFace() {
        QFETCH(QString, name);
        auto* button = Control<QPushButton>(qPrintable(name));
        const QImage raised = button->grab().toImage();
        const int right = raised.width() - 1, bottom = raised.height() - 1;
        const QRect face(1, 1, raised.width() - 3, raised.height() - 3);  // inside the edge

        // Flat: the face around the caption is all one grey.
        const QRect caption = CaptionBox(raised, face);
        QVERIFY(!caption.isEmpty());
        QVERIFY2(caption.width() <= QFontMetrics(button->font()).horizontalAdvance(button->text()) + 2,
                 "pixels darker than the face lie beside the caption");
        QVERIFY2(std::abs(caption.center().x() - face.center().x()) <= 1, "the caption is centred");
        for (int y = face.top(); y <= face.bottom(); ++y) {
            for (int x = face.left(); x <= face.right(); ++x) {
                if (x >= caption.left() && x <= caption.right()) continue;
                QVERIFY2(QColor(raised.pixel(x, y)) == kTextButtonFace,
                         qPrintable(QStringLiteral("the face at (%1, %2)").arg(x).arg(y)));
            }
        }
        // Raised: lit from the upper left, light at the top and left, dark at the
        // bottom and right (two pixels of shadow).
        const int faceGrey = qGray(kTextButtonFace.rgb());
        const auto lighter = [&](const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) > faceGrey; };
        const auto darker = [&](const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < faceGrey; };
        for (int x = 1; x < right; ++x) {
            QVERIFY(lighter(raised, x, 0) && darker(raised, x, bottom) && darker(raised, x, bottom - 1));
        }
        for (int y = 1; y < bottom; ++y) {
            QVERIFY(lighter(raised, 0, y) && darker(raised, right, y) && darker(raised, right - 1, y));
        }

        // Pressed: the shadow at the top and left, the light at the bottom and right,
        // the caption one pixel down and right.
        button->setDown(true);
        const QImage pressed = button->grab().toImage();
        button->setDown(false);
        for (int x = 1; x < right; ++x) {
            QVERIFY(darker(pressed, x, 0) && darker(pressed, x, 1) && lighter(pressed, x, bottom));
        }
        for (int y = 1; y < bottom; ++y) {
            QVERIFY(darker(pressed, 0, y) && darker(pressed, 1, y) && lighter(pressed, right, y));
        }
        QCOMPARE(pressed.copy(caption.translated(1, 1)), raised.copy(caption));

        // Reached with the Tab key, the button shows that it has the focus.
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_));
        Control<CalendarControl>("Cal1")->setFocus();
        while (!button->hasFocus()) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QImage focused = button->grab().toImage();
        Control<CalendarControl>("Cal1")->setFocus();
        QVERIFY(focused != raised);
    }

    void otherControls_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("Shape2 frames the left panel") << "Shape2";
        QTest::newRow("Shape1 frames the holiday panel") << "Shape1";
        QTest::newRow("Cal1") << "Cal1";
        QTest::newRow("Image1") << "Image1";
    }

    void otherControls() {
        QFETCH(QString, name);
        auto* control = Control<QWidget>(qPrintable(name));
        QVERIFY(control->isVisible());
        if (name.startsWith("Shape")) {
            QVERIFY(control->testAttribute(Qt::WA_TransparentForMouseEvents));
            QCOMPARE(control->palette().color(QPalette::WindowText), kNavy);
        }
    }

    // The rule from (536, 64) to (368, 64), 2 pixels wide.
    void ruleUnderTheHeading() {
        auto* line = Control<QWidget>("Line1");
        QCOMPARE(line->geometry().left(), 368);
        QCOMPARE(line->geometry().right(), 535);
        QCOMPARE(line->height(), 2);
        QVERIFY(line->geometry().top() <= 64 && line->geometry().bottom() >= 64);
        QVERIFY(line->testAttribute(Qt::WA_TransparentForMouseEvents));
        QCOMPARE(line->palette().color(QPalette::WindowText), kNavy);
    }

    void theWindowItself() {
        QCOMPARE(form_->size(), QSize(609, 447));
        QCOMPARE(form_->minimumSize(), form_->maximumSize());
        QVERIFY(form_->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(form_->windowType(), Qt::Window);
        QCOMPARE(form_->windowTitle(), QStringLiteral("Solvane"));
        QCOMPARE(QFontInfo(form_->font()).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(form_->font().pixelSize(), 11);
        // Inside the picture's dark rim the window is its flat grey, and the label
        // boxes show it where they draw no text (here, below Label4's text).
        const QImage image = form_->grab().toImage();
        QCOMPARE(QColor(image.pixel(20, 200)), kGrey);
        QCOMPARE(QColor(image.pixel(90, 335)), kGrey);
        if (QFile::exists(":/pictures/icon.gif")) QVERIFY(!form_->windowIcon().isNull());
    }

    // Wayland and XWayland show the window's pixels whole, whatever its shape: there
    // its own pixels must cut the corners (the window is translucent there). Once
    // started up, every device pixel is clear outside the shape given to the X server
    // and opaque inside it. Also run at QT_SCALE_FACTOR=2.
    void ownPixelsAreClearExactlyOutsideTheShape() {
        Form1 window(QStringLiteral(SOLVANE_PROGRAM_DIR));
        window.Form_Load();
        const int scale = qRound(window.devicePixelRatio());
        QImage pixels(window.size() * scale, QImage::Format_ARGB32_Premultiplied);
        pixels.setDevicePixelRatio(scale);
        pixels.fill(Qt::transparent);
        window.render(&pixels, {}, {}, QWidget::DrawChildren | QWidget::IgnoreMask);
        const QRegion shape = window.mask();
        QVERIFY(!shape.isEmpty());
        int wrong = 0;
        QPoint first;
        for (int y = 0; y < pixels.height(); ++y) {
            for (int x = 0; x < pixels.width(); ++x) {
                const int alpha = qAlpha(pixels.pixel(x, y));
                if (alpha == (shape.contains(QPoint(x / scale, y / scale)) ? 255 : 0)) continue;
                if (wrong++ == 0) first = QPoint(x, y);
            }
        }
        QVERIFY2(wrong == 0, qPrintable(QStringLiteral("%1 device pixels are wrong, the first at (%2, %3)")
                                            .arg(wrong)
                                            .arg(first.x())
                                            .arg(first.y())));
    }

    void hiddenListIsNeverShown() {
        auto* list = Control<QComboBox>("Combo1");
        QVERIFY(!list->isVisible());
        list->addItems({"Marie", "Basile", "Geneviève"});
        list->setCurrentIndex(2);
        form_->hide();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_));
        QVERIFY(!list->isVisible());
        QCOMPARE(list->itemText(1), QStringLiteral("Basile"));  // in the order added, not sorted
        QCOMPARE(list->focusPolicy(), Qt::NoFocus);
        list->clear();
    }

    void dayOfYearLineTakesTheWidthOfItsText() {
        auto* line = Control<TextLabel>("Label3");
        const QFontMetrics metrics(line->font());
        line->setText("153 em jour de l'année");
        QCOMPARE(line->geometry(), QRect(48, 320, metrics.horizontalAdvance("153 em jour de l'année"), 14));
        QVERIFY(line->width() > 88 - 48);  // reaches into the week line's box
        line->setText("0");
        QCOMPARE(line->geometry(), QRect(48, 320, 6, 14));
    }

    // The focus starts on the calendar, marked on its selected day so that it can be
    // seen before any key is pressed; Tab follows the reading order (which the
    // window's first design did not: ">>" before "<<", quit before minimise); Return
    // and Enter press the button that has the focus, as the space bar does.
    void focusStartsOnTheCalendarAndTabsInOrder() {
        Form1 window(QStringLiteral(SOLVANE_PROGRAM_DIR));
        window.Form_Load();
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVERIFY(test::Cal1Of(window)->isAncestorOf(QApplication::focusWidget()));
        const QImage focused = test::Cal1Of(window)->grab().toImage();

        const char* order[] = {"recul", "avance", "cejour", "CmdMinimise", "cmdQuit"};
        for (const char* name : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
            QVERIFY2(button && button->objectName() == name, name);
            // Only the presses are counted: the handlers (minimise, quit) stay out of it.
            QObject::disconnect(button, &QPushButton::clicked, &window, nullptr);
            const QSignalSpy presses(button, &QPushButton::clicked);
            QTest::keyClick(button, Qt::Key_Return);
            QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
            QTest::keyClick(button, Qt::Key_Space);
            QCOMPARE(presses.count(), 3);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(test::Cal1Of(window)->isAncestorOf(QApplication::focusWidget()));

        // The mark: pixels that only the focus brings, in high contrast to what they
        // replace (a dotted frame of some 60 pixels around the navy day).
        test::Named<QPushButton>(window, "recul")->setFocus();
        const QImage unfocused = test::Cal1Of(window)->grab().toImage();
        int marked = 0;
        for (int y = 0; y < focused.height(); ++y) {
            for (int x = 0; x < focused.width(); ++x) {
                if (std::abs(qGray(focused.pixel(x, y)) - qGray(unfocused.pixel(x, y))) > 100) ++marked;
            }
        }
        QVERIFY2(marked >= 40, qPrintable(QStringLiteral("%1 pixels mark the focus").arg(marked)));
    }

    // The name-day line stays on one line for every entry of the list shipped with
    // the program and for the longest entry the list may hold: a text wider than the
    // line ends in dots (« … ») on the baseline, and then, and only then, the whole
    // text is the line's tooltip and accessible description.
    void nameDayLineStaysOnOneLine() {
        auto entries = namedays::ReadNameDayFile(SOLVANE_PROGRAM_DIR "/fetes.txt", namedays::kShownNameDays);
        QCOMPARE(entries.size(), std::size_t(366));
        std::string longest;
        while (longest.size() + 24 <= namedays::kShownNameDays.entryLength) longest += "Marie-Geneviève, Anne, ";
        entries.push_back(longest);
        TextLabel* line = Control<TextLabel>("Label32");
        const QFontMetrics metrics(line->font());
        // Short of the moon picture, which Label32's box reaches into.
        const QRect box = QRect(line->pos(), QSize(Control<PictureControl>("Image1")->x() - line->x(), line->height()));
        int cut = 0;
        for (const std::string& entry : entries) {
            const QString text = QStringLiteral("fête à souhaiter : ") + QString::fromStdString(entry);
            line->setText(text);
            const QImage image = form_->grab(box).toImage();
            const QRect ink = InkBox(image);
            const QString what = QStringLiteral("« %1 », its ink %2 high").arg(text).arg(ink.height());
            QVERIFY2(ink.bottom() < metrics.height(), qPrintable(what + " runs onto a second line"));
            const bool wider = metrics.horizontalAdvance(text) > line->contentsRect().width();
            const QString whole = wider ? text : QString();
            // The tooltip keeps every word, on lines of at most kWidestToolTip.
            QCOMPARE(QString(line->toolTip()).replace(QLatin1Char('\n'), QLatin1Char(' ')), whole);
            QCOMPARE(QAccessible::queryAccessibleInterface(line)->text(QAccessible::Description), whole);
            if (!wider) continue;
            ++cut;
            // The last mark of the line, after its last blank column, is a row of dots.
            int dotsLeft = ink.right();
            while (dotsLeft > ink.left() && InkBox(image.copy(dotsLeft - 1, 0, 1, image.height())).isValid())
                --dotsLeft;
            const QRect dots = InkBox(image.copy(dotsLeft, 0, ink.right() - dotsLeft + 1, image.height()));
            QVERIFY2(dots.height() <= 2 && dots.bottom() >= ink.bottom() - 3,
                     qPrintable(what + " does not end in dots on the baseline"));
        }
        QVERIFY(cut >= 1);
        line->setText(QStringLiteral("Label32"));
    }

    // The desktop's theme may give each kind of control a palette of its own (light
    // text for a dark theme), at start-up or when it changes: the window's controls
    // keep the fixed look's colours, pixel for pixel.
    void controlsKeepTheirColoursWhateverTheDesktopsPalette() {
        const auto windowPixels = [] {
            std::unique_ptr<Form1> window(test::ShowStoppedWindow());
            return QTest::qWaitForWindowExposed(window.get()) ? window->grab().toImage() : QImage();
        };
        const QImage fixed = windowPixels();
        const QPalette dark(QColor(240, 240, 240), QColor(50, 50, 50));  // light text on dark grey
        const char* kinds[] = {"QWidget", "QAbstractButton", "QPushButton", "QLabel", "QAbstractItemView", "QLineEdit"};
        for (const char* kind : kinds) QApplication::setPalette(dark, kind);
        const QImage underTheTheme = windowPixels();
        for (const char* kind : kinds) QApplication::setPalette(FixedLookPalette(), kind);
        QVERIFY(!fixed.isNull());
        QVERIFY(underTheTheme == fixed);
    }

    void longTextWrapsAtBlanksWithinTheBox() {
        TextLabel label;
        label.setFont(form_->font());
        label.resize(100, 60);
        label.setText("alpha beta gamma delta epsilon");
        const QRect ink = InkBox(label);
        QVERIFY2(ink.height() > QFontMetrics(label.font()).height(), "one line only");
        QVERIFY(ink.right() < 100);
    }

    // "V3.6 " (the version and a blank) ends one blank away from the right edge of its box.
    void trailingBlankCountsInRightAlignment() {
        TextLabel withBlank;
        TextLabel without;
        for (TextLabel* label : {&withBlank, &without}) {
            label->setFont(form_->font());
            label->setAlignment(Qt::AlignRight | Qt::AlignTop);
            label->resize(41, 17);
        }
        withBlank.setText(QStringLiteral("V" SOLVANE_VERSION " "));
        without.setText(QStringLiteral("V" SOLVANE_VERSION));
        const int blank = QFontMetrics(form_->font()).horizontalAdvance(' ');
        QCOMPARE(InkBox(without).right() - InkBox(withBlank).right(), blank);
    }
};

SOLVANE_TEST_CLASS(WindowLayoutTest)
#include "window_layout_test.moc"

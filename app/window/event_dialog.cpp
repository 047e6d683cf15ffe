#include "app/window/event_dialog.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTimeZone>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>
#include <optional>

#include "agendas/quick_entry.h"
#include "app/look/colours.h"
#include "app/look/fixed_look.h"
#include "app/text/qt_text.h"
#include "app/window/event_words.h"

namespace {

using event_words::Clock;
using event_words::Description;
using event_words::French;
using event_words::ListedAs;
using event_words::LocalOf;
using event_words::WallOf;

// The reminders offered, before the start.
struct ReminderRow {
    const char* text;
    std::optional<int> minutes;
};
constexpr ReminderRow kReminderRows[] = {
    {.text = "Aucun", .minutes = std::nullopt}, {.text = "Au début", .minutes = 0},
    {.text = "10 min avant", .minutes = 10},    {.text = "30 min avant", .minutes = 30},
    {.text = "1 h avant", .minutes = 60},       {.text = "1 jour avant", .minutes = 24 * 60},
};

// The end of a repetition, in the order of its list.
enum Ending { kNeverEnds, kEndsOnADay, kEndsAfter };

// A list whose rows are the user's texts (an event's title, an agenda's name) is as
// wide as some forty letters, whatever the longest row: the dialog, of a fixed size,
// would grow past the screen's edge, its buttons with it. The open list shows them whole.
void KeepNarrow(QComboBox* list) {
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(40);
}

// The scopes of a change to a repeated event, in the order of their list.
constexpr agendas::Scope kScopes[] = {agendas::Scope::ThisOccurrence, agendas::Scope::ThisAndFollowing,
                                      agendas::Scope::All};

// A label of the form, its & before the key that reaches its field with Alt, and the
// field's name for screen readers without the &.
QLabel* Named(const char* text, QWidget* field, QWidget* parent) {
    auto* label = new QLabel(Utf8(text), parent);
    label->setBuddy(field);
    field->setAccessibleName(Utf8(text).remove(QLatin1Char('&')).remove(QStringLiteral(" :")));
    return label;
}

}  // namespace

EventDialog::EventDialog(QDate day, const QDateTime& now, EventSaving saving, QWidget* parent)
    : QDialog(parent), day_(day), now_(now), saving_(std::move(saving)) {
    setObjectName(QStringLiteral("EventDialog"));
    setWindowTitle(Utf8("Nouvel évènement"));
    DressAsGadgetDialog(this);

    // Made in the order of the form, which is the order of the Tab key.
    event_ = new QComboBox(this);
    event_->setObjectName(QStringLiteral("Event"));
    KeepNarrow(event_);
    auto* eventLabel = Named("É&vènement :", event_, this);
    phrase_ = new QLineEdit(this);
    phrase_->setObjectName(QStringLiteral("QuickEntry"));
    phrase_->setPlaceholderText(Utf8("jeudi 18 h 30 Piscine"));
    phrase_->setMinimumWidth(360);
    auto* phraseLabel = Named("&Saisie rapide :", phrase_, this);
    understood_ = new QLabel(this);
    understood_->setObjectName(QStringLiteral("Understood"));
    understood_->setWordWrap(true);
    phrase_->setAccessibleDescription(Utf8("Une phrase telle « demain 14h-15h30 Dentiste » remplit les champs."));
    title_ = new QLineEdit(this);
    title_->setObjectName(QStringLiteral("Title"));
    auto* titleLabel = Named("&Titre :", title_, this);
    wholeDay_ = new QCheckBox(Utf8("Toute la &journée"), this);
    wholeDay_->setObjectName(QStringLiteral("WholeDay"));
    startDate_ = new QDateEdit(this);
    startTime_ = new QTimeEdit(this);
    endDate_ = new QDateEdit(this);
    endTime_ = new QTimeEdit(this);
    for (QDateEdit* date : {startDate_, endDate_}) {
        date->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        date->setCalendarPopup(true);
    }
    for (QTimeEdit* time : {startTime_, endTime_}) time->setDisplayFormat(QStringLiteral("HH:mm"));
    startDate_->setObjectName(QStringLiteral("StartDate"));
    startTime_->setObjectName(QStringLiteral("StartTime"));
    endDate_->setObjectName(QStringLiteral("EndDate"));
    endTime_->setObjectName(QStringLiteral("EndTime"));
    auto* startLabel = Named("&Début :", startDate_, this);
    auto* endLabel = Named("&Fin :", endDate_, this);
    startTime_->setAccessibleName(Utf8("Heure du début"));
    endTime_->setAccessibleName(Utf8("Heure de fin"));
    place_ = new QLineEdit(this);
    place_->setObjectName(QStringLiteral("Place"));
    auto* placeLabel = Named("&Lieu :", place_, this);
    repetition_ = new QComboBox(this);
    repetition_->setObjectName(QStringLiteral("Repetition"));
    repetition_->addItems({Utf8("Jamais"), Utf8("Chaque jour"), {}, {}, {}});
    auto* repetitionLabel = Named("&Répétition :", repetition_, this);
    ending_ = new QComboBox(this);
    ending_->setObjectName(QStringLiteral("Ending"));
    ending_->addItems({Utf8("Sans fin"), Utf8("Jusqu'au"), Utf8("Après")});
    ending_->setAccessibleName(Utf8("Fin de la répétition"));
    // Under X11 a list is heard by the text it shows and the label beside it; this row
    // has none, so the list says what it is in its description.
    ending_->setAccessibleDescription(Utf8("Fin de la répétition"));
    until_ = new QDateEdit(this);
    until_->setObjectName(QStringLiteral("Until"));
    until_->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    until_->setCalendarPopup(true);
    until_->setAccessibleName(Utf8("Dernier jour de la répétition"));
    count_ = new QSpinBox(this);
    count_->setObjectName(QStringLiteral("Count"));
    count_->setRange(1, 999);
    count_->setValue(10);
    count_->setSuffix(Utf8(" fois"));
    count_->setAccessibleName(Utf8("Nombre de fois"));
    reminder_ = new QComboBox(this);
    reminder_->setObjectName(QStringLiteral("Reminder"));
    for (const ReminderRow& row : kReminderRows) reminder_->addItem(Utf8(row.text));
    auto* reminderLabel = Named("R&appel :", reminder_, this);
    calendar_ = new QComboBox(this);
    calendar_->setObjectName(QStringLiteral("Calendar"));
    KeepNarrow(calendar_);
    auto* calendarLabel = Named("A&genda :", calendar_, this);
    for (const agendas::Source& calendar : saving_.Calendars()) {
        calendar_->addItem(Utf8(calendar.name), FromNative(calendar.location));
        calendar_->setItemData(calendar_->count() - 1, FromNative(calendar.location), Qt::ToolTipRole);
        if (calendar.location == saving_.DefaultCalendar()) calendar_->setCurrentIndex(calendar_->count() - 1);
    }
    // With none writable, the event goes to the gadget's own calendar, made on saving.
    if (calendar_->count() == 0) calendar_->addItem(Utf8("Solvane (créé à l'enregistrement)"), QString());

    scope_ = new QComboBox(this);
    scope_->setObjectName(QStringLiteral("Scope"));
    scope_->addItems({Utf8("Cette occurrence"), Utf8("Celle-ci et les suivantes"), Utf8("Toutes")});
    auto* scopeLabel = Named("&Occurrences :", scope_, this);

    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("Problem"));
    problem_->setWordWrap(true);
    QPalette problemColours = palette();
    problemColours.setColor(QPalette::WindowText, kHolidayRed);
    problem_->setPalette(problemColours);
    problem_->hide();
    remove_ = new QPushButton(Utf8("Su&pprimer"), this);
    remove_->setObjectName(QStringLiteral("Remove"));
    remove_->setAutoDefault(false);
    remove_->hide();
    connect(remove_, &QPushButton::clicked, this, &EventDialog::Remove);
    auto* save = new QPushButton(Utf8("&Enregistrer"), this);
    save->setObjectName(QStringLiteral("Save"));
    save->setDefault(true);
    auto* cancel = new QPushButton(Utf8("Annuler"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    connect(save, &QPushButton::clicked, this, &EventDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &EventDialog::reject);

    const auto times = [](QDateEdit* date, QTimeEdit* time) {
        auto* row = new QHBoxLayout;
        row->addWidget(date, 1);
        row->addWidget(time, 1);
        return row;
    };
    auto* form = form_ = new QFormLayout;
    form->addRow(eventLabel, event_);
    form->addRow(phraseLabel, phrase_);
    form->addRow(QString(), understood_);
    form->addRow(titleLabel, title_);
    form->addRow(QString(), wholeDay_);
    form->addRow(startLabel, times(startDate_, startTime_));
    form->addRow(endLabel, times(endDate_, endTime_));
    form->addRow(placeLabel, place_);
    form->addRow(repetitionLabel, repetition_);
    auto* endingRow = new QHBoxLayout;
    endingRow->addWidget(ending_);
    endingRow->addWidget(until_);
    endingRow->addWidget(count_);
    form->addRow(QString(), endingRow);
    form->addRow(reminderLabel, reminder_);
    form->addRow(calendarLabel, calendar_);
    form->addRow(scopeLabel, scope_);
    form->setRowVisible(scope_, false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(remove_);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(problem_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // From the next full hour, for an hour, on the day asked (today's after 23 h is
    // tomorrow's midnight).
    const QDateTime next = QDateTime(now.date(), QTime(now.time().hour(), 0)).addSecs(3600);
    const QDateTime start = day == now.date() ? next : QDateTime(day, next.time());
    newEvent_.start = LocalOf(start);
    newEvent_.end = LocalOf(start.addSecs(3600));
    ShowFields(newEvent_);

    ListEvents();
    connect(event_, &QComboBox::currentIndexChanged, this, &EventDialog::OpenEvent);
    connect(phrase_, &QLineEdit::textChanged, this, &EventDialog::ReadPhrase);
    connect(wholeDay_, &QCheckBox::toggled, this, &EventDialog::FollowChoices);
    connect(repetition_, &QComboBox::currentIndexChanged, this, &EventDialog::FollowChoices);
    connect(ending_, &QComboBox::currentIndexChanged, this, &EventDialog::FollowChoices);
    connect(startDate_, &QDateEdit::dateChanged, this, &EventDialog::FollowStart);
    connect(startTime_, &QTimeEdit::timeChanged, this, &EventDialog::FollowStart);
    phrase_->setFocus();
}

agendas::EventFields EventDialog::Fields() const {
    agendas::EventFields fields;
    fields.title = Utf8Of(title_->text().trimmed());
    fields.wholeDay = wholeDay_->isChecked();
    // As the fields show them, a time that the change of time skips too: the writer
    // says what becomes of it.
    const QTime midnight(0, 0);
    fields.start = LocalOf(startDate_->date(), fields.wholeDay ? midnight : startTime_->time());
    fields.end = LocalOf(endDate_->date(), fields.wholeDay ? midnight : endTime_->time());
    if (const QString place = place_->text().trimmed(); !place.isEmpty()) fields.place = Utf8Of(place);
    fields.repetition = agendas::QuickRepetition(repetition_->currentIndex());
    if (fields.repetition != agendas::QuickRepetition::None && ending_->currentIndex() == kEndsOnADay) {
        const QDate until = until_->date();
        fields.repeatUntil = agendas::LocalDate{until.year(), until.month(), until.day()};
    }
    if (fields.repetition != agendas::QuickRepetition::None && ending_->currentIndex() == kEndsAfter) {
        fields.repeatCount = count_->value();
    }
    const int reminder = std::max(0, reminder_->currentIndex());
    if (reminder < int(std::size(kReminderRows))) {
        fields.reminderMinutes = kReminderRows[reminder].minutes;
    } else {
        fields.keepReminders = true;
    }
    return fields;
}

void EventDialog::ShowFields(const agendas::EventFields& fields) {
    // Read as walls: a local time would move one that the change of time skips.
    const QDateTime start = WallOf(fields.start), end = WallOf(fields.end);
    {
        const QSignalBlocker quietDate(startDate_), quietTime(startTime_);
        title_->setText(Utf8(fields.title));
        wholeDay_->setChecked(fields.wholeDay);
        startDate_->setDate(start.date());
        startTime_->setTime(start.time());
        endDate_->setDate(end.date());
        endTime_->setTime(end.time());
        place_->setText(Utf8(fields.place.value_or("")));
        repetition_->setCurrentIndex(int(fields.repetition));
        ending_->setCurrentIndex(fields.repeatUntil ? kEndsOnADay : fields.repeatCount ? kEndsAfter : kNeverEnds);
        if (fields.repeatUntil) {
            until_->setDate(QDate(fields.repeatUntil->year, fields.repeatUntil->month, fields.repeatUntil->day));
        } else {
            until_->setDate(start.date().addMonths(1));
        }
        if (fields.repeatCount) count_->setValue(*fields.repeatCount);
    }
    shownStart_ = QDateTime(startDate_->date(), startTime_->time());
    FollowChoices();
}

// The repetitions name the start's weekday and day; the times of a whole day, and
// the end of no repetition, are out of reach.
void EventDialog::FollowChoices() {
    const QDate start = startDate_->date();
    repetition_->setItemText(2, Utf8("Chaque semaine, le ") + French().toString(start, QStringLiteral("dddd")));
    repetition_->setItemText(3, Utf8("Chaque mois, le ") + French().toString(start, QStringLiteral("d")));
    repetition_->setItemText(4, Utf8("Chaque année, le ") + French().toString(start, QStringLiteral("d MMMM")));
    startTime_->setEnabled(!wholeDay_->isChecked());
    endTime_->setEnabled(!wholeDay_->isChecked());
    const bool repeats = repetition_->currentIndex() > 0;
    ending_->setEnabled(repeats);
    until_->setEnabled(repeats && ending_->currentIndex() == kEndsOnADay);
    count_->setEnabled(repeats && ending_->currentIndex() == kEndsAfter);
}

// The times count even while the whole day hides them, so that the end keeps its
// day and its hour when the box is cleared again.
void EventDialog::FollowStart() {
    const QDateTime start(startDate_->date(), startTime_->time());
    const QDateTime end = QDateTime(endDate_->date(), endTime_->time()).addSecs(shownStart_.secsTo(start));
    const QSignalBlocker quietDate(endDate_), quietTime(endTime_);
    endDate_->setDate(end.date());
    endTime_->setTime(end.time());
    shownStart_ = start;
    FollowChoices();
}

// The fields follow the phrase at each key; a phrase that says no day keeps the day
// the dialog was opened on, and the reminder and the calendar stay as chosen.
void EventDialog::ReadPhrase(const QString& phrase) {
    if (phrase.trimmed().isEmpty()) {
        understood_->clear();
        return;
    }
    const agendas::QuickEntry entry = agendas::ReadQuickEntry(Utf8Of(phrase), LocalOf(now_));
    if (entry.problem != agendas::QuickEntry::Problem::None) {
        understood_->setText(Utf8(agendas::QuickEntryProblemSentence(entry)));
        return;
    }
    agendas::EventFields fields = agendas::FieldsOfQuickEntry(entry);
    const bool saysADay = std::any_of(entry.understood.begin(), entry.understood.end(), [](const auto& part) {
        return part.meaning == agendas::QuickEntryPart::Meaning::Day;
    });
    if (!saysADay && day_ != now_.date()) {
        const qint64 days = WallOf(fields.start).date().daysTo(day_);
        fields.start = LocalOf(WallOf(fields.start).addDays(days));
        fields.end = LocalOf(WallOf(fields.end).addDays(days));
    }
    fields.reminderMinutes = Fields().reminderMinutes;
    ShowFields(fields);
    const QString repetition = repetition_->currentText();
    understood_->setText(Utf8("Compris : ") + Description(fields, repetition) + QLatin1Char('.'));
}

void EventDialog::accept() {
    const agendas::EventFields fields = Fields();
    if (fields.title.empty()) {
        Say(Utf8("L'évènement n'a pas de titre : rien n'est écrit."), title_);
        return;
    }
    if (fields.wholeDay ? fields.end.Date() < fields.start.Date() : fields.end <= fields.start) {
        Say(Utf8("La fin vient avant le début : rien n'est écrit."), endDate_);
        return;
    }
    if (fields.repeatUntil && *fields.repeatUntil < fields.start.Date()) {
        Say(Utf8("La répétition finit avant le premier jour : rien n'est écrit."), until_);
        return;
    }
    if (opened_) {
        Change(fields);
        return;
    }
    Conclude(saving_.Add(Native(calendar_->currentData().toString()), fields));
}

void EventDialog::Conclude(const agendas::EventWriting& written) {
    if (written.status == agendas::EventWriting::Status::Written) {
        emit Written(written);
        QDialog::accept();
        return;
    }
    Say(Utf8(written.sentence));
    if (written.status != agendas::EventWriting::Status::Changed || !opened_) return;
    // The file changed meanwhile: the day's events and the file read again, the
    // input kept, so that a new save writes over what is there now.
    const agendas::Event kept = opened_->event;
    saving_.AnswerFrom(nullptr);
    ListEvents();
    if (const EventSaving::OpenedEvent again = saving_.Open(*kept.origin); again.problem.empty()) {
        opened_->file = again.file;
        opened_->written = again.written;
    } else {
        Say(Utf8(written.sentence + ' ' + again.problem));
    }
}

// The day's events of the writable calendars, the one opened kept chosen.
void EventDialog::ListEvents() {
    events_ = saving_.EventsOn(day_);
    const QSignalBlocker quiet(event_);
    event_->clear();
    event_->addItem(Utf8("Nouvel évènement"));
    for (const agendas::Event& event : events_) event_->addItem(ListedAs(event));
    event_->setCurrentIndex(IndexOfOpened());
    form_->setRowVisible(event_, !events_.empty());
}

void EventDialog::OfferKeptReminders(bool kept) {
    const int rows = int(std::size(kReminderRows));
    if (kept && reminder_->count() == rows) reminder_->addItem(Utf8("Comme écrits dans l'agenda"));
    if (!kept && reminder_->count() > rows) reminder_->removeItem(rows);
    if (kept) reminder_->setCurrentIndex(rows);
}

// The list's row of the event open: 0, « Nouvel évènement », when none is.
int EventDialog::IndexOfOpened() const {
    if (!opened_) return 0;
    const agendas::EventOrigin& own = *opened_->event.origin;
    const auto same = [&](const agendas::Event& event) {
        return event.origin->uid == own.uid && event.origin->occurrence == own.occurrence;
    };
    const auto found = std::ranges::find_if(events_, same);
    return found == events_.end() ? 0 : int(found - events_.begin()) + 1;
}

void EventDialog::OpenEvent(int index) {
    Unsay();
    understood_->clear();
    if (index <= 0 || index > int(events_.size())) {
        // A new event begins as the dialog began, not as a copy of the event left,
        // which a save would write a second time.
        if (opened_) {
            ShowFields(newEvent_);
            reminder_->setCurrentIndex(0);  // « Aucun », before the row of the reminders kept goes
        }
        opened_.reset();
        setWindowTitle(Utf8("Nouvel évènement"));
        remove_->hide();
        form_->setRowVisible(scope_, false);
        calendar_->setEnabled(true);
        OfferKeptReminders(false);
        return;
    }
    const agendas::Event& event = events_[std::size_t(index - 1)];
    const EventSaving::OpenedEvent opened = saving_.Open(*event.origin);
    if (!opened.problem.empty()) {
        // The list shows again the event still open, which a save would change.
        const QSignalBlocker quiet(event_);
        event_->setCurrentIndex(IndexOfOpened());
        Say(Utf8(opened.problem));
        return;
    }
    // The times of the occurrence chosen, as the day shows them; the rest as written.
    agendas::EventFields fields = opened.written.fields;
    fields.start = event.start;
    fields.end = event.end;
    ShowFields(fields);
    const auto row = std::ranges::find(kReminderRows, fields.reminderMinutes, &ReminderRow::minutes);
    const bool kept = fields.keepReminders || row == std::end(kReminderRows);
    OfferKeptReminders(kept);
    if (!kept) reminder_->setCurrentIndex(int(row - std::begin(kReminderRows)));
    if (const int at = calendar_->findData(FromNative(event.origin->calendar)); at >= 0) calendar_->setCurrentIndex(at);
    calendar_->setEnabled(false);
    setWindowTitle(Utf8("Modifier l'évènement"));
    remove_->show();
    form_->setRowVisible(scope_, event.origin->occurrence.has_value());
    scope_->setCurrentIndex(0);
    const std::optional<std::string>& rule = fields.rule;
    if (rule && (fields.repetition == agendas::QuickRepetition::None || rule->find("BY") != std::string::npos ||
                 rule->find("INTERVAL") != std::string::npos)) {
        understood_->setText(
            Utf8("La répétition « ") + Utf8(*rule) +
            Utf8(" » de l'agenda est gardée telle quelle tant que la répétition n'est pas changée ici."));
    }
    opened_ = Opened{.event = event, .file = opened.file, .written = opened.written, .shown = Fields()};
}

agendas::Scope EventDialog::ChosenScope() const {
    if (!opened_ || !opened_->event.origin->occurrence) return agendas::Scope::All;
    return kScopes[std::clamp(scope_->currentIndex(), 0, int(std::size(kScopes)) - 1)];
}

void EventDialog::Change(const agendas::EventFields& fields) {
    agendas::EventFields written = fields;
    const agendas::EventFields& shown = opened_->shown;
    // A rule the fields cannot say is written back as it was while they leave it.
    if (fields.repetition == shown.repetition && fields.repeatUntil == shown.repeatUntil &&
        fields.repeatCount == shown.repeatCount)
        written.rule = opened_->written.fields.rule;
    const agendas::Scope scope = ChosenScope();
    if (scope == agendas::Scope::All && opened_->event.origin->occurrence) {
        // The series moves as its occurrence was moved: its first one keeps its place
        // relative to the others, none earlier is lost.
        const QDateTime first = WallOf(opened_->written.fields.start);
        const qint64 moved = WallOf(shown.start).secsTo(WallOf(fields.start));
        const qint64 length = WallOf(fields.start).secsTo(WallOf(fields.end));
        written.start = LocalOf(first.addSecs(moved));
        written.end = LocalOf(first.addSecs(moved + length));
    }
    Conclude(saving_.Change(*opened_->event.origin, opened_->file, scope, written));
}

// Asked once, naming what goes: a whole series says how many occurrences it has.
void EventDialog::Remove() {
    if (!opened_) return;
    const agendas::Scope scope = ChosenScope();
    const QString title = Utf8("« ") + Utf8(opened_->event.title) + Utf8(" »");
    const QString day = French().toString(day_, QStringLiteral("dddd d MMMM yyyy"));
    const std::optional<int> count = opened_->written.occurrences;
    QString question;
    if (!opened_->event.origin->occurrence) {
        question = Utf8("Supprimer ") + title + Utf8(" ?");
    } else if (scope == agendas::Scope::ThisOccurrence) {
        question = Utf8("Supprimer ") + title + Utf8(" du ") + day + Utf8(" seulement ?");
    } else if (scope == agendas::Scope::ThisAndFollowing) {
        question = Utf8("Supprimer ") + title + Utf8(" à partir du ") + day + Utf8(" ?");
    } else if (!count) {
        question = Utf8("Supprimer ") + title + Utf8(", qui se répète sans fin, et toutes ses occurrences ?");
    } else if (*count == 1) {
        question = Utf8("Supprimer ") + title + Utf8(" et sa seule occurrence ?");
    } else {
        question = Utf8("Supprimer ") + title + Utf8(" et ses %1 occurrences ?").arg(*count);
    }
    QMessageBox box(QMessageBox::Question, Utf8("Supprimer l'évènement"), question, QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("RemoveQuestion"));
    QPushButton* yes = box.addButton(Utf8("&Supprimer"), QMessageBox::DestructiveRole);
    QPushButton* no = box.addButton(Utf8("Annuler"), QMessageBox::RejectRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    if (box.clickedButton() != yes) return;
    Conclude(saving_.Remove(*opened_->event.origin, opened_->file, scope));
}

// Shown under the fields and heard at once. Qt's AT-SPI bridge carries no alert on
// every Qt a user may run, so the sentence is also the description of the field
// that has the focus: a screen reader says it as the focus comes there, or as it
// changes on the field already focused.
void EventDialog::Say(const QString& sentence, QWidget* field) {
    QWidget* heard = field != nullptr ? field : focusWidget();
    if (heard != heard_) {
        Unsay();
        if (heard != nullptr) heardDescription_ = heard->accessibleDescription();
        heard_ = heard;
    }
    problem_->setText(sentence);
    problem_->show();
    problem_->setAccessibleName(sentence);
    setAccessibleDescription(sentence);
    if (heard != nullptr) heard->setAccessibleDescription(sentence);
    if (field != nullptr) field->setFocus();
    QAccessibleEvent alert(problem_, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

// The problem said is gone: the field that told it has its own description again.
void EventDialog::Unsay() {
    problem_->hide();
    setAccessibleDescription(QString());
    if (heard_) heard_->setAccessibleDescription(heardDescription_);
    heard_ = nullptr;
    heardDescription_.clear();
}

#pragma once
// « Nouvel évènement », in the gadget's look: a line at the top that reads French as
// people type it (agendas/quick_entry.h) and fills the fields below as it is typed,
// with a sentence that says what it understood; the title, the whole day or the start
// and the end, the place, the repetition and its end, the reminder, and the calendar
// it goes to. Enter saves, Escape closes. What cannot be written (the calendar gone,
// read-only, a full disk) is said in a French sentence in the dialog, announced to
// screen readers, and the input stays as it was typed.
//
// The events of the writable calendars on the day are listed at the top: one chosen
// is shown as its file holds it, to be changed or removed (« Supprimer »); for a
// repeated event, « Cette occurrence », « Celle-ci et les suivantes » or « Toutes ».
// An event changed meanwhile in its file is not written over: the sentence says so,
// the input stays, and the day's events and the file are read again.

#include <QDate>
#include <QDateTime>
#include <QDialog>
#include <QPointer>
#include <optional>
#include <vector>

#include "agendas/ics_writer.h"
#include "app/window/event_saving.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFormLayout;
class QPushButton;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTimeEdit;

class EventDialog : public QDialog {
    Q_OBJECT
public:
    // A new event on `day`: from the next full hour after `now`, for an hour. The
    // quick-add line reads its phrases at `now`; a phrase that says no day keeps `day`.
    EventDialog(QDate day, const QDateTime& now, EventSaving saving, QWidget* parent = nullptr);

    // The event as the fields hold it.
    agendas::EventFields Fields() const;

    // Writes the event and closes; or says why not, and stays.
    void accept() override;

signals:
    // The event is written: `written` says which files.
    void Written(const agendas::EventWriting& written);

private:
    void ReadPhrase(const QString& phrase);
    void ShowFields(const agendas::EventFields& fields);
    // The start moved: the end keeps the length; the repetition's words follow the day.
    void FollowStart();
    void FollowChoices();
    // Shows `sentence` under the fields; `field`, when given, takes the focus.
    void Say(const QString& sentence, QWidget* field = nullptr);
    void Unsay();
    int IndexOfOpened() const;

    // The event at `index` of the day's list opened, or none (0: a new event).
    void OpenEvent(int index);
    void ListEvents();
    void Remove();
    void Change(const agendas::EventFields& fields);
    // Closes after a writing, or says why there was none.
    void Conclude(const agendas::EventWriting& written);
    agendas::Scope ChosenScope() const;
    // The reminder's list, with « Comme écrits dans l'agenda » when `kept`.
    void OfferKeptReminders(bool kept);

    struct Opened {
        agendas::Event event;
        agendas::EventFile file;
        agendas::WrittenEvent written;
        agendas::EventFields shown;  // the fields as they were first shown
    };
    std::vector<agendas::Event> events_;  // of the writable calendars, on `day_`
    std::optional<Opened> opened_;
    agendas::EventFields newEvent_;  // the fields a new event begins with

    QDate day_;
    QDateTime now_;
    EventSaving saving_;
    QDateTime shownStart_;  // the start the end was last moved with

    QLineEdit* phrase_;
    QLabel* understood_;
    QLineEdit* title_;
    QCheckBox* wholeDay_;
    QDateEdit* startDate_;
    QTimeEdit* startTime_;
    QDateEdit* endDate_;
    QTimeEdit* endTime_;
    QLineEdit* place_;
    QComboBox* repetition_;
    QComboBox* ending_;
    QDateEdit* until_;
    QSpinBox* count_;
    QComboBox* reminder_;
    QComboBox* calendar_;
    QLabel* problem_;
    // The field that tells a screen reader the problem, and its own description.
    QPointer<QWidget> heard_;
    QString heardDescription_;
    QComboBox* event_;
    QComboBox* scope_;
    QPushButton* remove_;
    QFormLayout* form_;
};

#pragma once
// « Nouvel évènement », in the gadget's look: a line at the top that reads French as
// people type it (agendas/quick_entry.h) and fills the fields below as it is typed,
// with a sentence that says what it understood; the title, the whole day or the start
// and the end, the place, the repetition and its end, the reminder, and the calendar
// it goes to. Enter saves, Escape closes. What cannot be written (the calendar gone,
// read-only, a full disk) is said in a French sentence in the dialog, announced to
// screen readers, and the input stays as it was typed.

#include <QDate>
#include <QDateTime>
#include <QDialog>

#include "agendas/ics_writer.h"
#include "app/window/event_saving.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
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
    // The event is in the file at `path`.
    void Written(const QString& path);

private:
    void ReadPhrase(const QString& phrase);
    void ShowFields(const agendas::EventFields& fields);
    // The start moved: the end keeps the length; the repetition's words follow the day.
    void FollowStart();
    void FollowChoices();
    void Say(const QString& sentence);
    QDateTime Start() const;
    QDateTime End() const;

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
};

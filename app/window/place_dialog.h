#pragma once
// The dialog of the menu's « Lieu… »: one field for the place whose sun and seasons
// the tooltips tell, which completes the names of the places' table and of the towns
// however they are typed (case, accents and the marks between words forgiven) and takes a latitude and
// a longitude as well (« 48,58 7,75 »). Left empty, the region's chef-lieu stands for
// the place. A text that gives no place is refused with a French sentence under the
// field, and nothing is kept. Enter keeps, Escape closes; the field, the sentence and
// the buttons have their names for screen readers.

#include <QDialog>
#include <functional>
#include <optional>

#include "calendar/places.h"

class QLabel;
class QLineEdit;

class PlaceDialog : public QDialog {
    Q_OBJECT
public:
    // `chosen` is the place kept now (none: the chef-lieu `seat` stands for it);
    // `keep` receives the user's choice, none for the chef-lieu, once it gives a place.
    PlaceDialog(const std::optional<calendar::Place>& chosen, const calendar::Place& seat,
                std::function<void(const std::optional<calendar::Place>&)> keep, QWidget* parent = nullptr);

    void accept() override;

private:
    std::function<void(const std::optional<calendar::Place>&)> keep_;
    QLineEdit* field_;
    QLabel* refusal_;
};

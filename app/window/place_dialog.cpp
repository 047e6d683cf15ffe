#include "app/window/place_dialog.h"

#include <QAccessible>
#include <QCompleter>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "app/look/colours.h"
#include "app/look/fixed_look.h"
#include "app/text/qt_text.h"

namespace {

// A quotation never parts from its guillemets where a line wraps.
QString Unbroken(QString text) {
    return text.replace(QStringLiteral("« "), QStringLiteral("«\u00A0"))
        .replace(QStringLiteral(" »"), QStringLiteral("\u00A0»"));
}

// The role that holds a name folded as calendar::FoldedName folds it.
constexpr int kFoldedRole = Qt::UserRole;

// Completes on the folded names with the folded text typed, so that « saint etienne »
// and « ST-ÉTIENNE » both offer « Saint-Étienne », anywhere in the name (« reunion »
// offers « Saint-Denis (La Réunion) »); what it writes into the field is the name as
// the table spells it.
class FoldedCompleter : public QCompleter {
public:
    using QCompleter::QCompleter;
    QStringList splitPath(const QString& path) const override { return {Utf8(calendar::FoldedName(Utf8Of(path)))}; }
    QString pathFromIndex(const QModelIndex& index) const override { return index.data(Qt::DisplayRole).toString(); }
};

// The places' table first, the préfectures and capitals that most look for, then the
// towns: the list of towns is read here, when the dialog opens, and not before.
QCompleter* PlaceCompleter(QObject* parent) {
    auto* names = new QStandardItemModel(parent);
    for (const auto& table : {calendar::Places(), calendar::Towns()}) {
        for (const calendar::PlaceRow& place : table) {
            auto* item = new QStandardItem(Utf8(place.name));
            item->setData(Utf8(calendar::FoldedName(place.name)), kFoldedRole);
            names->appendRow(item);
        }
    }
    auto* completer = new FoldedCompleter(names, parent);
    completer->setCompletionRole(kFoldedRole);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setMaxVisibleItems(8);
    return completer;
}

}  // namespace

PlaceDialog::PlaceDialog(const std::optional<calendar::Place>& chosen, const calendar::Place& seat,
                         std::function<void(const std::optional<calendar::Place>&)> keep, QWidget* parent)
    : QDialog(parent), keep_(std::move(keep)) {
    setObjectName(QStringLiteral("PlaceDialog"));
    setWindowTitle(QStringLiteral("Lieu du soleil et des saisons"));
    DressAsGadgetDialog(this);

    auto* prompt = new QLabel(QStringLiteral("&Lieu du soleil et des saisons :"), this);
    field_ = new QLineEdit(chosen ? Utf8(chosen->text) : QString(), this);
    field_->setObjectName(QStringLiteral("PlaceField"));
    field_->setPlaceholderText(Utf8(seat.text));
    field_->setCompleter(PlaceCompleter(field_));
    // The words wrap within the field's width, and the dialog grows to show a refusal.
    constexpr int kTextWidth = 360;
    field_->setFixedWidth(kTextWidth);
    prompt->setBuddy(field_);
    const QString help =
        QStringLiteral(
            "Une ville, telle « Brest », ou la latitude et la longitude, telles « 48,58 7,75 ». Vide : %1, le "
            "chef-lieu de la région des jours fériés.")
            .arg(Utf8(seat.text));
    auto* helpText = new QLabel(Unbroken(help), this);
    helpText->setWordWrap(true);
    helpText->setFixedWidth(kTextWidth);
    field_->setAccessibleName(QStringLiteral("Lieu du soleil et des saisons"));
    field_->setAccessibleDescription(help);

    refusal_ = new QLabel(this);
    refusal_->setObjectName(QStringLiteral("PlaceRefusal"));
    refusal_->setWordWrap(true);
    refusal_->setFixedWidth(kTextWidth);
    QPalette refusalColours = palette();
    refusalColours.setColor(QPalette::WindowText, kHolidayRed);
    refusal_->setPalette(refusalColours);
    refusal_->hide();

    auto* keepButton = new QPushButton(QStringLiteral("&Enregistrer"), this);
    keepButton->setObjectName(QStringLiteral("PlaceKeep"));
    keepButton->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Annuler"), this);
    connect(keepButton, &QPushButton::clicked, this, &PlaceDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &PlaceDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(keepButton);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(field_);
    layout->addWidget(helpText);
    layout->addWidget(refusal_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

// Empty: the chef-lieu; a place: kept; anything else: said, and the field offered
// again as it was typed.
void PlaceDialog::accept() {
    const std::string typed = Utf8Of(field_->text());
    if (field_->text().trimmed().isEmpty()) {
        keep_(std::nullopt);
        QDialog::accept();
        return;
    }
    if (const std::optional<calendar::Place> place = calendar::PlaceOfText(typed)) {
        keep_(place);
        QDialog::accept();
        return;
    }
    // A long paste is quoted by its beginning, so that the sentence stays short.
    constexpr qsizetype kLongestQuoted = 40;  // characters
    const QString shown = field_->text().size() > kLongestQuoted
                              ? field_->text().left(kLongestQuoted) + QStringLiteral("…")
                              : field_->text();
    const QString sentence = Unbroken(Utf8(calendar::NoPlaceSentence(typed, Utf8Of(shown))) + QLatin1Char('.'));
    refusal_->setText(sentence);
    refusal_->show();
    // A screen reader hears the sentence as an alert, and with the field's description.
    field_->setAccessibleDescription(sentence);
    QAccessibleEvent alert(refusal_, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    field_->setFocus();
    field_->selectAll();
}

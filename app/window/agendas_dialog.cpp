#include "app/window/agendas_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "agendas/writable_sources.h"
#include "app/look/colours.h"
#include "app/look/fixed_look.h"
#include "app/look/fonts.h"
#include "app/platform/gadget_settings.h"
#include "app/platform/subscription_fetches.h"
#include "app/text/qt_text.h"
#include "subscriptions/address.h"

namespace {

// The role of a row's first column that holds why the gadget never writes its
// source; empty for one the user may mark « modifiable ».
constexpr int kRefusalRole = Qt::UserRole;

// A button of the dialog, its & before the key that presses it with Alt.
QPushButton* NewButton(const char* text, const char* objectName, QWidget* parent) {
    auto* button = new QPushButton(Utf8(text), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

}  // namespace

AgendasDialog::AgendasDialog(GadgetSettings& settings, SubscriptionFetches& fetches, QWidget* parent)
    : QDialog(parent), settings_(settings), fetches_(fetches) {
    setObjectName(QStringLiteral("Agendas"));
    setWindowTitle(QStringLiteral("Agendas"));
    // The gadget's look: its fixed palette on its grey, its own font.
    QPalette palette = FixedLookPalette();
    palette.setColor(QPalette::Window, kWindowGrey);
    setPalette(palette);
    setFont(BaseWindowFont());

    auto* heading = new QLabel(Utf8("&Sources des agendas :"), this);
    heading->setFont(WindowFont(kBaseFontPixels, true));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("AgendaList"));
    list_->setAccessibleName(QStringLiteral("Sources des agendas"));
    list_->setColumnCount(2);
    list_->setHeaderLabels({Utf8("Source (cochée : modifiable)"), Utf8("État")});
    list_->setRootIsDecorated(false);
    // A long address or error sentence wraps in its column; its tooltip holds it whole.
    list_->setWordWrap(true);
    list_->header()->setStretchLastSection(true);
    list_->setMinimumSize(560, 160);
    list_->setColumnWidth(0, 260);
    heading->setBuddy(list_);

    auto* addressLabel = new QLabel(Utf8("A&dresse d'un abonnement :"), this);
    address_ = new QLineEdit(this);
    address_->setObjectName(QStringLiteral("AddressField"));
    address_->setPlaceholderText(Utf8("https://…/agenda.ics"));
    addressLabel->setBuddy(address_);
    auto* addAddress = NewButton("Ajouter l'&adresse", "AddAddress", this);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("Message"));
    message_->setWordWrap(true);

    auto* defaultLabel = new QLabel(Utf8("Agenda des &nouveaux évènements :"), this);
    defaultAgenda_ = new QComboBox(this);
    defaultAgenda_->setObjectName(QStringLiteral("DefaultAgenda"));
    defaultAgenda_->setAccessibleName(Utf8("Agenda des nouveaux évènements"));
    defaultLabel->setBuddy(defaultAgenda_);

    auto* addFile = NewButton("Ajouter un &fichier…", "AddFile", this);
    auto* addFolder = NewButton("Ajouter un d&ossier…", "AddFolder", this);
    remove_ = NewButton("&Retirer", "Remove", this);
    auto* refresh = NewButton("A&ctualiser", "Refresh", this);
    auto* close = NewButton("Fermer", "Close", this);
    close->setDefault(false);
    close->setAutoDefault(false);

    auto* addressRow = new QHBoxLayout;
    addressRow->addWidget(address_, 1);
    addressRow->addWidget(addAddress);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {addFile, addFolder, remove_, refresh}) buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(list_, 1);
    layout->addWidget(addressLabel);
    layout->addLayout(addressRow);
    layout->addWidget(message_);
    auto* defaultRow = new QHBoxLayout;
    defaultRow->addWidget(defaultLabel);
    defaultRow->addWidget(defaultAgenda_, 1);
    layout->addLayout(defaultRow);
    layout->addLayout(buttons);

    connect(addFile, &QPushButton::clicked, this, &AgendasDialog::AddFile);
    connect(addFolder, &QPushButton::clicked, this, &AgendasDialog::AddFolder);
    connect(addAddress, &QPushButton::clicked, this, &AgendasDialog::AddAddress);
    connect(address_, &QLineEdit::returnPressed, this, &AgendasDialog::AddAddress);
    connect(remove_, &QPushButton::clicked, this, &AgendasDialog::RemoveCurrent);
    connect(refresh, &QPushButton::clicked, &fetches_, &SubscriptionFetches::RefreshNow);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { remove_->setEnabled(list_->currentItem()); });
    // A box ticked or cleared, by the mouse or the space bar. The list is written anew
    // once the signal is over, since the change rebuilds its rows.
    connect(list_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* row, int column) {
        if (showing_ || column != 0 || !row->flags().testFlag(Qt::ItemIsUserCheckable)) return;
        const QString source = row->text(0);
        const bool writable = row->checkState(0) == Qt::Checked;
        QMetaObject::invokeMethod(
            this, [this, source, writable] { SetWritable(source, writable); }, Qt::QueuedConnection);
    });
    connect(defaultAgenda_, &QComboBox::activated, this,
            [this](int index) { settings_.SetDefaultAgenda(Utf8Of(defaultAgenda_->itemData(index).toString())); });
    // Another gadget's change of the list, and each fetch that ends, show at once.
    connect(&settings_, &GadgetSettings::Changed, this, &AgendasDialog::ShowSources);
    connect(&fetches_, &SubscriptionFetches::Fetched, this, &AgendasDialog::ShowStates);
    ShowSources();
}

void AgendasDialog::ShowSources() {
    showing_ = true;
    const QString current = list_->currentItem() ? list_->currentItem()->text(0) : QString();
    list_->clear();
    for (const settings::AgendaEntry& entry : settings_.Agendas()) {
        const QString source = Utf8(entry.source);
        auto* row = new QTreeWidgetItem(list_, {source, QString()});
        row->setToolTip(0, source);
        const std::string refusal = agendas::WriteRefusal(agendas::SourceOf(entry.source));
        row->setData(0, kRefusalRole, Utf8(refusal));
        // A row of Qt's has a box that the user may tick by default.
        row->setFlags(row->flags().setFlag(Qt::ItemIsUserCheckable, refusal.empty()));
        if (refusal.empty()) row->setCheckState(0, entry.writable ? Qt::Checked : Qt::Unchecked);
        if (source == current) list_->setCurrentItem(row);
    }
    if (!list_->currentItem() && list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    remove_->setEnabled(list_->currentItem());
    ShowStates();
    showing_ = false;
    ShowDefaultChoice();
}

void AgendasDialog::ShowDefaultChoice() {
    const QSignalBlocker quiet(defaultAgenda_);
    defaultAgenda_->clear();
    for (const settings::AgendaEntry& entry : settings_.Agendas()) {
        const agendas::Source source = agendas::SourceOf(entry.source);
        if (!entry.writable || !agendas::WriteRefusal(source).empty()) continue;
        const QString shown = entry.name.empty() ? Utf8(entry.source) : Utf8(entry.name);
        defaultAgenda_->addItem(shown, Utf8(entry.source));
        if (source.location == settings_.Choices().defaultAgenda) {
            defaultAgenda_->setCurrentIndex(defaultAgenda_->count() - 1);
        }
    }
    defaultAgenda_->setEnabled(defaultAgenda_->count() > 0);
    if (defaultAgenda_->count() == 0) {
        defaultAgenda_->addItem(Utf8("aucun agenda modifiable : « Solvane » sera créé au premier évènement"));
    }
}

void AgendasDialog::SetWritable(const QString& source, bool writable) {
    std::vector<settings::AgendaEntry> agendas = settings_.Agendas();
    const std::string changed = Utf8Of(source);
    for (settings::AgendaEntry& agenda : agendas) {
        if (agenda.source != changed || agenda.writable == writable) continue;
        agenda.writable = writable;
        settings_.SetAgendas(agendas);
        return;
    }
}

// A file or a folder is read as the agendas read it, when the window shows them; a
// subscription's state is what its last fetch left in the cache.
void AgendasDialog::ShowStates() {
    for (int index = 0; index < list_->topLevelItemCount(); ++index) {
        QTreeWidgetItem* row = list_->topLevelItem(index);
        const QString source = row->text(0);
        QString state;
        if (subscriptions::IsSubscriptionAddress(Utf8Of(source))) {
            state = fetches_.StateOf(source);
        } else {
            const QFileInfo file(source.startsWith(QStringLiteral("~/")) ? QDir::homePath() + source.mid(1) : source);
            state = !file.exists()       ? Utf8("introuvable")
                    : !file.isReadable() ? Utf8("illisible")
                    : file.isDir()       ? Utf8("dossier")
                                         : Utf8("fichier");
        }
        row->setText(1, state);
        row->setToolTip(1, state);
        // A screen reader hears the source and its state together, and whether it may be written.
        const QString refusal = row->data(0, kRefusalRole).toString();
        const QString writing =
            refusal.isEmpty() ? Utf8(" ; case cochée : modifiable") : Utf8(" ; jamais modifié : ") + refusal;
        row->setData(0, Qt::AccessibleDescriptionRole, state + writing);
    }
}

bool AgendasDialog::AddSource(const QString& given) {
    const QString source = given.trimmed();
    const bool address = subscriptions::IsSubscriptionAddress(Utf8Of(source));
    if (source.isEmpty() || (!address && !QDir::isAbsolutePath(source) && !source.startsWith(QStringLiteral("~/")))) {
        message_->setText(Utf8("Une adresse commence par http://, https:// ou webcal://."));
        return false;
    }
    std::vector<settings::AgendaEntry> agendas = settings_.Agendas();
    if (SubscriptionFetches::SourcesOf(agendas).contains(source)) {
        message_->setText(Utf8("Cette source est déjà dans la liste."));
        return false;
    }
    message_->clear();
    agendas.push_back({.source = Utf8Of(source), .name = {}});
    settings_.SetAgendas(agendas);
    fetches_.SetSources(SubscriptionFetches::SourcesOf(agendas));
    ShowSources();
    list_->setCurrentItem(list_->topLevelItem(list_->topLevelItemCount() - 1));
    return true;
}

void AgendasDialog::RemoveCurrent() {
    const QTreeWidgetItem* row = list_->currentItem();
    if (!row) return;
    // The others keep the names the user gave them.
    std::vector<settings::AgendaEntry> agendas = settings_.Agendas();
    const std::string removed = Utf8Of(row->text(0));
    std::erase_if(agendas, [&](const settings::AgendaEntry& agenda) { return agenda.source == removed; });
    settings_.SetAgendas(agendas);
    fetches_.SetSources(SubscriptionFetches::SourcesOf(agendas));
    ShowSources();
}

void AgendasDialog::AddFile() {
    const QString file =
        QFileDialog::getOpenFileName(this, QStringLiteral("Ajouter un fichier d'agenda"), QDir::homePath(),
                                     QStringLiteral("Agendas et contacts (*.ics *.vcf);;Tous les fichiers (*)"));
    if (!file.isEmpty()) AddSource(file);
}

void AgendasDialog::AddFolder() {
    const QString folder =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Ajouter un dossier d'agenda"), QDir::homePath());
    if (!folder.isEmpty()) AddSource(folder);
}

void AgendasDialog::AddAddress() {
    if (AddSource(address_->text())) address_->clear();
}

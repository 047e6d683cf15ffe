#pragma once
// « Agendas… », the small window of the menu that lists the agendas' sources with
// the state of each (« à jour », « hors ligne depuis 14 h 05 », or the sentence of
// its error), adds a file, a folder or a web address, removes one, and fetches the
// subscriptions again (« Actualiser »). A folder or an .ics file that the gadget may
// write (agendas/writable_sources.h) has a box « modifiable »; among those ticked, one
// is chosen for new events. It writes the list into the settings file at each
// change; it never waits for the network.

#include <QDialog>

class GadgetSettings;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class SubscriptionFetches;

class AgendasDialog : public QDialog {
    Q_OBJECT
public:
    AgendasDialog(GadgetSettings& settings, SubscriptionFetches& fetches, QWidget* parent = nullptr);

    // Adds a source at the end of the list, unless it is there already; a text
    // that is neither a path (absolute, or from ~/) nor an http://, https:// or
    // webcal:// address is refused with a sentence under the field. Whether it was
    // added.
    bool AddSource(const QString& source);
    // Removes the source in the list's current row.
    void RemoveCurrent();
    // Writes each source's state again.
    void ShowStates();
    // Marks the source « modifiable », or no longer, as its box was ticked.
    void SetWritable(const QString& source, bool writable);

private:
    void AddFile();
    void AddFolder();
    void AddAddress();
    void ShowSources();
    // The writable agendas offered for new events, the one that holds selected.
    void ShowDefaultChoice();

    GadgetSettings& settings_;
    SubscriptionFetches& fetches_;
    QTreeWidget* list_;
    QLineEdit* address_;
    QLabel* message_;
    QPushButton* remove_;
    QComboBox* defaultAgenda_;
    bool showing_ = false;  // the list is being written: its boxes tell no choice
};

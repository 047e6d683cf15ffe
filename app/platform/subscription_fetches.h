#pragma once
// The window's subscriptions, fetched in the background by the same Qt-free code
// as the terminal's (subscriptions/keeper.h), on a thread of its own: at start,
// each when its 30 minutes are up, all at once by « Actualiser ». The window never
// waits for the network; it hears of each fetch on its own thread, through Fetched.

#include <QObject>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>

#include <vector>

#include "settings/settings_file.h"
#include "subscriptions/cache.h"
#include "subscriptions/fetch.h"

namespace subscriptions {
class Keeper;
}

class SubscriptionFetches : public QObject {
    Q_OBJECT
public:
    // The cache of the environment (XDG_CACHE_HOME, HOME); the limits of fetch.h.
    explicit SubscriptionFetches(QObject* parent = nullptr);
    SubscriptionFetches(const QString& cacheFolder, const subscriptions::FetchLimits& limits,
                        QObject* parent = nullptr);
    ~SubscriptionFetches() override;

    // The agendas' sources; the addresses among them are kept fetched, the others
    // left alone. No thread and no network library until there is an address.
    void SetSources(const QStringList& sources);
    // Fetches every subscription now, whatever its time.
    void RefreshNow();
    // The sources of the settings' agendas, in their order.
    static QStringList SourcesOf(const std::vector<settings::AgendaEntry>& agendas);

    // What the window shows of `address`: « à jour », « hors ligne depuis 14 h 05 »,
    // the sentence of its failure, « chargement… » while a first fetch is on its way.
    QString StateOf(const QString& address) const;
    // The cached copy of `address` that the agendas read.
    QString CopyOf(const QString& address) const;
    QString CacheFolder() const { return cacheFolder_; }

signals:
    // A fetch of `address` ended; `copyChanged` when it brought a new calendar.
    void Fetched(const QString& address, bool copyChanged);

private:
    QString cacheFolder_;
    subscriptions::FetchLimits limits_;
    QStringList addresses_;
    // The last outcome of each fetch made here, for a cache that could not be written.
    std::map<QString, subscriptions::Record> lastFetched_;
    std::unique_ptr<subscriptions::Keeper> keeper_;
};

#include "app/platform/subscription_fetches.h"

#include <QFile>
#include <QMetaObject>
#include <string>
#include <vector>

#include "app/text/qt_text.h"
#include "subscriptions/address.h"
#include "subscriptions/cache.h"
#include "subscriptions/keeper.h"
#include "subscriptions/refresh.h"
#include "subscriptions/state_sentence.h"

SubscriptionFetches::SubscriptionFetches(QObject* parent)
    : SubscriptionFetches(FromNative(subscriptions::CacheFolder()), {}, parent) {}

SubscriptionFetches::SubscriptionFetches(const QString& cacheFolder, const subscriptions::FetchLimits& limits,
                                         QObject* parent)
    : QObject(parent), cacheFolder_(cacheFolder), limits_(limits) {}

// The keeper ends a fetch under way and its thread before the object goes; a
// Fetched already posted is dropped with it.
SubscriptionFetches::~SubscriptionFetches() = default;

void SubscriptionFetches::SetSources(const QStringList& sources) {
    QStringList addresses;
    for (const QString& source : sources) {
        if (subscriptions::IsSubscriptionAddress(Utf8Of(source)) && !addresses.contains(source)) {
            addresses << source;
        }
    }
    if (addresses == addresses_ && (keeper_ || addresses.isEmpty())) return;
    addresses_ = addresses;
    if (!keeper_) {
        if (addresses.isEmpty()) return;
        keeper_ = std::make_unique<subscriptions::Keeper>(
            Native(cacheFolder_),
            [this](const std::string& address, const subscriptions::Refreshed& refreshed) {
                const QString which = Utf8(address);
                QMetaObject::invokeMethod(
                    this,
                    [this, which, refreshed] {
                        lastFetched_[which] = refreshed.record;
                        emit Fetched(which, refreshed.copyChanged);
                    },
                    Qt::QueuedConnection);
            },
            limits_);
    }
    std::vector<std::string> kept;
    for (const QString& address : addresses) kept.push_back(Utf8Of(address));
    keeper_->SetAddresses(std::move(kept));
}

QStringList SubscriptionFetches::SourcesOf(const std::vector<settings::AgendaEntry>& agendas) {
    QStringList sources;
    for (const settings::AgendaEntry& agenda : agendas) sources << Utf8(agenda.source);
    return sources;
}

void SubscriptionFetches::RefreshNow() {
    if (keeper_) keeper_->RefreshNow();
}

QString SubscriptionFetches::StateOf(const QString& address) const {
    subscriptions::Record record = subscriptions::ReadRecord(Native(cacheFolder_), Utf8Of(address));
    if (const auto known = lastFetched_.find(address);
        known != lastFetched_.end() && known->second.attempted > record.attempted) {
        record = known->second;
    }
    if (record.outcome == subscriptions::Record::Outcome::Never && addresses_.contains(address)) {
        return QStringLiteral("chargement…");
    }
    return Utf8(subscriptions::StateSentence(record, subscriptions::Now()));
}

QString SubscriptionFetches::CopyOf(const QString& address) const {
    return FromNative(subscriptions::CopyPath(Native(cacheFolder_), Utf8Of(address)));
}

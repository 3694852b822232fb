#include "status_item/sni/StatusNotifierWatcherTracker.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
constexpr int answerLimitMs = 1000;  // a host answers in milliseconds; this only bounds a hang

QDBusMessage hostRegisteredQuestion() {
    QDBusMessage question = QDBusMessage::createMethodCall(
        watcherService, watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    question << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    return question;
}

}  // namespace

bool statusNotifierHostPresent(QDBusConnection bus) {
    const QDBusMessage answer = bus.call(hostRegisteredQuestion(), QDBus::Block, answerLimitMs);
    if (answer.type() != QDBusMessage::ReplyMessage || answer.arguments().isEmpty()) {
        return false;
    }
    return answer.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

StatusNotifierWatcherTracker::StatusNotifierWatcherTracker(QDBusConnection bus,
                                                           std::chrono::milliseconds grace,
                                                           QObject* parent)
    : QObject(parent), bus_(std::move(bus)), present_(statusNotifierHostPresent(bus_)) {
    grace_.setSingleShot(true);
    grace_.setInterval(grace);
    connect(&grace_, &QTimer::timeout, this, [this] { setPresent(false); });
    auto* watch = new QDBusServiceWatcher(watcherService, bus_,
                                          QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watch, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                if (newOwner.isEmpty()) {
                    watcherLeft();
                } else {
                    refresh();
                }
            });
    for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"}) {
        bus_.connect(watcherService, watcherPath, watcherService, QString::fromLatin1(signal), this,
                     SLOT(refresh()));
    }
}

void StatusNotifierWatcherTracker::refresh() {
    const quint64 question = ++asked_;
    auto* watch = new QDBusPendingCallWatcher(bus_.asyncCall(hostRegisteredQuestion()), this);
    connect(watch, &QDBusPendingCallWatcher::finished, this, [this, watch, question] {
        watch->deleteLater();
        if (question != asked_) {
            return;
        }
        const QDBusPendingReply<QDBusVariant> reply(*watch);
        const bool present = !reply.isError() && reply.value().variant().toBool();
        // A watcher back without its host yet: the host may still register in the grace time.
        if (present || !grace_.isActive()) {
            grace_.stop();
            setPresent(present);
        }
    });
}

void StatusNotifierWatcherTracker::watcherLeft() {
    ++asked_;
    if (present_ && grace_.interval() > 0) {
        grace_.start();
    } else {
        setPresent(false);
    }
}

void StatusNotifierWatcherTracker::setPresent(bool present) {
    if (present != present_) {
        present_ = present;
        emit hostPresentChanged(present);
    }
}

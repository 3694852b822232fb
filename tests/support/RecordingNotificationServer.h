#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <vector>

// What a notification server received in one Notify call.
struct ReceivedNotification {
    QString signature;
    QString appName;
    uint replacesId = 0;
    QString appIcon;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
    int expireTimeout = 0;
};

// A stand-in desktop notification server: owns org.freedesktop.Notifications on the bus it is
// given and records every notification, answering with a fresh id, or refusing each one with
// an error when told to.
class RecordingNotificationServer : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    explicit RecordingNotificationServer(QDBusConnection bus, bool refuses = false);
    ~RecordingNotificationServer() override;

    // False when the name or the object could not be registered.
    bool isServing() const { return serving_; }
    const std::vector<ReceivedNotification>& received() const { return received_; }

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout);

private:
    QDBusConnection bus_;
    bool refuses_;
    bool serving_ = false;
    uint lastId_ = 0;
    std::vector<ReceivedNotification> received_;
};

#pragma once

#include <QObject>
#include <QString>

// Application-wide notifications by plain name, delivered on the main thread.
class NotificationCenter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void post(const QString& name) { emit notified(name); }

signals:
    void notified(const QString& name);
};

namespace notification {
inline const QString statsDidUpdate = QStringLiteral("statsDidUpdate");
inline const QString historyDidReset = QStringLiteral("historyDidReset");
inline const QString settingsDidChange = QStringLiteral("settingsDidChange");
inline const QString closeOverlay = QStringLiteral("closeOverlay");
inline const QString openOverlay = QStringLiteral("openOverlay");
inline const QString openSettings = QStringLiteral("openSettings");
inline const QString openHelp = QStringLiteral("openHelp");
}  // namespace notification

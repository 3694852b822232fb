#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

// One program per user session: the first claims a name on the session bus; a later one
// asks it to open its compact panel instead of starting.
class SingleInstance final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.vantrel.Vantrel")
public:
    enum class Claim { first, alreadyRunning, noBus };

    explicit SingleInstance(QDBusConnection bus, QObject* parent = nullptr);
    // Takes the name; when another program holds it, asks that one to open its panel.
    Claim claim();
    QString failure() const { return failure_; }

    static QString serviceName();

public slots:
    // Called over the bus by a second launch.
    Q_SCRIPTABLE void OpenCompactPanel();

signals:
    void openCompactPanelRequested();

private:
    QDBusConnection bus_;
    QString failure_;
};

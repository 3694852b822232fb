#pragma once

#include "shortcuts/HotKeyBackend.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QHash>
#include <QVariantMap>

// Global shortcuts in a Wayland session, through the desktop portal's GlobalShortcuts
// interface where the session offers it: one portal session holds every shortcut, bound with
// its combination as the preferred trigger; the desktop may ask the user and answers later.
// Any change binds the whole set again in a new session. Until the portal has answered that
// it offers the interface, nothing is available.
class PortalHotKeys final : public HotKeyBackend, protected QDBusContext {
    Q_OBJECT
public:
    explicit PortalHotKeys(QDBusConnection bus, QObject* parent = nullptr);
    ~PortalHotKeys() override;

    bool available() const override { return offered_; }
    QString unavailableReason() const override;
    HotKeyResult add(int id, const QString& name, const Shortcut& shortcut) override;
    void remove(int id) override;

    // Whether the portal has answered the question whether it offers global shortcuts.
    bool asked() const { return asked_; }

signals:
    void askedChanged();

private slots:
    void onActivated(const QDBusObjectPath& session, const QString& shortcutId, qulonglong time,
                     const QVariantMap& options);
    void onDeactivated(const QDBusObjectPath& session, const QString& shortcutId, qulonglong time,
                       const QVariantMap& options);
    void onSessionCreated(uint response, const QVariantMap& results);
    void onBound(uint response, const QVariantMap& results);

private:
    struct Bound {
        QString name;
        Shortcut shortcut;
    };

    void rebindSoon();
    void rebind();
    void closeSession();
    // The path of the Request object a call with `token` answers on.
    QString requestPath(const QString& token) const;
    void settleAll(HotKeyResult result);
    int idOf(const QString& name) const;

    QDBusConnection bus_;
    bool asked_ = false;
    bool offered_ = false;
    bool rebindScheduled_ = false;
    int token_ = 0;
    QString awaitedRequest_;  // only the latest call's answer counts
    QString session_;
    QHash<int, Bound> shortcuts_;
};

#include "shortcuts/PortalHotKeys.h"

#include "shortcuts/ShortcutText.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");

// One entry of the portal's a(sa{sv}) lists.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

// The trigger as the desktops' shortcut settings write it: "LOGO+SHIFT+p".
QString trigger(const Shortcut& shortcut) {
    QStringList parts;
    const std::pair<int, const char*> names[] = {{shortcut_modifier::control, "CTRL"},
                                                 {shortcut_modifier::alt, "ALT"},
                                                 {shortcut_modifier::shift, "SHIFT"},
                                                 {shortcut_modifier::super, "LOGO"}};
    for (const auto& [bit, name] : names) {
        if (shortcut.carbonModifiers & bit) {
            parts.append(QLatin1String(name));
        }
    }
    parts.append(keysymName(shortcut.carbonKeyCode));
    return parts.join(QLatin1Char('+'));
}

}  // namespace

Q_DECLARE_METATYPE(PortalShortcut)

PortalHotKeys::PortalHotKeys(QDBusConnection bus, QObject* parent)
    : HotKeyBackend(parent), bus_(std::move(bus)) {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    bus_.connect(portalService, portalPath, shortcutsInterface, QStringLiteral("Activated"), this,
                 SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    bus_.connect(portalService, portalPath, shortcutsInterface, QStringLiteral("Deactivated"), this,
                 SLOT(onDeactivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    // Whether the portal is there and offers the interface: its version property answers.
    QDBusMessage question = QDBusMessage::createMethodCall(
        portalService, portalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    question << shortcutsInterface << QStringLiteral("version");
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(question), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        asked_ = true;
        offered_ = !w->isError();
        emit askedChanged();
        if (offered_) {
            emit renewalNeeded();
        } else {
            std::fprintf(stderr,
                         "[KeyboardShortcuts] Global shortcuts are not available in this session: "
                         "%s\n",
                         qPrintable(unavailableReason()));
        }
    });
}

PortalHotKeys::~PortalHotKeys() {
    closeSession();
}

QString PortalHotKeys::unavailableReason() const {
    return asked_ ? QStringLiteral("the desktop portal offers no global shortcuts")
                  : QStringLiteral("waiting for the desktop portal");
}

HotKeyResult PortalHotKeys::add(int id, const QString& name, const Shortcut& shortcut) {
    if (!offered_) {
        return {};
    }
    shortcuts_.insert(id, Bound{name, shortcut});
    rebindSoon();
    return {HotKeyOutcome::pending, 0};
}

void PortalHotKeys::remove(int id) {
    if (shortcuts_.remove(id) > 0) {
        rebindSoon();
    }
}

void PortalHotKeys::rebindSoon() {
    if (!rebindScheduled_) {
        rebindScheduled_ = true;
        QTimer::singleShot(0, this, [this] {
            rebindScheduled_ = false;
            rebind();
        });
    }
}

QString PortalHotKeys::requestPath(const QString& token) const {
    QString sender = bus_.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

void PortalHotKeys::closeSession() {
    if (!session_.isEmpty()) {
        bus_.asyncCall(QDBusMessage::createMethodCall(
            portalService, session_, QStringLiteral("org.freedesktop.portal.Session"),
            QStringLiteral("Close")));
        session_.clear();
    }
}

void PortalHotKeys::rebind() {
    closeSession();
    awaitedRequest_.clear();
    if (shortcuts_.isEmpty()) {
        return;
    }
    const QString token = QStringLiteral("vantrel%1").arg(++token_);
    awaitedRequest_ = requestPath(token);
    // Listen before asking, so the answer cannot come first.
    bus_.connect(portalService, requestPath(token), requestInterface, QStringLiteral("Response"),
                 this, SLOT(onSessionCreated(uint, QVariantMap)));
    QDBusMessage create = QDBusMessage::createMethodCall(
        portalService, portalPath, shortcutsInterface, QStringLiteral("CreateSession"));
    create << QVariantMap{{QStringLiteral("handle_token"), token},
                          {QStringLiteral("session_handle_token"), token}};
    bus_.asyncCall(create);
}

void PortalHotKeys::onSessionCreated(uint response, const QVariantMap& results) {
    if (message().path() != awaitedRequest_) {
        return;
    }
    const QString path = results.value(QStringLiteral("session_handle")).toString();
    if (response != 0 || path.isEmpty()) {
        settleAll({HotKeyOutcome::failed, static_cast<int>(response)});
        return;
    }
    session_ = path;
    QList<PortalShortcut> list;
    for (const Bound& bound : std::as_const(shortcuts_)) {
        list.append({bound.name,
                     {{QStringLiteral("description"), bound.name},
                      {QStringLiteral("preferred_trigger"), trigger(bound.shortcut)}}});
    }
    const QString token = QStringLiteral("vantrel%1").arg(++token_);
    awaitedRequest_ = requestPath(token);
    bus_.connect(portalService, requestPath(token), requestInterface, QStringLiteral("Response"),
                 this, SLOT(onBound(uint, QVariantMap)));
    QDBusMessage bind = QDBusMessage::createMethodCall(
        portalService, portalPath, shortcutsInterface, QStringLiteral("BindShortcuts"));
    bind << QVariant::fromValue(QDBusObjectPath(session_)) << QVariant::fromValue(list) << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token}};
    bus_.asyncCall(bind);
}

void PortalHotKeys::onBound(uint response, const QVariantMap& results) {
    if (message().path() != awaitedRequest_) {
        return;
    }
    if (response != 0) {
        settleAll({HotKeyOutcome::failed, static_cast<int>(response)});
        return;
    }
    QList<PortalShortcut> bound;
    results.value(QStringLiteral("shortcuts")).value<QDBusArgument>() >> bound;
    for (auto each = shortcuts_.cbegin(); each != shortcuts_.cend(); ++each) {
        const bool accepted = std::any_of(bound.cbegin(), bound.cend(), [&](const auto& entry) {
            return entry.id == each->name;
        });
        emit settled(each.key(), accepted ? HotKeyResult{HotKeyOutcome::registered, 0}
                                          : HotKeyResult{HotKeyOutcome::failed, 0});
    }
}

void PortalHotKeys::settleAll(HotKeyResult result) {
    for (auto each = shortcuts_.cbegin(); each != shortcuts_.cend(); ++each) {
        emit settled(each.key(), result);
    }
}

int PortalHotKeys::idOf(const QString& name) const {
    for (auto each = shortcuts_.cbegin(); each != shortcuts_.cend(); ++each) {
        if (each->name == name) {
            return each.key();
        }
    }
    return 0;
}

void PortalHotKeys::onActivated(const QDBusObjectPath& session, const QString& shortcutId,
                                qulonglong, const QVariantMap&) {
    if (session.path() == session_ && idOf(shortcutId) != 0) {
        emit pressed(idOf(shortcutId));
    }
}

void PortalHotKeys::onDeactivated(const QDBusObjectPath& session, const QString& shortcutId,
                                  qulonglong, const QVariantMap&) {
    if (session.path() == session_ && idOf(shortcutId) != 0) {
        emit released(idOf(shortcutId));
    }
}

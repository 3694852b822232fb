#pragma once

#include "core/Clock.h"
#include "status_item/MenuFactory.h"
#include "status_item/StatusFace.h"
#include "status_item/TrayHostKind.h"
#include "status_item/sni/IconFiles.h"
#include "status_item/sni/StatusNotifierItemAdaptor.h"

#include <QDBusConnection>

#include <chrono>
#include <memory>

class DBusMenuExporter;
class QDBusServiceWatcher;

struct StatusNotifierItemOptions {
    QString runtimeDirectory = qEnvironmentVariable("XDG_RUNTIME_DIR");  // for the icon files
    QString procRoot = QStringLiteral("/proc");  // to tell which program hosts the tray
    TrayShapeChoice shapeChoice = TrayShapeChoice::Automatic;
    // Times the wait for the host to read the item after it registers; a system clock of the
    // item's own when null.
    Clock* clock = nullptr;
    std::chrono::milliseconds unseenAfter = std::chrono::seconds(5);
};

// The status item as a StatusNotifierItem of its own: registered with the tray host's
// watcher (once with each owner of the watcher's name), showing the picture in the form its
// host draws (a pixmap, and a PNG file named in IconName where the host needs one), the label
// for hosts that show text, and the menu over com.canonical.dbusmenu. One item per bus
// connection. A host that has not read the item a few seconds after it registered is asked
// again, until it does.
class StatusNotifierItem : public StatusFace {
    Q_OBJECT
public:
    StatusNotifierItem(QDBusConnection bus, MenuFactory menuFactory,
                       StatusNotifierItemOptions options = {}, QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    void show(const StatusPicture& picture) override;
    std::optional<QPoint> anchor() const override { return anchor_; }

    void setShapeChoice(TrayShapeChoice choice) override;
    double wideImageHeight() const override;
    TrayImageShape shape() const { return shape_; }
    const TrayHostTraits& hostTraits() const { return hostTraits_; }
    QString serviceName() const { return serviceName_; }
    // Whether the host has read the item since it last registered (true until a wait ends
    // without a read).
    bool seen() const { return seen_; }

private:
    friend class StatusNotifierItemAdaptor;

    void watcherOwnedBy(const QString& owner);
    void findHostThenRegister();
    void registerWithWatcher();
    void applyShape();
    void refreshIcon();
    void refreshLabel();
    QPoint clickPoint(int x, int y);
    void hostActivated(int x, int y);
    void hostSecondaryActivated(int x, int y);
    void hostRequestedMenu(int x, int y);
    void hostReadProperties();
    void checkSeen(quint64 registration);

    QDBusConnection bus_;
    StatusNotifierItemOptions options_;
    QString serviceName_;
    IconFiles iconFiles_;
    QString iconFileProblem_;
    SniProperties properties_;
    StatusNotifierItemAdaptor* adaptor_;
    DBusMenuExporter* menu_;
    QDBusServiceWatcher* watcherWatch_;
    bool exported_ = false;
    bool ownsName_ = false;
    TrayHostTraits hostTraits_;
    QString registeredOwner_;  // the watcher's owner this item registered with last
    TrayImageShape shape_ = TrayImageShape::Wide;
    StatusPicture picture_;
    QImage sentImage_;
    std::optional<QPoint> anchor_;
    std::unique_ptr<Clock> ownClock_;
    Clock* clock_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // for the clock's callbacks
    quint64 registration_ = 0;
    bool readSinceRegistration_ = false;
    bool seen_ = true;
};

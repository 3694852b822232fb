#include "status_item/sni/StatusNotifierItem.h"

#include "status_item/VirtualDesktop.h"
#include "status_item/sni/DBusMenuExporter.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

#include <unistd.h>

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString itemPath = QStringLiteral("/StatusNotifierItem");
const QString menuPath = QStringLiteral("/MenuBar");

int nextItemNumber() {
    static int count = 0;
    return ++count;
}

template <typename Reply, typename Handler>
void whenAnswered(const QDBusPendingCall& call, QObject* receiver, Handler handler) {
    auto* watch = new QDBusPendingCallWatcher(call, receiver);
    QObject::connect(watch, &QDBusPendingCallWatcher::finished, receiver,
                     [watch, handler](QDBusPendingCallWatcher*) {
                         watch->deleteLater();
                         handler(Reply(*watch));
                     });
}

}  // namespace

StatusNotifierItem::StatusNotifierItem(QDBusConnection bus, MenuFactory menuFactory,
                                       StatusNotifierItemOptions options, QObject* parent)
    : StatusFace(parent),
      bus_(std::move(bus)),
      options_(std::move(options)),
      serviceName_(
          QStringLiteral("org.kde.StatusNotifierItem-%1-%2").arg(::getpid()).arg(nextItemNumber())),
      iconFiles_(options_.runtimeDirectory, serviceName_.section(QLatin1Char('.'), -1).toLower()),
      adaptor_(new StatusNotifierItemAdaptor(this, properties_)),
      menu_(new DBusMenuExporter(bus_, menuPath, std::move(menuFactory), this)),
      watcherWatch_(new QDBusServiceWatcher(watcherService, bus_,
                                            QDBusServiceWatcher::WatchForOwnerChange, this)) {
    registerStatusDBusTypes();
    properties_.menu = QDBusObjectPath(menuPath);
    properties_.toolTip.title = QStringLiteral("Vantrel");
    shape_ = chooseImageShape(options_.shapeChoice, hostShape_);

    exported_ = bus_.registerObject(itemPath, this, QDBusConnection::ExportAdaptors);
    ownsName_ = exported_ && bus_.registerService(serviceName_);
    if (!ownsName_) {
        qWarning("status item: cannot appear on the session bus as %s: %s",
                 qPrintable(serviceName_), qPrintable(bus_.lastError().message()));
        return;
    }
    // A tray host that restarts brings a new watcher, which knows nothing of this item.
    connect(watcherWatch_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                if (!newOwner.isEmpty()) {
                    findHostThenRegister();
                }
            });
    findHostThenRegister();
}

StatusNotifierItem::~StatusNotifierItem() {
    if (ownsName_) {
        bus_.unregisterService(serviceName_);
    }
    if (exported_) {
        bus_.unregisterObject(itemPath);
    }
}

// Learns which program runs the tray, so that the right image is in place before the host
// first reads it, then registers.
void StatusNotifierItem::findHostThenRegister() {
    QDBusMessage question = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetConnectionUnixProcessID"));
    question << watcherService;
    whenAnswered<QDBusPendingReply<uint>>(
        bus_.asyncCall(question), this, [this](const QDBusPendingReply<uint>& reply) {
            if (reply.isError()) {
                return;  // no tray host yet: the owner change brings us back
            }
            hostShape_ = hostImageShape(readTrayHostProcess(reply.value(), options_.procRoot));
            applyShape();
            registerWithWatcher();
        });
}

void StatusNotifierItem::registerWithWatcher() {
    QDBusMessage registration = QDBusMessage::createMethodCall(
        watcherService, watcherPath, watcherService, QStringLiteral("RegisterStatusNotifierItem"));
    registration << serviceName_;
    whenAnswered<QDBusPendingReply<>>(
        bus_.asyncCall(registration), this, [this](const QDBusPendingReply<>& reply) {
            if (reply.isError()) {
                qWarning("status item: the tray host refused the item: %s",
                         qPrintable(reply.error().message()));
                emit refused();
            }
        });
}

void StatusNotifierItem::setShapeChoice(TrayShapeChoice choice) {
    options_.shapeChoice = choice;
    applyShape();
}

void StatusNotifierItem::applyShape() {
    const TrayImageShape shape = chooseImageShape(options_.shapeChoice, hostShape_);
    if (shape != shape_) {
        shape_ = shape;
        refreshIcon();
    }
}

void StatusNotifierItem::show(const StatusPicture& picture) {
    picture_ = picture;
    refreshIcon();
    if (properties_.toolTip.description != picture.toolTip) {
        properties_.toolTip.description = picture.toolTip;
        emit adaptor_->NewToolTip();
    }
    if (properties_.label != picture.label || properties_.labelGuide != picture.labelGuide) {
        properties_.label = picture.label;
        properties_.labelGuide = picture.labelGuide;
        emit adaptor_->XAyatanaNewLabel(picture.label, picture.labelGuide);
    }
}

void StatusNotifierItem::refreshIcon() {
    const QImage& image = shape_ == TrayImageShape::Square ? picture_.glance : picture_.wide;
    if (image == sentImage_) {
        return;
    }
    sentImage_ = image;
    if (image.isNull()) {
        properties_.iconPixmap.clear();
        properties_.iconName.clear();
    } else {
        // Both encodings start from straight alpha; undoing the premultiplication once is
        // the dearest step of the two.
        const QImage straight = image.convertToFormat(QImage::Format_ARGB32);
        properties_.iconPixmap.resize(1);
        toSniIconPixmap(straight, properties_.iconPixmap.first());
        const IconFiles::Written written = iconFiles_.write(straight);
        properties_.iconName = written.path;
        if (written.problem != iconFileProblem_ && !written.problem.isEmpty()) {
            qWarning("status item: showing the image without a file: %s",
                     qPrintable(written.problem));
        }
        iconFileProblem_ = written.problem;
    }
    emit adaptor_->NewIcon();
}

// A host's point is not taken blindly: some send (0, 0), a point relative to the item, or
// one far from it; the pointer, the screens' panels and their corners then tell instead.
QPoint StatusNotifierItem::clickPoint(int x, int y) {
    ItemPlaceFacts facts;
    facts.hostPoint = QPoint(x, y);
    facts.screens = screenPlaces();
    facts.pointer = pointerWhereKnown();
    const QPoint point = itemAnchor(facts);
    anchor_ = point;
    return point;
}

void StatusNotifierItem::hostActivated(int x, int y) {
    emit activated(clickPoint(x, y));
}

void StatusNotifierItem::hostSecondaryActivated(int x, int y) {
    emit secondaryActivated(clickPoint(x, y));
}

void StatusNotifierItem::hostRequestedMenu(int x, int y) {
    emit menuRequested(clickPoint(x, y));
}

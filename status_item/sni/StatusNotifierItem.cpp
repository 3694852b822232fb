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
                                            QDBusServiceWatcher::WatchForOwnerChange, this)),
      ownClock_(options_.clock ? nullptr : std::make_unique<SystemClock>()),
      clock_(options_.clock ? options_.clock : ownClock_.get()) {
    registerStatusDBusTypes();
    properties_.menu = QDBusObjectPath(menuPath);
    properties_.toolTip.title = QStringLiteral("Vantrel");
    shape_ = chooseImageShape(options_.shapeChoice, hostTraits_.shape);

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
                watcherOwnedBy(newOwner);
            });
    QDBusMessage question = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"));
    question << watcherService;
    whenAnswered<QDBusPendingReply<QString>>(bus_.asyncCall(question), this,
                                             [this](const QDBusPendingReply<QString>& reply) {
                                                 if (!reply.isError()) {
                                                     watcherOwnedBy(reply.value());
                                                 }
                                             });
}

StatusNotifierItem::~StatusNotifierItem() {
    if (ownsName_) {
        bus_.unregisterService(serviceName_);
    }
    if (exported_) {
        bus_.unregisterObject(itemPath);
    }
}

// The answer to the first question and the owner change of a watcher that has just started
// may both name the same owner: it hears of this item once.
void StatusNotifierItem::watcherOwnedBy(const QString& owner) {
    if (owner.isEmpty() || owner == registeredOwner_) {
        return;
    }
    registeredOwner_ = owner;
    findHostThenRegister();
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
            const TrayHostTraits traits =
                trayHostTraits(readTrayHostProcess(reply.value(), options_.procRoot));
            const double heightBefore = wideImageHeight();
            const bool formChanged = traits.form != hostTraits_.form;
            hostTraits_ = traits;
            menu_->setShortcutsShown(traits.menuShortcuts);
            if (formChanged) {
                sentImage_ = {};  // sent again in the new form
            }
            applyShape();
            if (formChanged) {
                refreshIcon();
            }
            refreshLabel();
            if (wideImageHeight() != heightBefore) {
                emit wideImageHeightChanged();
            }
            registerWithWatcher();
        });
}

// GNOME Shell is given the object path: under a bus name it starts a name watcher whose first
// report, when it comes after the item's properties, wipes them and drops the item.
void StatusNotifierItem::registerWithWatcher() {
    QDBusMessage registration = QDBusMessage::createMethodCall(
        watcherService, watcherPath, watcherService, QStringLiteral("RegisterStatusNotifierItem"));
    registration << (hostTraits_.registerByPath ? itemPath : serviceName_);
    readSinceRegistration_ = false;  // a host may read the item before it answers
    const quint64 registrationNumber = ++registration_;
    whenAnswered<QDBusPendingReply<>>(
        bus_.asyncCall(registration), this,
        [this, registrationNumber](const QDBusPendingReply<>& reply) {
            if (reply.isError()) {
                qWarning("status item: the tray host refused the item: %s",
                         qPrintable(reply.error().message()));
                emit refused();
                return;
            }
            clock_->callAfter(options_.unseenAfter,
                              [this, alive = std::weak_ptr<bool>(alive_), registrationNumber] {
                                  if (!alive.expired()) {
                                      checkSeen(registrationNumber);
                                  }
                              });
        });
}

void StatusNotifierItem::hostReadProperties() {
    readSinceRegistration_ = true;
    if (!seen_) {
        seen_ = true;
        emit seenChanged(true);
    }
}

// A host that took the registration but never read the item shows nothing (GNOME Shell's
// extension drops some items while it sets them up); registering again makes it try anew.
void StatusNotifierItem::checkSeen(quint64 registration) {
    if (registration != registration_ || readSinceRegistration_) {
        return;
    }
    if (seen_) {
        seen_ = false;
        qWarning("status item: the tray host has not read the item; registering again");
        emit seenChanged(false);
    }
    registerWithWatcher();
}

void StatusNotifierItem::setShapeChoice(TrayShapeChoice choice) {
    const double heightBefore = wideImageHeight();
    options_.shapeChoice = choice;
    applyShape();
    if (wideImageHeight() != heightBefore) {
        emit wideImageHeightChanged();
    }
}

double StatusNotifierItem::wideImageHeight() const {
    return shape_ == TrayImageShape::Wide ? hostTraits_.iconHeight : 0;
}

void StatusNotifierItem::applyShape() {
    const TrayImageShape shape = chooseImageShape(options_.shapeChoice, hostTraits_.shape);
    if (shape != shape_) {
        shape_ = shape;
        refreshIcon();
    }
}

void StatusNotifierItem::show(const StatusPicture& picture) {
    picture_ = picture;
    refreshIcon();
    // The title names the item; the description holds the figures only. A picture without a
    // tooltip (a panel is open) takes the title away too, so the host shows none.
    const QString title = picture.toolTip.isEmpty() && picture.toolTipFigures.isEmpty()
                              ? QString()
                              : QStringLiteral("Vantrel");
    if (properties_.toolTip.description != picture.toolTipFigures ||
        properties_.toolTip.title != title) {
        properties_.toolTip.description = picture.toolTipFigures;
        properties_.toolTip.title = title;
        emit adaptor_->NewToolTip();
    }
    refreshLabel();
}

void StatusNotifierItem::refreshLabel() {
    const QString label = hostTraits_.label ? picture_.label : QString();
    const QString guide = hostTraits_.label ? picture_.labelGuide : QString();
    if (properties_.label != label || properties_.labelGuide != guide) {
        properties_.label = label;
        properties_.labelGuide = guide;
        emit adaptor_->XAyatanaNewLabel(label, guide);
    }
}

void StatusNotifierItem::refreshIcon() {
    const QImage& wide = picture_.trayWide.isNull() ? picture_.wide : picture_.trayWide;
    const QImage& image = shape_ == TrayImageShape::Square ? picture_.glance : wide;
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
        properties_.iconName.clear();
        if (hostTraits_.form == TrayPictureForm::PixmapAndFile) {
            const IconFiles::Written written = iconFiles_.write(straight);
            properties_.iconName = written.path;
            if (written.problem != iconFileProblem_ && !written.problem.isEmpty()) {
                qWarning("status item: showing the image without a file: %s",
                         qPrintable(written.problem));
            }
            iconFileProblem_ = written.problem;
        }
    }
    emit adaptor_->NewIcon();
}

// A host's point is not taken blindly: some send (0, 0), a point relative to the item, or
// one far from it; the pointer, the screens' panels and their corners then tell instead.
QPoint StatusNotifierItem::clickPoint(int x, int y) {
    const QPoint point = itemAnchor(itemPlaceFacts(QPoint(x, y), ItemPlaceFacts{}.itemHeight));
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

#include "app/shell/ShellFaces.h"

#include "app/shell/ScreenMetrics.h"
#include "core/AppSettings.h"
#include "core/SystemMonitor.h"
#include "status_item/StripFace.h"
#include "status_item/TrayIconFace.h"
#include "status_item/X11Watcher.h"
#include "status_item/picture/StatusGlance.h"
#include "status_item/sni/StatusNotifierItem.h"
#include "views/kit/ViewPalette.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QPalette>

namespace {

TrayShapeChoice trayShapeChoice(StatusItemShape shape) {
    switch (shape) {
        case StatusItemShape::wide:
            return TrayShapeChoice::Wide;
        case StatusItemShape::square:
            return TrayShapeChoice::Square;
        case StatusItemShape::automatic:
            break;
    }
    return TrayShapeChoice::Automatic;
}

}  // namespace

ShellFaces::ShellFaces(AppSettings& settings, const SystemMonitor& monitor, X11Watcher* x11,
                       Makers makers, MenuFactory menu, QObject* parent)
    : QObject(parent),
      settings_(settings),
      monitor_(monitor),
      x11_(x11),
      makers_(std::move(makers)),
      menu_(std::move(menu)),
      renderer_(StatusFonts::forDesktop(screenLogicalDpi())) {
    if (!makers_.strip) {
        makers_.strip = [this](const MenuFactory&) {
            return std::make_unique<StripFace>(settings_);
        };
    }
    if (!makers_.xembedIcon) {
        makers_.xembedIcon = [](const MenuFactory&) { return std::make_unique<TrayIconFace>(); };
    }
    if (!makers_.statusNotifierItem) {
        // The item of our own, not the toolkit's tray icon: that one pads every image to a
        // square, so a wide status item would not survive it.
        makers_.statusNotifierItem = [this](MenuFactory menu) {
            StatusNotifierItemOptions sni;
            sni.shapeChoice = trayShapeChoice(settings_.statusItemShape());
            return std::make_unique<StatusNotifierItem>(QDBusConnection::sessionBus(),
                                                        std::move(menu), sni);
        };
    }
}

ShellFaces::~ShellFaces() = default;

void ShellFaces::start() {
    started_ = true;
    reconcile();
}

void ShellFaces::setStatusNotifierHostPresent(bool present) {
    if (present == statusNotifierHost_) {
        return;
    }
    statusNotifierHost_ = present;
    statusNotifierItemRefused_ = false;  // a host that comes again is asked again
    statusNotifierItemUnseen_ = false;
    if (started_) {
        reconcile();
    }
}

std::vector<StatusFace*> ShellFaces::faces() const {
    std::vector<StatusFace*> shown;
    for (const auto* face : {&statusNotifierItem_, &xembedIcon_, &strip_}) {
        if (*face) {
            shown.push_back(face->get());
        }
    }
    return shown;
}

void ShellFaces::reconcile() {
    const FacePlan plan =
        planFaces(settings_.statusItemMode(), statusNotifierHost_ && !statusNotifierItemRefused_,
                  x11_ && x11_->xembedTrayPresent(), statusNotifierItemUnseen_);
    const auto apply = [this](bool wanted, std::unique_ptr<StatusFace>& face,
                              const FaceMaker& make) {
        if (wanted && !face) {
            face = make(menu_);
            connectFace(face.get());
        } else if (!wanted && face) {
            if (&face == &statusNotifierItem_) {
                statusNotifierItemUnseen_ = false;
            }
            face.reset();
        }
    };
    apply(plan.statusNotifierItem, statusNotifierItem_, makers_.statusNotifierItem);
    apply(plan.xembedIcon, xembedIcon_, makers_.xembedIcon);
    apply(plan.strip, strip_, makers_.strip);
    plan_ = plan;
    // The shape setting changes what a tray is sent at once, as the mode changes the faces.
    for (StatusFace* face : faces()) {
        face->setShapeChoice(trayShapeChoice(settings_.statusItemShape()));
    }
    update();
}

void ShellFaces::connectFace(StatusFace* face) {
    const auto clicked = [this, face](ClickButton button) {
        return [this, face, button](QPoint pos) {
            lastClickedFace_ = face;
            handleClick(button, face->clickModifiers(), pos);
        };
    };
    connect(face, &StatusFace::activated, this, clicked(ClickButton::left));
    connect(face, &StatusFace::secondaryActivated, this, clicked(ClickButton::middle));
    connect(face, &StatusFace::menuRequested, this, clicked(ClickButton::right));
    connect(face, &StatusFace::wideImageHeightChanged, this, &ShellFaces::update);
    // Only the StatusNotifierItem can be refused, by its host. Queued: the face is dropped
    // after its own signal has returned.
    connect(
        face, &StatusFace::refused, this,
        [this] {
            statusNotifierItemRefused_ = true;
            reconcile();
        },
        Qt::QueuedConnection);
    // Only the StatusNotifierItem waits to be read; the strip shows until it is.
    connect(
        face, &StatusFace::seenChanged, this,
        [this](bool seen) {
            statusNotifierItemUnseen_ = !seen;
            reconcile();
        },
        Qt::QueuedConnection);
}

void ShellFaces::update() {
    const StatusRecords records{monitor_.cpu(),    monitor_.ram(),     monitor_.network(),
                                monitor_.gpu(),    monitor_.battery(), monitor_.disk(),
                                monitor_.sensors()};
    // Light text on the dark pill; without the pill, the desktop's own text colour.
    const QColor labelColor =
        StatusItemRenderer::usablePillOpacity(settings_.statusItemPillOpacity()) > 0.01
            ? QColor(242, 242, 242)
            : QGuiApplication::palette().color(QPalette::WindowText);
    // Only the trays show the glance.
    const bool trayShown = statusNotifierItem_ || xembedIcon_;
    const StatusLook look = StatusLook::from(settings_, labelColor, accentColor(settings_));
    // The tray's wide image is drawn at the host's icon height, so the host need not scale it
    // down and soften it; the strip keeps its own thickness.
    const double trayHeight = statusNotifierItem_ ? statusNotifierItem_->wideImageHeight() : 0;
    const double wideHeight = (strip_ || trayHeight <= 0) ? barThickness : trayHeight;
    picture_ = makeStatusPicture(renderer_, records, monitor_.histories(), look, wideHeight,
                                 trayShown ? glanceSide : 0, screenPixelRatio());
    if (trayHeight > 0 && trayHeight != wideHeight) {
        picture_.trayWide =
            renderer_.render(records, monitor_.histories(), look, trayHeight, screenPixelRatio())
                .image;
    }
    handOver();
}

void ShellFaces::setToolTipsQuiet(bool quiet) {
    if (quiet != toolTipsQuiet_) {
        toolTipsQuiet_ = quiet;
        handOver();
    }
}

void ShellFaces::handOver() {
    StatusPicture shown = picture_;
    if (toolTipsQuiet_) {
        shown.toolTip.clear();
        shown.toolTipFigures.clear();
    }
    for (StatusFace* face : faces()) {
        face->show(shown);
    }
}

void ShellFaces::handleClick(ClickButton button, Qt::KeyboardModifiers modifiers,
                             QPoint globalPos) {
    lastClickPos_ = globalPos;
    switch (routeClick(button, modifiers)) {
        case ClickAction::showMenu:
            emit menuRequested(globalPos);
            return;
        case ClickAction::toggleDashboard:
            emit dashboardToggleRequested();
            return;
        case ClickAction::toggleCompactPanel:
            emit compactPanelToggleRequested();
            return;
    }
}

std::optional<QPoint> ShellFaces::anchor() const {
    if (lastClickedFace_) {
        if (const auto anchor = lastClickedFace_->anchor()) {
            return anchor;
        }
    }
    for (StatusFace* face : faces()) {
        if (const auto anchor = face->anchor()) {
            return anchor;
        }
    }
    return lastClickPos_;
}

QVector<QRect> ShellFaces::areas() const {
    QVector<QRect> areas;
    if (auto* strip = dynamic_cast<StripFace*>(strip_.get())) {
        areas.append(strip->geometry());
    }
    for (const auto* face : {&statusNotifierItem_, &xembedIcon_}) {
        if (auto* icon = dynamic_cast<TrayIconFace*>(face->get());
            icon && icon->geometry().isValid()) {
            areas.append(icon->geometry());
        }
    }
    return areas;
}

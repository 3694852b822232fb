#pragma once

#include "app/shell/ClickRouting.h"
#include "app/shell/FacePlan.h"
#include "status_item/MenuFactory.h"
#include "status_item/StatusFace.h"
#include "status_item/picture/StatusItemRenderer.h"
#include "status_item/picture/StatusPicture.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AppSettings;
class SystemMonitor;
class X11Watcher;

// The status item's faces: which of them show it (the "Status item" setting and the trays
// this desktop has), the picture each is handed, and what a click on one of them asks for.
class ShellFaces final : public QObject {
    Q_OBJECT
public:
    using FaceMaker = std::function<std::unique_ptr<StatusFace>(MenuFactory)>;
    // A maker left empty makes the program's own face of that kind.
    struct Makers {
        FaceMaker statusNotifierItem;
        FaceMaker xembedIcon;
        FaceMaker strip;
    };

    // The wide image's height and the glance's side, in logical pixels.
    static constexpr double barThickness = 24;
    static constexpr double glanceSide = 22;

    ShellFaces(AppSettings& settings, const SystemMonitor& monitor, X11Watcher* x11, Makers makers,
               MenuFactory menu, QObject* parent = nullptr);
    ~ShellFaces() override;

    // Shows the faces the plan asks for; until then, nothing is shown.
    void start();
    // A StatusNotifierItem host appeared or went away.
    void setStatusNotifierHostPresent(bool present);
    // Makes and drops faces as the setting and the trays say, then hands each the picture.
    void reconcile();
    // Draws the monitor's latest figures and hands the picture to every face.
    void update();
    // While the compact panel is open the faces show no tooltip: a host's tooltip under the
    // resting pointer would cover the panel's first figures.
    void setToolTipsQuiet(bool quiet);
    // Routes a click on a face (or a stand-in for one) by its button and keys.
    void handleClick(ClickButton button, Qt::KeyboardModifiers modifiers, QPoint globalPos);

    // Where a panel hangs: the face clicked last, else any face, else the last click.
    std::optional<QPoint> anchor() const;
    // The screen areas the faces cover (a press there is not outside the program).
    QVector<QRect> areas() const;
    std::vector<StatusFace*> faces() const;
    const FacePlan& plan() const { return plan_; }
    const StatusPicture& lastPicture() const { return picture_; }

signals:
    void menuRequested(QPoint globalPos);
    void dashboardToggleRequested();
    void compactPanelToggleRequested();

private:
    void connectFace(StatusFace* face);
    // Hands the picture to every face, without its tooltip while tooltips are quiet.
    void handOver();

    AppSettings& settings_;
    const SystemMonitor& monitor_;
    QPointer<X11Watcher> x11_;
    Makers makers_;
    MenuFactory menu_;
    StatusItemRenderer renderer_;

    FacePlan plan_;
    std::unique_ptr<StatusFace> statusNotifierItem_;
    std::unique_ptr<StatusFace> xembedIcon_;
    std::unique_ptr<StatusFace> strip_;
    StatusPicture picture_;
    std::optional<QPoint> lastClickPos_;
    QPointer<StatusFace> lastClickedFace_;  // the panels hang from the face clicked last
    bool statusNotifierHost_ = false;
    bool statusNotifierItemRefused_ = false;  // until the host changes
    bool statusNotifierItemUnseen_ = false;   // registered, but not read by the host
    bool started_ = false;
    bool toolTipsQuiet_ = false;
};

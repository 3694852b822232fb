#pragma once

#include <QPoint>
#include <QRect>
#include <QVector>

#include <optional>

// One screen as the placement sees it: its whole area, and what panels leave of it.
struct ScreenPlace {
    QRect geometry;
    QRect available;
};

// What is known of where the status item is when a panel or menu opens beside it.
struct ItemPlaceFacts {
    std::optional<QPoint> hostPoint;  // a tray host's click point; (0, 0) means none was sent
    QVector<ScreenPlace> screens;     // the first is the primary screen
    std::optional<QPoint> pointer;    // where the X server says the pointer is
    std::optional<QRect> tray;        // the tray's own window, when there is one
    int itemHeight = 24;
    // The screens' available areas leave out no bar though bars stand there (a Wayland
    // compositor's, seen through XWayland): a corner then keeps clear of a bar of the item's
    // height and some padding.
    bool barsHidden = false;
};

// How deep the band along a screen's edges is where panels, and so status items, stand.
inline constexpr int panelEdgeBand = 64;
// How far a host's point may lie from the pointer and still be taken for the item's place.
inline constexpr int nearPointer = 200;

// Where the item is, as the anchor a panel hangs from (see `compactPanelOrigin`): a host's
// point only when it can be the item's place (in the edge band of a screen and near the
// pointer when the pointer is known), else the pointer when it lies in such a band (a click
// on the item was just made), else the tray's window, else the corner of the primary screen
// nearest its panels (top right when nothing tells). A point in the part of a screen that
// panels cut off moves to that cut's edge, so the panel opens beside the bar.
QPoint itemAnchor(const ItemPlaceFacts& facts);

#pragma once

#include "status_item/MenuFactory.h"
#include "status_item/RetiredWidget.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QVector>

#include <memory>

class QMenu;
class ShellWindows;

// The status item's menu: its entries (Open Compact View, Open Dashboard, Settings, Help,
// Support, Quit) and their actions. A menu lives for one showing.
class ShellMenu final : public QObject {
    Q_OBJECT
public:
    ShellMenu(ShellWindows& windows, QString supportUrl, QObject* parent = nullptr);
    ~ShellMenu() override;

    std::unique_ptr<QMenu> build();
    // What a face exports or pops up: a fresh menu each time.
    MenuFactory factory();
    void show(QPoint globalPos);

    QMenu* openMenu() const { return menu_; }
    // The open menu's area (a press there is not outside the program).
    QVector<QRect> areas() const;

signals:
    void quitRequested();

private:
    ShellWindows& windows_;
    QString supportUrl_;
    QPointer<QMenu> menu_;
    RetiredWidget closedMenu_;
};

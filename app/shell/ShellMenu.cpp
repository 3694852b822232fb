#include "app/shell/ShellMenu.h"

#include "app/shell/ShellWindows.h"
#include "app/shell/SupportPage.h"

#include <QMenu>

ShellMenu::ShellMenu(ShellWindows& windows, QString supportUrl, QObject* parent)
    : QObject(parent), windows_(windows), supportUrl_(std::move(supportUrl)) {}

ShellMenu::~ShellMenu() {
    delete menu_;
}

std::unique_ptr<QMenu> ShellMenu::build() {
    auto menu = std::make_unique<QMenu>();
    menu->setAccessibleName(QStringLiteral("Vantrel menu"));
    menu->addAction(QStringLiteral("Open Compact View"), this, [this] {
        windows_.closeDashboard();
        windows_.showCompactPanel();
    });
    menu->addAction(QStringLiteral("Open Dashboard"), QKeySequence(Qt::CTRL | Qt::Key_D), this,
                    [this] {
                        windows_.closeCompactPanel();
                        windows_.showDashboard();
                    });
    menu->addAction(QStringLiteral("Settings"), QKeySequence(Qt::CTRL | Qt::Key_Comma), this,
                    [this] { windows_.openSettingsWindow(); });
    menu->addAction(QStringLiteral("Help"), this, [this] { windows_.openHelpWindow(); });
    QAction* supportAction =
        menu->addAction(QStringLiteral("Support"), this, [this] { openSupportPage(supportUrl_); });
    supportAction->setEnabled(supportPageExists(supportUrl_));
    menu->addSeparator();
    menu->addAction(QStringLiteral("Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this,
                    [this] { emit quitRequested(); });
    return menu;
}

MenuFactory ShellMenu::factory() {
    return [this] { return build(); };
}

void ShellMenu::show(QPoint globalPos) {
    if (menu_) {
        menu_->hide();
    }
    QMenu* menu = build().release();
    menu_ = menu;
    // The menu lives for one showing; a later click finds no menu attached.
    connect(menu, &QMenu::aboutToHide, this, [this, menu] { closedMenu_.retire(menu); });
    menu->popup(globalPos);
}

QVector<QRect> ShellMenu::areas() const {
    if (menu_ && menu_->isVisible()) {
        return {menu_->geometry()};
    }
    return {};
}

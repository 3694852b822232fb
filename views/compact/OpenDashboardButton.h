#pragma once

#include "views/kit/SymbolLabel.h"

#include <QAbstractButton>

// The panel's top button: the "rectangle.3.group" symbol, "Open Dashboard", and a
// "chevron.right" in the secondary colour at the right, on a card's background.
class OpenDashboardButton final : public QAbstractButton {
    Q_OBJECT
public:
    explicit OpenDashboardButton(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SymbolGlyph leading_;
    SymbolGlyph chevron_;
};

#include "views/dashboard/CardGrid.h"

#include "views/dashboard/DashboardCard.h"

#include <QGridLayout>

namespace {

constexpr int spacing = 10;
constexpr int maxColumns = 3;

}  // namespace

CardGrid::CardGrid(QWidget* parent) : QWidget(parent), grid_(new QGridLayout(this)) {
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setSpacing(spacing);
    grid_->setAlignment(Qt::AlignTop);
}

int CardGrid::columnsForWidth(int width) {
    if (width < 500) {
        return 1;
    }
    return width < 750 ? 2 : 3;
}

void CardGrid::addCard(DashboardCard* card) {
    cards_.append(card);
    shown_.append(true);
    wide_.append(false);
    card->setParent(this);
    relayout();
}

void CardGrid::addWideCard(DashboardCard* card) {
    addCard(card);
    wide_.last() = true;
    relayout();
}

void CardGrid::setCardShown(DashboardCard* card, bool shown) {
    const auto index = cards_.indexOf(card);
    if (index < 0 || shown_[index] == shown) {
        return;
    }
    shown_[index] = shown;
    relayout();
}

void CardGrid::setColumns(int columns) {
    columns = std::clamp(columns, 1, maxColumns);
    if (columns == columns_) {
        return;
    }
    columns_ = columns;
    relayout();
}

QVector<DashboardCard*> CardGrid::shownCards() const {
    QVector<DashboardCard*> shown;
    for (qsizetype i = 0; i < cards_.size(); ++i) {
        if (shown_[i]) {
            shown.append(cards_[i]);
        }
    }
    return shown;
}

void CardGrid::relayout() {
    for (DashboardCard* card : cards_) {
        grid_->removeWidget(card);
    }
    int place = 0;
    for (qsizetype i = 0; i < cards_.size(); ++i) {
        cards_[i]->setVisible(shown_[i]);
        if (!shown_[i]) {
            continue;
        }
        if (wide_[i]) {
            const int row = (place + columns_ - 1) / columns_;
            grid_->addWidget(cards_[i], row, 0, 1, columns_);
            place = (row + 1) * columns_;
        } else {
            grid_->addWidget(cards_[i], place / columns_, place % columns_);
            ++place;
        }
    }
    for (int column = 0; column < maxColumns; ++column) {
        grid_->setColumnStretch(column, column < columns_ ? 1 : 0);
    }
}

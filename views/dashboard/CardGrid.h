#pragma once

#include <QVector>
#include <QWidget>

class DashboardCard;
class QGridLayout;

// The dashboard's cards in columns of equal width, spacing 10 both ways. Hidden cards leave
// no gap: the shown ones are laid out again in order whenever the column count or the set of
// shown cards changes, and only then.
class CardGrid final : public QWidget {
    Q_OBJECT
public:
    explicit CardGrid(QWidget* parent = nullptr);

    // 1 column below 500 px of width, 2 below 750, 3 from 750 on.
    static int columnsForWidth(int width);

    void addCard(DashboardCard* card);
    // A card on a row of its own that spans every column (the Sensors card's many chips).
    void addWideCard(DashboardCard* card);
    void setCardShown(DashboardCard* card, bool shown);
    void setColumns(int columns);
    int columns() const { return columns_; }
    QVector<DashboardCard*> shownCards() const;

private:
    void relayout();

    QGridLayout* grid_;
    QVector<DashboardCard*> cards_;
    QVector<bool> shown_;
    QVector<bool> wide_;
    int columns_ = 3;
};

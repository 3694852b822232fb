#pragma once

#include "status_list/StatusItemEntry.h"

#include <QHash>
#include <QString>
#include <QToolButton>
#include <QWidget>

class AppSettings;
class QAbstractButton;
class QButtonGroup;
class QLabel;
class QVBoxLayout;
class ToggleSwitch;

// A small button that shows one symbol of the symbol table.
class SymbolButton : public QToolButton {
    Q_OBJECT
public:
    SymbolButton(const QString& symbolName, const QString& accessibleName,
                 QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
};

// One entry of the status item's list: its switch, its symbol and label, the four display
// modes and the two move buttons.
class StatusMetricRow : public QWidget {
    Q_OBJECT
public:
    explicit StatusMetricRow(StatusMetric metric, QWidget* parent = nullptr);

    StatusMetric metric() const { return metric_; }
    // Shows the entry's state; the first row cannot move up, the last not down.
    void display(const StatusItemEntry& item, bool first, bool last);

    ToggleSwitch* enabledSwitch() const { return enabled_; }
    QAbstractButton* modeButton(MetricDisplayMode mode) const;
    QAbstractButton* upButton() const { return up_; }
    QAbstractButton* downButton() const { return down_; }

signals:
    void enabledChosen(bool enabled);
    void modeChosen(MetricDisplayMode mode);
    void moveUpClicked();
    void moveDownClicked();

private:
    StatusMetric metric_;
    ToggleSwitch* enabled_;
    QButtonGroup* modes_;
    SymbolButton* up_;
    SymbolButton* down_;
};

// The rows of `statusItemEntries`, in list order. A row belongs to its metric: a move changes the
// rows' order, never which row shows which metric. Each edit goes to the store by the row's
// place in the list at the moment of the click.
class StatusMetricList : public QWidget {
    Q_OBJECT
public:
    explicit StatusMetricList(AppSettings& settings, QWidget* parent = nullptr);

    // The row of the metric with this raw value; null when the list does not hold it.
    StatusMetricRow* row(const QString& metricRawValue) const;
    // The metrics' raw values in the order the rows are shown.
    QStringList shownOrder() const;

private:
    void sync();
    int indexOf(StatusMetric metric) const;

    AppSettings& settings_;
    QVBoxLayout* column_;
    QHash<QString, StatusMetricRow*> rows_;
};

#pragma once

#include "views/report/ReportStyle.h"

#include <QWidget>

class QVBoxLayout;
class ValueRow;

// One card of the report: a rounded panel (radius 12, padding 14) with a bold monospaced
// title over its content, 10 points apart. An empty title leaves the title out.
class ReportCard final : public QWidget {
    Q_OBJECT
public:
    ReportCard(const QString& title, const ReportStyle& style, QWidget* parent = nullptr);

    // Where the card's content goes, under the title.
    QVBoxLayout* content() const { return content_; }

    // A column of label-and-value rows, 4 points apart, added to `layout`.
    static QVBoxLayout* addRows(QVBoxLayout* layout);
    // A row in 11-point type: the label on the left, the value on the right.
    static ValueRow* addRow(QVBoxLayout* rows, const QString& label, const QString& value,
                            const ReportStyle& style);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ReportStyle style_;
    QVBoxLayout* content_;
};

#include "views/report/ReportCard.h"
#include "views/kit/TextColor.h"

#include "views/kit/ValueRow.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kPadding = 14;
constexpr double kRadius = 12;

}  // namespace

ReportCard::ReportCard(const QString& title, const ReportStyle& style, QWidget* parent)
    : QWidget(parent), style_(style) {
    setAccessibleName(title);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    column->setSpacing(10);
    if (!title.isEmpty()) {
        QLabel* heading =
            coloredLabel(title, reportFont(10, QFont::Bold, true), style.secondaryText);
        heading->setAccessibleName(title);
        column->addWidget(heading);
    }
    content_ = new QVBoxLayout;
    content_->setSpacing(10);
    column->addLayout(content_);
}

QVBoxLayout* ReportCard::addRows(QVBoxLayout* layout) {
    auto* rows = new QVBoxLayout;
    rows->setSpacing(4);
    layout->addLayout(rows);
    return rows;
}

ValueRow* ReportCard::addRow(QVBoxLayout* rows, const QString& label, const QString& value,
                             const ReportStyle& style) {
    auto* row = new ValueRow(label);
    row->setValue(value);
    row->setLabelFont(reportFont(11));
    row->setValueFont(reportFont(11));
    row->setLabelColor(style.secondaryText);
    row->setValueColor(style.primaryText);
    rows->addWidget(row);
    return row;
}

void ReportCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // A stroke is centred on its path: inset by half its width, the outline stays whole.
    const double inset = std::max(style_.cardOutlineWidth, 1.0) / 2;
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), kRadius, kRadius);
    painter.fillPath(shape, style_.cardFill);
    // Width 0 is the thinnest line the device draws, as in PDF.
    painter.strokePath(shape, QPen(style_.cardOutline, style_.cardOutlineWidth));
}

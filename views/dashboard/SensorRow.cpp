#include "views/dashboard/SensorRow.h"

#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QAction>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double gap = 10;      // between the name, the value and the extremes
constexpr int hintWidth = 120;  // what the row asks for, whatever its text
constexpr int extraHeight = 4;  // room around the text, so the editor fits the row
// The widest texts the value and extremes columns are measured for, so the columns of a chip
// line up whatever each row shows.
const char* const widestValue = "0000 RPM";
const char* const widestExtremes = "min 0000 RPM · max 0000 RPM";

}  // namespace

SensorRow::SensorRow(QWidget* parent)
    : QWidget(parent),
      labelFont_(ViewFonts::shared().caption),
      valueFont_(ViewFonts::monospacedDigits(ViewFonts::shared().caption)),
      extremesFont_(ViewFonts::monospacedDigits(ViewFonts::shared().smallCaption)),
      rename_(new QAction(QStringLiteral("Rename…"), this)),
      hide_(new QAction(QStringLiteral("Hide"), this)) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    addAction(rename_);
    addAction(hide_);
    connect(rename_, &QAction::triggered, this, &SensorRow::startRenaming);
    connect(hide_, &QAction::triggered, this, &SensorRow::hideRequested);
}

void SensorRow::setLabel(const QString& label) {
    if (label == label_) {
        return;
    }
    label_ = label;
    update();
}

void SensorRow::setValue(const QString& value) {
    if (value == value_) {
        return;
    }
    value_ = value;
    update();
}

void SensorRow::setExtremes(const QString& extremes) {
    if (extremes == extremes_) {
        return;
    }
    extremes_ = extremes;
    update();
}

void SensorRow::setSpokenName(const QString& name) {
    if (name != accessibleName()) {
        setAccessibleName(name);
    }
}

QSize SensorRow::sizeHint() const {
    const double text =
        std::max(QFontMetricsF(labelFont_).height(), QFontMetricsF(valueFont_).height());
    return {hintWidth, static_cast<int>(std::ceil(text)) + extraHeight};
}

QSize SensorRow::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

void SensorRow::startRenaming() {
    if (editor_ != nullptr) {
        return;
    }
    editor_ = new QLineEdit(label_, this);
    editor_->setAccessibleName(QStringLiteral("Name of ") + label_);
    editor_->setFont(labelFont_);
    editor_->setFrame(false);
    editor_->setGeometry(rect());
    editor_->selectAll();
    editor_->installEventFilter(this);
    connect(editor_, &QLineEdit::returnPressed, this, [this] { finishRenaming(true); });
    editor_->show();
    editor_->setFocus();
}

void SensorRow::finishRenaming(bool apply) {
    if (editor_ == nullptr) {
        return;
    }
    QLineEdit* editor = std::exchange(editor_, nullptr);
    const QString name = editor->text().trimmed();
    editor->removeEventFilter(this);
    editor->hide();
    editor->deleteLater();
    if (apply) {
        emit renameRequested(name);
    }
}

bool SensorRow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_) {
        const bool escape =
            (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
        if (escape && event->type() == QEvent::ShortcutOverride) {
            // The editor takes Escape before the window's shortcut, which closes the dashboard.
            event->accept();
            return true;
        }
        if (escape) {
            finishRenaming(false);
            return true;
        }
        if (event->type() == QEvent::FocusOut) {
            finishRenaming(false);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SensorRow::mouseDoubleClickEvent(QMouseEvent* /*event*/) {
    startRenaming();
}

void SensorRow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(rect());

    const QFontMetricsF extremesMetrics(extremesFont_);
    const double extremesColumn = std::min(
        extremesMetrics.horizontalAdvance(QString::fromUtf8(widestExtremes)), area.width() * 0.45);
    painter.setFont(extremesFont_);
    painter.setPen(ViewPalette::secondaryText());
    painter.drawText(
        QRectF(area.right() - extremesColumn, area.top(), extremesColumn, area.height()),
        Qt::AlignRight | Qt::AlignVCenter,
        extremesMetrics.elidedText(extremes_, Qt::ElideRight, extremesColumn));

    const QFontMetricsF valueMetrics(valueFont_);
    const double valueRight = area.right() - extremesColumn - gap;
    const double valueColumn =
        std::max(valueMetrics.horizontalAdvance(QString::fromUtf8(widestValue)),
                 valueMetrics.horizontalAdvance(value_));
    painter.setFont(valueFont_);
    painter.setPen(ViewPalette::primaryText());
    painter.drawText(QRectF(valueRight - valueColumn, area.top(), valueColumn, area.height()),
                     Qt::AlignRight | Qt::AlignVCenter, value_);

    const double labelRoom = std::max(0.0, valueRight - valueColumn - gap - area.left());
    const QFontMetricsF labelMetrics(labelFont_);
    painter.setFont(labelFont_);
    painter.setPen(ViewPalette::secondaryText());
    painter.drawText(QRectF(area.left(), area.top(), labelRoom, area.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     labelMetrics.elidedText(label_, Qt::ElideRight, labelRoom));
}

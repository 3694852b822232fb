#include "views/settings/StatusMetricList.h"

#include "core/AppSettings.h"
#include "views/kit/SymbolLabel.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"
#include "views/settings/SettingsForm.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr int moveButtonSide = 20;
constexpr int moveSymbolSize = 16;

// The four display modes as one segmented control.
const char* const segmentStyle =
    "QToolButton { color: rgba(255,255,255,225); background: rgba(255,255,255,20);"
    " border: 1px solid rgba(255,255,255,38); padding: 1px 5px; margin: 0px; }"
    "QToolButton:checked { background: rgba(255,255,255,75); }"
    "QToolButton:focus { border-color: rgb(10,132,255); }"
    "QToolButton#first { border-top-left-radius: 5px; border-bottom-left-radius: 5px; }"
    "QToolButton#last { border-top-right-radius: 5px; border-bottom-right-radius: 5px; }";

}  // namespace

SymbolButton::SymbolButton(const QString& symbolName, const QString& accessibleName,
                           QWidget* parent)
    : QToolButton(parent), symbol_(symbolName) {
    setAccessibleName(accessibleName);
    setToolTip(accessibleName);
    setAutoRaise(true);
    setFocusPolicy(Qt::StrongFocus);
}

QSize SymbolButton::sizeHint() const {
    return {moveButtonSide, moveButtonSide};
}

void SymbolButton::paintEvent(QPaintEvent* event) {
    QToolButton::paintEvent(event);
    SymbolGlyph glyph;
    glyph.set(symbol_, moveSymbolSize);
    QPainter painter(this);
    const QColor color = isEnabled() ? ViewPalette::primaryText()
                                     : ViewPalette::withOpacity(ViewPalette::primaryText(), 0.3);
    glyph.paint(painter, QRectF(rect()), color);
}

StatusMetricRow::StatusMetricRow(StatusMetric metric, QWidget* parent)
    : QWidget(parent),
      metric_(metric),
      enabled_(new ToggleSwitch(QStringLiteral("Show %1").arg(settingsLabel(metric)))),
      modes_(new QButtonGroup(this)),
      up_(new SymbolButton(QStringLiteral("chevron.up"),
                           QStringLiteral("Move %1 up").arg(settingsLabel(metric)))),
      down_(new SymbolButton(QStringLiteral("chevron.down"),
                             QStringLiteral("Move %1 down").arg(settingsLabel(metric)))) {
    const QString label = settingsLabel(metric);
    setObjectName(QStringLiteral("metricRow_") + rawValue(metric));
    setAccessibleName(label);

    auto* symbol = new SymbolLabel(symbolName(metric));
    symbol->setPixelSize(16);
    QLabel* name = formLabel(label);

    auto* segments = new QWidget;
    segments->setStyleSheet(QString::fromLatin1(segmentStyle));
    auto* segmentRow = new QHBoxLayout(segments);
    segmentRow->setContentsMargins(0, 0, 0, 0);
    segmentRow->setSpacing(0);
    QFont segmentFont = ViewFonts::shared().caption;
    for (const MetricDisplayMode mode : allMetricDisplayModes) {
        auto* button = new QToolButton;
        button->setText(pickerLabel(mode));
        button->setFont(segmentFont);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAccessibleName(QStringLiteral("%1 as %2").arg(label, pickerLabel(mode)));
        if (mode == allMetricDisplayModes.front()) {
            button->setObjectName(QStringLiteral("first"));
        } else if (mode == allMetricDisplayModes.back()) {
            button->setObjectName(QStringLiteral("last"));
        }
        modes_->addButton(button, static_cast<int>(mode));
        segmentRow->addWidget(button);
    }
    modes_->setExclusive(true);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(enabled_);
    row->addWidget(symbol);
    row->addWidget(name, 1);
    row->addWidget(segments);
    row->addWidget(up_);
    row->addWidget(down_);

    connect(enabled_, &QAbstractButton::clicked, this, &StatusMetricRow::enabledChosen);
    connect(modes_, &QButtonGroup::idClicked, this,
            [this](int id) { emit modeChosen(static_cast<MetricDisplayMode>(id)); });
    connect(up_, &QAbstractButton::clicked, this, &StatusMetricRow::moveUpClicked);
    connect(down_, &QAbstractButton::clicked, this, &StatusMetricRow::moveDownClicked);
}

void StatusMetricRow::display(const StatusItemEntry& item, bool first, bool last) {
    enabled_->setChecked(item.enabled);
    if (QAbstractButton* button = modes_->button(static_cast<int>(item.displayMode))) {
        button->setChecked(true);
    }
    // The store ignores a move past either end; the buttons say so too.
    up_->setEnabled(!first);
    down_->setEnabled(!last);
}

QAbstractButton* StatusMetricRow::modeButton(MetricDisplayMode mode) const {
    return modes_->button(static_cast<int>(mode));
}

StatusMetricList::StatusMetricList(AppSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings), column_(new QVBoxLayout(this)) {
    setAccessibleName(QStringLiteral("Status item metrics"));
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(6);
    connect(&settings_, &AppSettings::statusItemEntriesChanged, this, &StatusMetricList::sync);
    sync();
}

StatusMetricRow* StatusMetricList::row(const QString& metricRawValue) const {
    return rows_.value(metricRawValue, nullptr);
}

QStringList StatusMetricList::shownOrder() const {
    QStringList order;
    for (int i = 0; i < column_->count(); ++i) {
        if (auto* row = qobject_cast<StatusMetricRow*>(column_->itemAt(i)->widget())) {
            order.append(rawValue(row->metric()));
        }
    }
    return order;
}

int StatusMetricList::indexOf(StatusMetric metric) const {
    const auto& items = settings_.statusItemEntries();
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].metric == metric) {
            return i;
        }
    }
    return -1;
}

void StatusMetricList::sync() {
    const auto& items = settings_.statusItemEntries();
    QHash<QString, StatusMetricRow*> kept;
    for (int i = 0; i < items.size(); ++i) {
        const StatusItemEntry& item = items[i];
        StatusMetricRow* row = rows_.take(item.id());
        if (row == nullptr) {
            row = new StatusMetricRow(item.metric, this);
            const StatusMetric metric = item.metric;
            connect(row, &StatusMetricRow::enabledChosen, this, [this, metric](bool enabled) {
                settings_.setStatusItemEnabled(indexOf(metric), enabled);
            });
            connect(row, &StatusMetricRow::modeChosen, this,
                    [this, metric](MetricDisplayMode mode) {
                        settings_.setStatusItemDisplayMode(indexOf(metric), mode);
                    });
            connect(row, &StatusMetricRow::moveUpClicked, this,
                    [this, metric] { settings_.moveStatusItemUp(indexOf(metric)); });
            connect(row, &StatusMetricRow::moveDownClicked, this,
                    [this, metric] { settings_.moveStatusItemDown(indexOf(metric)); });
        }
        kept.insert(item.id(), row);
        column_->removeWidget(row);
        column_->insertWidget(i, row);
        row->display(item, i == 0, i == items.size() - 1);
    }
    qDeleteAll(rows_);
    rows_ = kept;
}

#include "views/compact/BatterySectionView.h"

#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/graphs/MiniGraphView.h"
#include "views/kit/LevelBar.h"
#include "views/kit/StateColors.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewPalette.h"

#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int trendGraphHeight = 24;

QVector<double> healthFractions(const QVector<int>& percents) {
    QVector<double> fractions;
    fractions.reserve(percents.size());
    for (const int percent : percents) {
        fractions.append(std::clamp(percent / 100.0, 0.0, 1.0));
    }
    return fractions;
}

// A count the battery did not report (-1) shows as a dash.
QString countText(int count) {
    return count < 0 ? noValueText() : QString::number(count);
}

}  // namespace

BatterySectionView::BatterySectionView(const SystemMonitor& monitor, QWidget* parent)
    : SectionView(QStringLiteral("battery.100"), QStringLiteral("Battery"), parent),
      monitor_(monitor),
      level_(new LevelBar),
      trendGraph_(sectionGraph(QStringLiteral("Health history"), trendGraphHeight)) {
    level_->setLabel(QStringLiteral("Battery"));
    body()->addWidget(level_);
    health_ = addRow(QStringLiteral("Health"));
    condition_ = addRow(QStringLiteral("Condition"));
    cycleCount_ = addRow(QStringLiteral("Cycle Count"));
    capacity_ = addRow(QStringLiteral("Capacity"));
    power_ = addRow(QStringLiteral("Power"));
    temperature_ = addRow(QStringLiteral("Battery Temperature"));
    temperature_->setVisible(false);
    trend_ = addRow(QStringLiteral("Health Trend"));
    trend_->setValueColor(ViewPalette::secondaryText());
    trendGraph_->setColor(ViewPalette::secondaryText());
    body()->addWidget(trendGraph_);
}

void BatterySectionView::refresh() {
    const BatteryStats& battery = monitor_.battery();
    setSymbol(batterySymbolName(battery));
    setValue(wholePercentText(battery.percentage));
    level_->setValue(batteryFraction(battery));
    level_->setFillColor(batteryLevelColor(battery));

    const bool healthKnown = battery.healthPercent >= 0;
    health_->setValue(healthKnown ? wholePercentText(battery.healthPercent) : noValueText());
    health_->setValueColor(healthKnown ? batteryHealthColor(battery.healthPercent)
                                       : ViewPalette::secondaryText());
    const bool conditionKnown = !battery.condition.isEmpty();
    condition_->setValue(conditionKnown ? battery.condition : noValueText());
    condition_->setValueColor(conditionKnown ? batteryConditionColor(battery.condition)
                                             : ViewPalette::secondaryText());
    cycleCount_->setValue(countText(battery.cycleCount));
    const QString capacity = batteryCapacityText(battery);
    capacity_->setValue(capacity.isEmpty() ? noValueText() : capacity);
    power_->setValue(readingText(battery.currentWatts, powerText));

    const SensorStats& sensors = monitor_.sensors();
    showReading(*temperature_, sensors.batteryTempCelsius, temperatureText);
    showFans(sensors.fans);

    const BatteryHealthRecorder& log = monitor_.batteryHealth();
    trend_->setValue(log.trendText().value_or(noValueText()));
    trendGraph_->setValues(healthFractions(log.healthHistory()));
}

void BatterySectionView::showFans(const QVector<FanReading>& fans) {
    // Fan rows go right after the temperature row, before the trend.
    const int firstFanIndex = body()->indexOf(temperature_) + 1;
    const auto make = [&] {
        auto* row = new ValueRow(QStringLiteral("Fan ") + QString::number(fans_.size() + 1));
        body()->insertWidget(firstFanIndex + static_cast<int>(fans_.size()), row);
        return row;
    };
    showRows(fans_, fans.size(), make, [&](ValueRow& row, qsizetype i) {
        row.setValue(readingText(fans[i].rpm, fanSpeedText));
    });
}

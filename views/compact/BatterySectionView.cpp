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
      health_(sectionRow(QStringLiteral("Health"))),
      condition_(sectionRow(QStringLiteral("Condition"))),
      cycleCount_(sectionRow(QStringLiteral("Cycle Count"))),
      capacity_(sectionRow(QStringLiteral("Capacity"))),
      power_(sectionRow(QStringLiteral("Power"))),
      temperature_(sectionRow(QStringLiteral("Battery Temperature"))),
      trend_(sectionRow(QStringLiteral("Health Trend"))),
      trendGraph_(sectionGraph(QStringLiteral("Health history"), trendGraphHeight)) {
    level_->setLabel(QStringLiteral("Battery"));
    body()->addWidget(level_);
    temperature_->setVisible(false);
    for (ValueRow* row : {health_, condition_, cycleCount_, capacity_, power_, temperature_}) {
        body()->addWidget(row);
    }
    trendGraph_->setColor(ViewPalette::secondaryText());
    trend_->setValueColor(ViewPalette::secondaryText());
    body()->addWidget(trend_);
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
    power_->setValue(powerText(battery.currentWatts));

    const SensorStats& sensors = monitor_.sensors();
    showSensorRow(*temperature_, sensors.batteryTempCelsius, temperatureText);
    showFans(sensors.fans);

    const BatteryHealthRecorder& log = monitor_.batteryHealth();
    trend_->setValue(log.trendText().value_or(noValueText()));
    trendGraph_->setValues(healthFractions(log.healthHistory()));
}

void BatterySectionView::showFans(const QVector<FanReading>& fans) {
    // Fan rows go right after the temperature row, before the trend.
    const int firstFanIndex = body()->indexOf(temperature_) + 1;
    while (fans_.size() < fans.size()) {
        auto* row = sectionRow(QStringLiteral("Fan ") + QString::number(fans_.size() + 1));
        body()->insertWidget(firstFanIndex + static_cast<int>(fans_.size()), row);
        fans_.append(row);
    }
    for (qsizetype i = 0; i < fans_.size(); ++i) {
        const bool present = i < fans.size();
        if (present) {
            fans_[i]->setValue(fanSpeedText(fans[i].rpm));
        }
        fans_[i]->setVisible(present);
    }
}

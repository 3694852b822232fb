#include "views/kit/StateColors.h"

#include "views/kit/ViewPalette.h"

QString batterySymbolName(const BatteryStats& battery) {
    if (battery.isCharging) {
        return QStringLiteral("battery.100.bolt");
    }
    const int level = battery.percentage;
    if (level >= 76) {
        return QStringLiteral("battery.100");
    }
    if (level >= 51) {
        return QStringLiteral("battery.75");
    }
    if (level >= 26) {
        return QStringLiteral("battery.50");
    }
    if (level >= 11) {
        return QStringLiteral("battery.25");
    }
    return QStringLiteral("battery.0");
}

QColor batteryLevelColor(const BatteryStats& battery) {
    if (battery.isCharging || battery.percentage > 20) {
        return ViewPalette::green();
    }
    return battery.percentage < 11 ? ViewPalette::red() : ViewPalette::orange();
}

QColor batteryHealthColor(int healthPercent) {
    return healthPercent > 80 ? ViewPalette::green() : ViewPalette::orange();
}

QColor batteryConditionColor(const QString& condition) {
    return condition == QLatin1String("Normal") ? ViewPalette::green() : ViewPalette::orange();
}

QColor diskUsageColor(double usedFraction) {
    if (usedFraction > 0.9) {
        return ViewPalette::red();
    }
    return usedFraction > 0.75 ? ViewPalette::orange() : ViewPalette::blue();
}

QColor thermalStateColor(ThermalState state) {
    switch (state) {
        case ThermalState::nominal:
            return ViewPalette::green();
        case ThermalState::fair:
            return ViewPalette::yellow();
        case ThermalState::serious:
            return ViewPalette::orange();
        case ThermalState::critical:
            return ViewPalette::red();
    }
    return ViewPalette::grey();
}

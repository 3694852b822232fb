#pragma once

#include "core/SampleRecords.h"

#include <QColor>
#include <QString>

// The symbols and colours that follow a reading's level or state, the same in every panel.

// "battery.100.bolt" while charging; else by level: "battery.100" from 76 %, "battery.75"
// from 51 %, "battery.50" from 26 %, "battery.25" from 11 %, "battery.0" below.
QString batterySymbolName(const BatteryStats& battery);
// Green while charging; else red below 11 %, orange up to 20 %, green from 21 %.
QColor batteryLevelColor(const BatteryStats& battery);
// Green above 80 % health, orange at 80 % or below.
QColor batteryHealthColor(int healthPercent);
// Green for "Normal", orange for any other condition.
QColor batteryConditionColor(const QString& condition);
// Green, yellow, orange or red for nominal, fair, serious and critical; grey otherwise.
QColor thermalStateColor(ThermalState state);
// A disk's usage: red above 0.9 used, orange above 0.75, blue otherwise.
QColor diskUsageColor(double usedFraction);

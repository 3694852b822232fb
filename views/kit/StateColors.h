#pragma once

#include "core/SampleRecords.h"

#include <QColor>
#include <QString>

// The symbols and colours that tell a state at a glance, the same in every panel and window.

// "battery.100.bolt" while charging; otherwise by level: "battery.100" from 76 %,
// "battery.75" from 51 %, "battery.50" from 26 %, "battery.25" from 11 %, else "battery.0".
QString batterySymbolName(const BatteryStats& battery);

// The charge level's colour: green while charging; otherwise red below 11 %, orange up to
// 20 %, green from 21 %.
QColor batteryLevelColor(const BatteryStats& battery);

// A battery's health: green above 80 %, orange at 80 % or below.
QColor batteryHealthColor(int healthPercent);

// The battery's condition text: green for "Normal", orange for anything else.
QColor batteryConditionColor(const QString& condition);

// A disk's used fraction: red above 0.9, orange above 0.75, else blue.
QColor diskUsageColor(double usedFraction);

// The thermal state's capsule: green, yellow, orange, red; grey for an unknown value.
QColor thermalStateColor(ThermalState state);

#pragma once

#include "core/SampleRecords.h"
#include "core/SessionSummary.h"

#include <QJsonObject>

// The records as JSON objects whose keys are the records' field names: the machine-readable
// face of a poll, for scripts and checks. Absent sensor values are null. The sensors' record
// carries "sensors", every sensor reading of the machine as {"chip", "sensor", "chipName",
// "label", "kind", "unit", "value", "min", "max", "critical"}: kind one of "temperature",
// "fan", "voltage", "current", "power", "energy", unit the kind's ("celsius", "rpm", "volts",
// "amperes", "watts", "joules"), and the four numbers null when absent.
QJsonObject toJson(const CpuStats& cpu);
QJsonObject toJson(const RamStats& ram);
QJsonObject toJson(const NetworkStats& network);
QJsonObject toJson(const DiskStats& disk);
QJsonObject toJson(const GpuStats& gpu);
QJsonObject toJson(const BatteryStats& battery);
QJsonObject toJson(const ProcessStats& processes);
QJsonObject toJson(const SensorStats& sensors);
QJsonObject toJson(const SessionSummary& session);

#pragma once

#include "shared/SensorReading.h"

#include <cstdio>
#include <string>

class SensorCollector;

// The sensor test's text: a title, one padded line per field, a closing rule.
std::string formatSensorTest(const SensorReading& reading);

// Collects one reading and prints its text to `out`; the program's exit status (0).
int runSensorTest(SensorCollector& collector, std::FILE* out);

// A double in the shortest form that reads back to the same value, with at least one digit
// after the point: 41.5, 2000.0, -1.0.
std::string shortestDecimal(double value);

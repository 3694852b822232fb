#include "shared/SensorReading.h"

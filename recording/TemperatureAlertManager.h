#pragma once

#include "core/ProviderInterfaces.h"

// Temperature alerts are not built yet: until they are, no alert is ever posted.
class TemperatureAlertManager final : public TemperatureAlerter {
public:
    void checkAlerts(const SensorStats&, const AppSettings&) override {}
};

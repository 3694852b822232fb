#pragma once

#include "core/ProviderInterfaces.h"

// Recording is not built yet: until it is, the recorder stays idle and writes nothing.
class CSVRecorder final : public SampleRecorder {
public:
    void recordSample(const SystemMonitor&) override {}
};

#pragma once

#include "linux_io/KeptOpenFile.h"
#include "platform/NetworkSource.h"

#include <string>
#include <string_view>

// Byte counters of every interface from /proc/net/dev: one read, 64-bit values.
class NetDevReader final : public InterfaceCounterSource {
public:
    explicit NetDevReader(const std::string& root = "/");
    QVector<InterfaceCounters> readCounters() override;

private:
    KeptOpenFile file_;
};

// The interfaces listed in /proc/net/dev text; lines that do not parse are left out.
QVector<InterfaceCounters> parseNetDev(std::string_view text);

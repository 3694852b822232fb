#include "platform/linux/gpu/Rc6BusyReader.h"

#include "linux_io/SysfsText.h"

#include <algorithm>
#include <system_error>
#include <utility>

Rc6BusyReader::Rc6BusyReader(const std::filesystem::path& cardDirectory, const Clock& clock)
    : residency_(residencyFile(cardDirectory).string()), clock_(clock) {}

std::filesystem::path Rc6BusyReader::residencyFile(const std::filesystem::path& cardDirectory) {
    const auto perGt = cardDirectory / "gt/gt0/rc6_residency_ms";
    std::error_code error;
    return std::filesystem::exists(perGt, error) ? perGt : cardDirectory / "power/rc6_residency_ms";
}

std::optional<double> Rc6BusyReader::read() {
    const auto text = residency_.read();
    const auto residencyMs = text ? parseInteger(*text) : std::nullopt;
    if (!residencyMs || *residencyMs < 0) {
        previous_.reset();
        return std::nullopt;
    }
    const Sample now{*residencyMs, clock_.steadyNow()};
    const std::optional<Sample> previous = std::exchange(previous_, now);
    if (!previous) {
        return 0.0;
    }
    const double elapsedMs = secondsBetween(previous->time, now.time) * 1000.0;
    if (elapsedMs <= 0 || now.residencyMs < previous->residencyMs) {
        return 0.0;
    }
    const double idleMs = static_cast<double>(now.residencyMs - previous->residencyMs);
    // Residency is counted in whole milliseconds on its own schedule, so it can run a little
    // ahead of the wall interval: keep the share within 0 to 1.
    return std::clamp(1.0 - idleMs / elapsedMs, 0.0, 1.0);
}

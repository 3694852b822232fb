#include "platform/linux/cpu/LoadAverageReader.h"

#include <array>
#include <charconv>
#include <cmath>

std::optional<LoadAverages> parseLoadAverages(std::string_view text) {
    std::array<double, 3> values{};
    for (double& value : values) {
        const auto start = text.find_first_not_of(' ');
        if (start == std::string_view::npos) {
            return std::nullopt;
        }
        text.remove_prefix(start);
        const auto* end = text.data() + text.size();
        const auto [stop, error] =
            std::from_chars(text.data(), end, value, std::chars_format::fixed);
        const bool separated = stop != end && (*stop == ' ' || *stop == '\n');
        if (error != std::errc{} || !separated || !std::isfinite(value) || value < 0) {
            return std::nullopt;
        }
        text.remove_prefix(static_cast<std::size_t>(stop - text.data()));
    }
    return LoadAverages{values[0], values[1], values[2]};
}

LoadAverageReader::LoadAverageReader(const std::filesystem::path& root)
    : file_(root / "proc/loadavg") {}

std::optional<LoadAverages> LoadAverageReader::read() {
    const auto text = file_.read();
    return text ? parseLoadAverages(*text) : std::nullopt;
}

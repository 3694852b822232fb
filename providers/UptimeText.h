#pragma once

#include <QString>

#include <cstdint>

// "59m" below an hour, "23h 59m" below a day, "1d 1h 1m" from a day on. A negative uptime
// shows as "0m".
QString uptimeText(std::int64_t seconds);

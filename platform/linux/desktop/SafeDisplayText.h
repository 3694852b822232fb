#pragma once

#include <QString>

#include <string_view>

// Text from the outside world (process names, executable file names, desktop entries) made
// safe to show: byte sequences that are not UTF-8 and control characters, which could break
// a line or reorder the text around them, each become U+FFFD.
QString safeDisplayText(std::string_view bytes);

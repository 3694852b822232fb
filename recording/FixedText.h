#pragma once

#include <QString>

#include <array>
#include <charconv>

// `value` with `decimals` digits after the point, exactly as C's "%.Nf" writes it in the C
// locale: the files and texts never depend on the user's locale.
inline QString fixedText(double value, int decimals) {
    std::array<char, 400> buffer{};  // enough for any double in fixed notation
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    return QString::fromLatin1(buffer.data(), static_cast<int>(result.ptr - buffer.data()));
}

#pragma once

#include <QString>

#include <ostream>

// Failed comparisons of texts show the text rather than its bytes.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

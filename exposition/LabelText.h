#pragma once

#include <QByteArray>
#include <QStringView>

#include <string_view>

// A label value as both formats want it: UTF-8 with backslash, double quote and line feed
// escaped. A lone UTF-16 surrogate becomes U+FFFD, so the output is always valid UTF-8.
void appendEscapedLabelValue(QByteArray& text, QStringView value);
void appendEscapedLabelValue(QByteArray& text, std::string_view value);

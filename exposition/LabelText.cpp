#include "exposition/LabelText.h"

namespace {

// The escape of an ASCII character, or nullptr when it stands for itself.
const char* escapeOf(char16_t character) {
    switch (character) {
        case u'\\':
            return "\\\\";
        case u'"':
            return "\\\"";
        case u'\n':
            return "\\n";
        default:
            return nullptr;
    }
}

void appendUtf8(QByteArray& text, char32_t code) {
    if (code < 0x800) {
        text.append(static_cast<char>(0xC0 | (code >> 6)));
    } else if (code < 0x10000) {
        text.append(static_cast<char>(0xE0 | (code >> 12)));
        text.append(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    } else {
        text.append(static_cast<char>(0xF0 | (code >> 18)));
        text.append(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        text.append(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    }
    text.append(static_cast<char>(0x80 | (code & 0x3F)));
}

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}
bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit < 0xE000;
}

}  // namespace

void appendEscapedLabelValue(QByteArray& text, QStringView value) {
    const char16_t* units = value.utf16();
    const qsizetype count = value.size();
    for (qsizetype i = 0; i < count; ++i) {
        const char32_t unit = units[i];
        if (unit < 0x80) {
            if (const char* escape = escapeOf(static_cast<char16_t>(unit))) {
                text.append(escape);
            } else {
                text.append(static_cast<char>(unit));
            }
        } else if (isHighSurrogate(unit) && i + 1 < count && isLowSurrogate(units[i + 1])) {
            appendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            appendUtf8(text, 0xFFFD);
        } else {
            appendUtf8(text, unit);
        }
    }
}

void appendEscapedLabelValue(QByteArray& text, std::string_view value) {
    for (char character : value) {
        if (const char* escape = escapeOf(static_cast<unsigned char>(character))) {
            text.append(escape);
        } else {
            text.append(character);
        }
    }
}

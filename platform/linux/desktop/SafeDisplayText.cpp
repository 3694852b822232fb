#include "platform/linux/desktop/SafeDisplayText.h"

#include <QStringDecoder>

namespace {

bool isBidiControl(char16_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E ||
           c == 0x200F || c == 0x061C;
}

}  // namespace

QString safeDisplayText(std::string_view bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);  // replaces invalid sequences with U+FFFD
    QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control || isBidiControl(c.unicode())) {
            c = QChar::ReplacementCharacter;
        }
    }
    return text;
}

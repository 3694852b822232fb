#include "exposition/AcceptHeader.h"

#include <optional>

namespace {

bool isSpace(char character) {
    return character == ' ' || character == '\t';
}

QByteArrayView trimmed(QByteArrayView text) {
    while (!text.isEmpty() && isSpace(text.front())) {
        text = text.sliced(1);
    }
    while (!text.isEmpty() && isSpace(text.back())) {
        text.chop(1);
    }
    return text;
}

// The parts of `text` between the separators that stand outside quoted strings.
QVector<QByteArrayView> split(QByteArrayView text, char separator) {
    QVector<QByteArrayView> parts;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (quoted && text[i] == '\\') {
            ++i;
        } else if (text[i] == '"') {
            quoted = !quoted;
        } else if (!quoted && text[i] == separator) {
            parts.append(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.sliced(start));
    return parts;
}

QByteArray unquoted(QByteArrayView value) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
        return value.toByteArray();
    }
    QByteArray text;
    for (qsizetype i = 1; i + 1 < value.size(); ++i) {
        if (value[i] == '\\' && i + 2 < value.size()) {
            ++i;
        }
        text.append(value[i]);
    }
    return text;
}

// A quality value: "0" or "1", or either with a point and up to three digits, at most 1.
std::optional<double> qualityOf(QByteArrayView text) {
    if (text.isEmpty() || (text[0] != '0' && text[0] != '1') || text.size() > 5) {
        return std::nullopt;
    }
    if (text.size() > 1) {
        if (text[1] != '.') {
            return std::nullopt;
        }
        for (qsizetype i = 2; i < text.size(); ++i) {
            if (text[i] < '0' || text[i] > '9' || (text[0] == '1' && text[i] != '0')) {
                return std::nullopt;
            }
        }
    }
    return QByteArray(text.data(), text.size()).toDouble();
}

std::optional<MediaRange> mediaRangeOf(QByteArrayView element) {
    const QVector<QByteArrayView> parts = split(element, ';');
    const QByteArrayView mediaType = trimmed(parts.front());
    const qsizetype slash = mediaType.indexOf('/');
    if (slash <= 0 || slash + 1 >= mediaType.size()) {
        return std::nullopt;
    }
    MediaRange range;
    range.type = mediaType.first(slash).toByteArray().toLower();
    range.subtype = trimmed(mediaType.sliced(slash + 1)).toByteArray().toLower();
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const qsizetype equals = parts[i].indexOf('=');
        if (equals < 0) {
            continue;
        }
        const QByteArray name = trimmed(parts[i].first(equals)).toByteArray().toLower();
        const QByteArrayView value = trimmed(parts[i].sliced(equals + 1));
        if (name == "q") {
            const std::optional<double> quality = qualityOf(value);
            if (!quality) {
                return std::nullopt;
            }
            range.quality = *quality;
        } else if (name == "version") {
            range.version = unquoted(value);
        }
    }
    return range;
}

}  // namespace

QVector<MediaRange> parseAcceptHeader(QByteArrayView header) {
    QVector<MediaRange> ranges;
    for (const QByteArrayView element : split(header, ',')) {
        if (trimmed(element).isEmpty()) {
            continue;
        }
        if (std::optional<MediaRange> range = mediaRangeOf(element)) {
            ranges.append(std::move(*range));
        }
    }
    return ranges;
}

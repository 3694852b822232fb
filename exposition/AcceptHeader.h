#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QVector>

#include <optional>

// One media range of an HTTP Accept header, its type and subtype in lower case.
struct MediaRange {
    QByteArray type;
    QByteArray subtype;
    double quality = 1;                 // the q parameter, 0 to 1
    std::optional<QByteArray> version;  // the version parameter, unquoted
};

// The media ranges of an Accept header in their order. A range without a slash or with a q
// that is not a quality value (0 to 1, at most three decimals) is left out.
QVector<MediaRange> parseAcceptHeader(QByteArrayView header);

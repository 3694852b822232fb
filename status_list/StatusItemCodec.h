#pragma once

#include "status_list/StatusItemEntry.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonValue>
#include <QVector>

#include <optional>

// The persisted form of the status item list: a JSON array with one object per entry in list
// order, each with exactly the keys "metric", "enabled" and "displayMode".

QJsonArray encodeStatusItemEntries(const QVector<StatusItemEntry>& items);
// The same array as compact JSON text.
QByteArray encodeStatusItemEntriesText(const QVector<StatusItemEntry>& items);

// Nothing unless every element decodes: an unknown raw value, a missing key, a value of the
// wrong type or an element that is not an object fails the whole list. A list naming one
// metric twice also fails, since the metric identifies a row. Other keys are ignored.
std::optional<QVector<StatusItemEntry>> decodeStatusItemEntries(const QJsonValue& stored);
// As above, from JSON text; malformed text fails.
std::optional<QVector<StatusItemEntry>> decodeStatusItemEntriesText(const QByteArray& text);

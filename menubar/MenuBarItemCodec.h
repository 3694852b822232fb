#pragma once

#include "menubar/MenuBarItemConfig.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonValue>
#include <QVector>

#include <optional>

// The persisted form of the menu-bar list: a JSON array with one object per entry in list
// order, each with exactly the keys "metric", "enabled" and "displayMode".

QJsonArray encodeMenuBarItems(const QVector<MenuBarItemConfig>& items);
// The same array as compact JSON text.
QByteArray encodeMenuBarItemsText(const QVector<MenuBarItemConfig>& items);

// Nothing unless every element decodes: an unknown raw value, a missing key, a value of the
// wrong type or an element that is not an object fails the whole list. A list naming one
// metric twice also fails, since the metric identifies a row. Other keys are ignored.
std::optional<QVector<MenuBarItemConfig>> decodeMenuBarItems(const QJsonValue& stored);
// As above, from JSON text; malformed text fails.
std::optional<QVector<MenuBarItemConfig>> decodeMenuBarItemsText(const QByteArray& text);

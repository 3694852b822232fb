#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QString>
#include <QStringList>

#include <optional>

// The Material Icons ligature that stands for one of the program's symbol names
// ("cpu" → "memory"); empty for a name without one.
QString materialIconName(const QString& symbolName);

// Every symbol name the table knows, in its order.
QStringList knownSymbolNames();

// The one glyph `symbolName` draws as in `symbolFont`, or nothing when the font is missing
// or has no such icon.
std::optional<QGlyphRun> symbolGlyph(const QString& symbolName, const QFont& symbolFont);

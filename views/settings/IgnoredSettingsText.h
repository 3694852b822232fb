#pragma once

#include "core/SettingRules.h"

#include <QString>
#include <QVector>

// How many of an import's ignored settings the Settings window names; the rest it counts.
inline constexpr int namedIgnoredSettings = 3;

// An import's ignored settings for its result line: their number, then the first few by name
// with why, then how many more: "14 settings left alone: theme (unknown setting), … and 11
// more". Empty when nothing was ignored.
QString ignoredSettingsText(const QVector<IgnoredSetting>& ignored,
                            int named = namedIgnoredSettings);

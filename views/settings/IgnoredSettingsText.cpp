#include "views/settings/IgnoredSettingsText.h"

#include <QStringList>

QString ignoredSettingsText(const QVector<IgnoredSetting>& ignored, int named) {
    if (ignored.isEmpty()) {
        return {};
    }
    QStringList names;
    for (qsizetype i = 0; i < ignored.size() && i < named; ++i) {
        names.append(QStringLiteral("%1 (%2)").arg(ignored[i].key, ignored[i].reason));
    }
    QString text = ignored.size() == 1
                       ? QStringLiteral("1 setting left alone: ")
                       : QStringLiteral("%1 settings left alone: ").arg(ignored.size());
    text += names.join(QStringLiteral(", "));
    if (ignored.size() > names.size()) {
        text += QStringLiteral(" … and %1 more").arg(ignored.size() - names.size());
    }
    return text;
}

#include "app/shell/SupportPage.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

bool supportPageExists(const QString& url) {
    const QUrl support(url);
    return support.isValid() && !support.isEmpty() &&
           (!support.isLocalFile() || QFileInfo::exists(support.toLocalFile()));
}

void openSupportPage(const QString& url) {
    QDesktopServices::openUrl(QUrl(url));
}

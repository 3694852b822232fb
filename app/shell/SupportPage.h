#pragma once

#include <QString>

// Whether the support page at `url` is there to open: nothing may point at a page that is not.
bool supportPageExists(const QString& url);
void openSupportPage(const QString& url);

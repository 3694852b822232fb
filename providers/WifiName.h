#pragma once

#include <QByteArray>
#include <QString>

// The network name to show for raw SSID bytes: at most 32 bytes, invalid UTF-8 replaced,
// control and text-direction characters dropped so a hostile name cannot garble the display.
QString wifiNameFromSsid(const QByteArray& ssid);

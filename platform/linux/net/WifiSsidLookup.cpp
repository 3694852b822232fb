#include "platform/linux/net/WifiSsidLookup.h"

WifiSsidLookup::WifiSsidLookup(std::unique_ptr<WifiSsidSource> reader)
    : worker_(std::move(reader)) {}

QByteArray WifiSsidLookup::readSsid(const QString& interfaceName) {
    const auto latest = worker_.latest();
    worker_.startIfIdle([interfaceName](WifiSsidSource& reader) {
        return Answer{interfaceName, reader.readSsid(interfaceName)};
    });
    return latest && latest->interfaceName == interfaceName ? latest->ssid : QByteArray();
}

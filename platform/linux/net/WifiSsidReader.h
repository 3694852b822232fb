#pragma once

#include "platform/NetworkSource.h"

struct nl_sock;

// The SSID of a wireless interface from nl80211 (GET_INTERFACE), which needs no root. The
// generic-netlink socket stays open across polls and the nl80211 family is resolved once;
// any failure closes the socket so the next call starts clean.
class WifiSsidReader final : public WifiSsidSource {
public:
    WifiSsidReader() = default;
    ~WifiSsidReader() override;
    WifiSsidReader(const WifiSsidReader&) = delete;
    WifiSsidReader& operator=(const WifiSsidReader&) = delete;

    QByteArray readSsid(const QString& interfaceName) override;

private:
    bool ensureOpen();
    void closeSocket();

    nl_sock* socket_ = nullptr;
    int familyId_ = -1;
};

#pragma once

#include "core/LatestResultWorker.h"
#include "platform/NetworkSource.h"

#include <memory>

// The Wi-Fi name for the poll without waiting for the kernel: each call hands a fresh lookup
// to a worker thread (unless one is still running) and answers with the latest finished one,
// so a name joins the poll after the one that asked. Empty until the first lookup for the
// interface has finished, and after the primary interface changes.
class WifiSsidLookup final : public WifiSsidSource {
public:
    explicit WifiSsidLookup(std::unique_ptr<WifiSsidSource> reader);

    QByteArray readSsid(const QString& interfaceName) override;

    // Blocks until the lookup in flight, if any, has finished; never called by a poll.
    void waitUntilIdle() { worker_.waitUntilIdle(); }

private:
    struct Answer {
        QString interfaceName;
        QByteArray ssid;
    };
    LatestResultWorker<WifiSsidSource, Answer> worker_;
};

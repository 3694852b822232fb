#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

// Asks a public echo service which address the machine's traffic leaves from.
class PublicAddressFetcher {
public:
    // The address, or nothing when the fetch failed or the answer was not an address.
    using Completion = std::function<void(std::optional<QString>)>;

    virtual ~PublicAddressFetcher() = default;
    // Begins one fetch and returns at once; `done` runs once, on the caller's thread.
    virtual void start(Completion done) = 0;
};

// The address an echo service answered with: the body trimmed of whitespace, accepted only
// when it is a plain IPv4 or IPv6 address (a captive portal's page is not). IPv6 comes back
// in its canonical form.
std::optional<QString> parsePublicAddress(const QByteArray& body);

// HTTPS GET through Qt Network. Bodies longer than an address are cut off as failures, and a
// fetch gives up after `transferTimeoutMs`, stalled or not. The reply is handled on the thread
// that owns the fetcher; destroying the fetcher abandons a fetch in flight without calling
// back.
class HttpPublicAddressFetcher final : public PublicAddressFetcher {
public:
    static constexpr int maximumBodyBytes = 64;

    explicit HttpPublicAddressFetcher(QUrl url = QUrl(QStringLiteral("https://api.ipify.org")),
                                      int transferTimeoutMs = 10'000);
    void start(Completion done) override;

private:
    QNetworkAccessManager manager_;
    QUrl url_;
    int transferTimeoutMs_;
};

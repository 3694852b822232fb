#pragma once

#include "core/ProviderInterfaces.h"
#include "shared/HelperService.h"
#include "shared/SensorReading.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

class Clock;
class QLocalSocket;

// The application's client of the sensor helper: one connection to the helper's socket on the
// main thread, opened by the first fetch and again by the first fetch after it was lost.
// Every failure (no helper, a refused or dropped connection, a malformed or oversized reply)
// gives the empty sensor record for that fetch. A helper that has not answered within
// `replyTimeout` ends the fetch the same way and loses its connection, so a hung helper never
// holds the poll loop; the next fetch connects anew. Each finished exchange sets the helper's
// state: answering, timed out, refused, or not installed when its socket is missing.
class SensorProvider final : public QObject, public SensorFetcher {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kReplyTimeout{3000};

    explicit SensorProvider(Clock& clock,
                            QString socketPath = QString::fromUtf8(helper_service::kSocketPath),
                            std::chrono::milliseconds replyTimeout = kReplyTimeout,
                            QObject* parent = nullptr);
    // A fetch still waiting ends with the empty record on the next turn of the event loop.
    ~SensorProvider() override;

    // Only one fetch runs at a time; one started while another waits gets the empty record.
    QCoro::Task<SensorStats> fetch() override;
    HelperState helperState() const override { return helperState_; }

    bool isConnected() const;

private:
    struct Exchange;

    // The exchange a new fetch waits on, with the request under way; none while one waits.
    std::shared_ptr<Exchange> beginExchange();
    void connectToHelper();
    void sendRequest();
    void readReply();
    void dropConnection();
    // Ends the exchange in progress, if any, with `reading`, or empty as `failure` says.
    void finish(std::optional<SensorReading> reading, HelperState failure = HelperState::refused);

    Clock& clock_;
    QString socketPath_;
    std::chrono::milliseconds replyTimeout_;
    QLocalSocket* socket_ = nullptr;
    std::shared_ptr<Exchange> exchange_;
    HelperState helperState_ = HelperState::notAskedYet;
};

#include "sensors/SensorProvider.h"

#include "core/Clock.h"
#include "sensors/SensorReadingMapping.h"
#include "shared/HelperReplies.h"
#include "shared/SensorReading.h"
#include "shared/WireFrame.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QPointer>

#include <array>
#include <coroutine>

// One request and its answer. The waiting fetch resumes on a later turn of the event loop,
// never inside a socket's signal, so whatever runs after the fetch may even delete the
// provider.
struct SensorProvider::Exchange {
    std::coroutine_handle<> waiter;
    std::optional<SensorReading> reading;
    bool finished = false;

    void finish(std::optional<SensorReading> result) {
        if (finished) {
            return;
        }
        finished = true;
        reading = result;
        if (waiter) {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [handle = waiter] { handle.resume(); },
                Qt::QueuedConnection);
        }
    }

    // Holds the exchange by plain pointer: the waiting fetch keeps it alive, and an awaiter
    // with nothing to destroy sidesteps this compiler's mishandling of co_await temporaries.
    struct Awaiter {
        Exchange* exchange;
        bool await_ready() const noexcept { return exchange->finished; }
        void await_suspend(std::coroutine_handle<> handle) noexcept { exchange->waiter = handle; }
        std::optional<SensorReading> await_resume() const { return exchange->reading; }
    };
};

SensorProvider::SensorProvider(Clock& clock, QString socketPath,
                               std::chrono::milliseconds replyTimeout, QObject* parent)
    : QObject(parent),
      clock_(clock),
      socketPath_(std::move(socketPath)),
      replyTimeout_(replyTimeout) {}

SensorProvider::~SensorProvider() {
    if (socket_ != nullptr) {
        socket_->disconnect(this);
        delete socket_;
    }
    if (exchange_) {
        exchange_->finish(std::nullopt);
    }
}

bool SensorProvider::isConnected() const {
    return socket_ != nullptr && socket_->state() == QLocalSocket::ConnectedState;
}

QCoro::Task<SensorStats> SensorProvider::fetch() {
    // The coroutine itself only waits: everything else happens in plain member functions.
    const std::shared_ptr<Exchange> exchange = beginExchange();
    if (!exchange) {
        co_return SensorStats{};
    }
    // Nothing of the provider is touched after this wait: it may be gone by then.
    const std::optional<SensorReading> reading = co_await Exchange::Awaiter{exchange.get()};
    co_return reading ? sensorStatsFrom(*reading) : SensorStats{};
}

std::shared_ptr<SensorProvider::Exchange> SensorProvider::beginExchange() {
    if (exchange_ && !exchange_->finished) {
        return nullptr;
    }
    auto exchange = std::make_shared<Exchange>();
    exchange_ = exchange;
    std::weak_ptr<Exchange> waiting = exchange;
    clock_.callAfter(replyTimeout_, [waiting, provider = QPointer<SensorProvider>(this)] {
        const auto exchange = waiting.lock();
        if (!exchange || exchange->finished) {
            return;
        }
        if (provider) {
            provider->dropConnection();
            provider->finish(std::nullopt, HelperState::timedOut);
        }
        exchange->finish(std::nullopt);
    });

    if (socket_ != nullptr && socket_->state() == QLocalSocket::UnconnectedState) {
        dropConnection();  // lost while idle: the helper may have ended in the meantime
    }
    if (socket_ == nullptr) {
        connectToHelper();
    } else if (socket_->state() == QLocalSocket::ConnectedState) {
        sendRequest();
    }
    return exchange;
}

void SensorProvider::connectToHelper() {
    socket_ = new QLocalSocket(this);
    socket_->setReadBufferSize(static_cast<qint64>(wire::kMaxFrameSize));
    connect(socket_, &QLocalSocket::connected, this, &SensorProvider::sendRequest);
    connect(socket_, &QLocalSocket::readyRead, this, &SensorProvider::readReply);
    connect(socket_, &QLocalSocket::disconnected, this, [this] {
        dropConnection();
        finish(std::nullopt);
    });
    connect(socket_, &QLocalSocket::errorOccurred, this,
            [this](QLocalSocket::LocalSocketError error) {
                dropConnection();
                finish(std::nullopt, error == QLocalSocket::ServerNotFoundError
                                         ? HelperState::notInstalled
                                         : HelperState::refused);
            });
    socket_->connectToServer(socketPath_);
}

void SensorProvider::sendRequest() {
    if (socket_ == nullptr || !exchange_ || exchange_->finished) {
        return;
    }
    const auto request = wire::encodeRequest(wire::Request::fetchSensors);
    const auto size = static_cast<qint64>(request.size());
    if (socket_->write(reinterpret_cast<const char*>(request.data()), size) != size) {
        dropConnection();
        finish(std::nullopt);
    }
}

void SensorProvider::readReply() {
    if (socket_ == nullptr) {
        return;
    }
    if (!exchange_ || exchange_->finished) {
        dropConnection();  // nothing was asked: the stream can no longer be trusted
        return;
    }
    std::array<std::uint8_t, wire::kHeaderSize> headerBytes{};
    if (socket_->peek(reinterpret_cast<char*>(headerBytes.data()), wire::kHeaderSize) <
        static_cast<qint64>(wire::kHeaderSize)) {
        return;  // the header is still on its way
    }
    const auto header = wire::decodeHeader(headerBytes);
    if (!header || header->kind != wire::FrameKind::reply ||
        header->request != wire::Request::fetchSensors) {
        dropConnection();
        finish(std::nullopt);
        return;
    }
    if (socket_->bytesAvailable() < static_cast<qint64>(header->length)) {
        return;  // the rest of the frame is still on its way
    }
    wire::Frame frame(header->length);
    const auto length = static_cast<qint64>(frame.size());
    const bool whole = socket_->read(reinterpret_cast<char*>(frame.data()), length) == length;
    const auto reading = whole ? wire::decodeSensorReply(frame) : std::nullopt;
    // Bytes beyond the one reply were never asked for.
    if (!reading || socket_->bytesAvailable() > 0) {
        dropConnection();
        finish(std::nullopt);
        return;
    }
    finish(reading);
}

void SensorProvider::dropConnection() {
    if (socket_ == nullptr) {
        return;
    }
    QLocalSocket* socket = socket_;
    socket_ = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void SensorProvider::finish(std::optional<SensorReading> reading, HelperState failure) {
    if (!exchange_ || exchange_->finished) {
        return;  // nothing asked: a later loss of the idle connection says nothing yet
    }
    helperState_ = reading ? HelperState::answering : failure;
    exchange_->finish(reading);
}

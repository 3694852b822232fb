#include "exporter/ConnectionWatch.h"

#include <QPointer>
#include <QTcpSocket>

ConnectionWatch::ConnectionWatch(QTcpSocket& socket, Clock& clock, const ConnectionLimits& limits,
                                 std::function<void()> onGone)
    : QObject(&socket),
      socket_(socket),
      clock_(clock),
      deadline_(limits.time, clock.steadyNow()),
      largestRequestBytes_(limits.largestRequestBytes),
      onGone_(std::move(onGone)) {
    // Connected before the HTTP server's own handler, so it sees every byte before that reads.
    connect(&socket_, &QTcpSocket::readyRead, this, &ConnectionWatch::bytesArrived);
    scheduleCheck();
}

ConnectionWatch::~ConnectionWatch() {
    onGone_();
}

void ConnectionWatch::answered() {
    deadline_.answered(clock_.steadyNow());
    requestBytes_ = 0;
}

void ConnectionWatch::bytesArrived() {
    deadline_.requestBytesArrived(clock_.steadyNow());
    // The server leaves a partial request in the socket and reads it again whole, so such
    // bytes count again at the next signal: a request can only look larger than it is. A full
    // read buffer always reaches the limit.
    requestBytes_ += socket_.bytesAvailable();
    if (requestBytes_ >= largestRequestBytes_) {
        // Closed once the HTTP server's handler of this signal has run, which would otherwise
        // read from a closed socket.
        QMetaObject::invokeMethod(this, &ConnectionWatch::close, Qt::QueuedConnection);
    }
}

// One pending check per connection, at the deadline known when it was set; a check that finds
// the deadline moved on sets the next one. The check is driven by the clock, not by the
// socket's signals, so it holds even for a socket the HTTP parser has given up on.
void ConnectionWatch::scheduleCheck() {
    if (checkPending_) {
        return;
    }
    checkPending_ = true;
    const auto wait =
        std::max(deadline_.deadline() - clock_.steadyNow(), Clock::SteadyTime::duration::zero());
    clock_.callAfter(wait, [watch = QPointer<ConnectionWatch>(this)] {
        if (watch) {
            watch->checkPending_ = false;
            watch->check();
        }
    });
}

void ConnectionWatch::check() {
    if (!deadline_.expiredAt(clock_.steadyNow())) {
        scheduleCheck();
        return;
    }
    close();
}

void ConnectionWatch::close() {
    socket_.abort();
    socket_.deleteLater();
}

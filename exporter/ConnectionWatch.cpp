#include "exporter/ConnectionWatch.h"

#include <QPointer>
#include <QTcpSocket>

ConnectionWatch::ConnectionWatch(QTcpSocket& socket, Clock& clock, ConnectionTimeLimits limits,
                                 std::function<void()> onGone)
    : QObject(&socket),
      socket_(socket),
      clock_(clock),
      deadline_(limits, clock.steadyNow()),
      onGone_(std::move(onGone)) {
    connect(&socket_, &QTcpSocket::readyRead, this, [this] {
        deadline_.requestBytesArrived(clock_.steadyNow());
        // A full read buffer is a request the HTTP parser has not taken whole: far beyond a
        // scrape's few hundred bytes, it ends the connection now rather than at its deadline.
        // Closed once the HTTP server's own handler of this signal has run, which would
        // otherwise read from a closed socket.
        if (socket_.readBufferSize() > 0 && socket_.bytesAvailable() >= socket_.readBufferSize()) {
            QMetaObject::invokeMethod(this, &ConnectionWatch::close, Qt::QueuedConnection);
        }
    });
    scheduleCheck();
}

ConnectionWatch::~ConnectionWatch() {
    onGone_();
}

void ConnectionWatch::answered() {
    deadline_.answered(clock_.steadyNow());
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

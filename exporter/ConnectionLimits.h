#pragma once

#include "exporter/ConnectionDeadline.h"

#include <QtGlobal>

// What one scraper may cost the exporter: its time, the connections at once, and the bytes of
// a request held in memory.
struct ConnectionLimits {
    ConnectionTimeLimits time;
    int mostConnections = 512;  // beyond that, a new connection is closed at once
    // The socket's read buffer: a client that sends more than this without being answered
    // waits on TCP, and is closed at its deadline. A scrape's request is a few hundred bytes.
    qint64 readBufferBytes = 16 * 1024;
};

#pragma once

#include "exporter/ConnectionDeadline.h"

#include <QtGlobal>

// What one scraper may cost the exporter: its time, the connections at once, and the bytes of
// a request held in memory.
struct ConnectionLimits {
    ConnectionTimeLimits time;
    int mostConnections = 512;  // beyond that, a new connection is closed at once
    // The most bytes of one request (a scrape's is a few hundred), and the socket's read
    // buffer: a request beyond it ends its connection, and a client that sends faster than
    // the server reads waits on TCP, never in the exporter's memory.
    qint64 largestRequestBytes = 16 * 1024;
};

#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// Where --serve listens.
struct ServeAddress {
    QHostAddress address{QHostAddress::LocalHost};
    quint16 port = 0;  // 0: a free port the system chooses
};

// What the command line of vantrel-sample asks for.
struct SampleOptions {
    std::optional<std::int64_t> count;  // polls to print; absent = until interrupted
    std::optional<double> interval;     // seconds between polls, for this run only
    // Record the polls to a CSV file: this path, or, when empty, a new file in the Desktop
    // folder. Absent = no recording.
    std::optional<QString> record;
    std::optional<QString> snapshot;    // write a CSV snapshot here after the last poll
    std::optional<ServeAddress> serve;  // answer Prometheus scrapes here
    std::optional<QString> textfile;    // replace this file with the exposition after every poll
    bool help = false;
    bool version = false;
};

struct SampleOptionsResult {
    std::optional<SampleOptions> options;
    QString error;  // one line, set when options is absent
};

// Parses the arguments after the program name. A bad argument gives one line saying what is
// wrong; the caller exits with status 2.
SampleOptionsResult parseSampleOptions(const QStringList& arguments);

QString sampleUsage();

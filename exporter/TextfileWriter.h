#pragma once

#include <QByteArray>
#include <QString>

// The node exporter's textfile: the exposition replaced whole after every poll (a temporary
// beside it, whose name does not end in ".prom", then a rename), readable by every user.
class TextfileWriter {
public:
    explicit TextfileWriter(QString path) : path_(std::move(path)) {}

    // Why the file cannot be written at all (its folder is missing), empty when it can be tried.
    QString startProblem() const;

    // Replaces the file with `exposition`. Returns a line worth printing when the outcome
    // changes: the first failure of a run of them, or the first success after one; else empty,
    // so a full disk gives one line, not one per poll.
    QString write(const QByteArray& exposition);

private:
    QString path_;
    QString lastError_;
};

#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>

// Reading a rendered exposition back, for the tests.

// The sample lines (every line that is not a comment), in order.
QByteArrayList sampleLines(const QByteArray& exposition);
// The sample line of `series` (its name and labels as written), or an empty array.
QByteArray sampleOf(const QByteArray& exposition, const QByteArray& series);
// Whether any line starts with `prefix`.
bool hasLineStarting(const QByteArray& exposition, const QByteArray& prefix);

struct PromtoolVerdict {
    bool ran = false;  // false when promtool is missing or did not finish
    int exitCode = -1;
    QString output;  // its standard output and error together
};
// `promtool check metrics` on the text format.
PromtoolVerdict promtoolCheckMetrics(const QByteArray& exposition);

// What is wrong with an OpenMetrics exposition's structure; empty when nothing is.
QStringList openMetricsProblems(const QByteArray& exposition);

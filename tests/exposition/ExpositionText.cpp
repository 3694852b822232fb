#include "ExpositionText.h"

#include <QHash>
#include <QProcess>
#include <QTemporaryFile>

QByteArrayList sampleLines(const QByteArray& exposition) {
    QByteArrayList samples;
    for (const QByteArray& line : exposition.split('\n')) {
        if (!line.isEmpty() && !line.startsWith('#')) {
            samples.append(line);
        }
    }
    return samples;
}

QByteArray sampleOf(const QByteArray& exposition, const QByteArray& series) {
    for (const QByteArray& line : sampleLines(exposition)) {
        if (line.startsWith(series + ' ')) {
            return line;
        }
    }
    return {};
}

bool hasLineStarting(const QByteArray& exposition, const QByteArray& prefix) {
    for (const QByteArray& line : exposition.split('\n')) {
        if (line.startsWith(prefix)) {
            return true;
        }
    }
    return false;
}

PromtoolVerdict promtoolCheckMetrics(const QByteArray& exposition) {
    QTemporaryFile file;
    if (!file.open() || file.write(exposition) != exposition.size() || !file.flush()) {
        return {};
    }
    QProcess promtool;
    promtool.setProcessChannelMode(QProcess::MergedChannels);
    promtool.setStandardInputFile(file.fileName());
    promtool.start(QStringLiteral(PROMTOOL_PATH),
                   {QStringLiteral("check"), QStringLiteral("metrics")});
    if (!promtool.waitForFinished(30'000) || promtool.exitStatus() != QProcess::NormalExit) {
        return {};
    }
    return {true, promtool.exitCode(), QString::fromUtf8(promtool.readAll())};
}

namespace {

// The sample name of a line: what stands before its labels or its value.
QByteArray sampleName(const QByteArray& line) {
    const qsizetype end = line.indexOf(line.contains('{') ? '{' : ' ');
    return line.first(end < 0 ? line.size() : end);
}

// The names a family of `type` gives its samples.
bool belongsTo(const QByteArray& name, const QByteArray& family, const QByteArray& type) {
    if (type == "counter") {
        return name == family + "_total";
    }
    if (type == "info") {
        return name == family + "_info";
    }
    return name == family;
}

}  // namespace

QStringList openMetricsProblems(const QByteArray& exposition) {
    QStringList problems;
    if (!exposition.endsWith("\n# EOF\n")) {
        problems << QStringLiteral("does not end with the line # EOF");
    }
    QByteArrayList lines = exposition.split('\n');
    lines.removeLast();  // after the final line feed
    lines.removeLast();  // # EOF
    QHash<QByteArray, QByteArray> typeOf;
    QByteArray helpFamily;
    QByteArray family;
    for (const QByteArray& line : lines) {
        const QByteArrayList words = line.split(' ');
        if (line.startsWith("# HELP ") && words.size() >= 4) {
            helpFamily = words[2];
        } else if (line.startsWith("# TYPE ") && words.size() == 4) {
            family = words[2];
            if (family != helpFamily) {
                problems << QStringLiteral("TYPE of %1 not right after its HELP").arg(family);
            }
            if (typeOf.contains(family)) {
                problems << QStringLiteral("family %1 declared twice").arg(family);
            }
            if (family.endsWith("_total") || family.endsWith("_info")) {
                problems << QStringLiteral("family %1 keeps its sample suffix").arg(family);
            }
            typeOf.insert(family, words[3]);
        } else if (line.startsWith('#') || line.isEmpty()) {
            problems << QStringLiteral("stray line: %1").arg(line);
        } else if (!belongsTo(sampleName(line), family, typeOf.value(family))) {
            problems << QStringLiteral("sample outside its family %1: %2").arg(family, line);
        }
    }
    return problems;
}

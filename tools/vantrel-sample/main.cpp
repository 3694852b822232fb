#include "SampleOptions.h"
#include "core/AppSettings.h"
#include "core/Clock.h"
#include "core/InterruptWatcher.h"
#include "core/RecordJson.h"
#include "core/SettingsFile.h"
#include "core/SystemMonitor.h"
#include "exporter/ExpositionCache.h"
#include "exporter/MetricsEndpoint.h"
#include "exporter/TextfileWriter.h"
#include "exposition/MetricsSnapshot.h"
#include "linux_monitor/LinuxMonitorParts.h"
#include "recording/CsvFormat.h"
#include "recording/CsvRecorder.h"
#include "recording/ReportText.h"
#include "recording/SnapshotFile.h"
#include "sensors/HelperPresence.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <cstdio>
#include <memory>

namespace {

QJsonObject pollObject(const SystemMonitor& monitor) {
    return {{"cpu", toJson(monitor.cpu())},
            {"ram", toJson(monitor.ram())},
            {"network", toJson(monitor.network())},
            {"battery", toJson(monitor.battery())},
            {"disk", toJson(monitor.disk())},
            {"gpu", toJson(monitor.gpu())},
            {"processes", toJson(monitor.processes())},
            {"thermalState", thermalStateValue(monitor.thermalState())},
            {"sensors", toJson(monitor.sensors())},
            {"session", toJson(monitor.session())}};
}

// One whole line per write, so a reader never sees half an object.
bool printLine(const QJsonObject& object) {
    QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact);
    line.append('\n');
    return std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout) ==
               static_cast<std::size_t>(line.size()) &&
           std::fflush(stdout) == 0;
}

void printError(const QString& text) {
    std::fprintf(stderr, "vantrel-sample: %s\n", qPrintable(text));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel-sample"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));

    const auto parsed = parseSampleOptions(QCoreApplication::arguments().mid(1));
    if (!parsed.options) {
        std::fprintf(stderr, "vantrel-sample: %s\n", qPrintable(parsed.error));
        return 2;
    }
    const SampleOptions& options = *parsed.options;
    if (options.help) {
        std::fputs(qPrintable(sampleUsage()), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("vantrel-sample " VANTREL_VERSION);
        return 0;
    }

    SystemClock clock;
    // The user's settings are read, never written: --interval applies to this run only.
    SettingsFile defaults(SettingsFile::defaultFilePath(), clock);
    defaults.keepChangesInMemory();
    AppSettings settings(defaults);
    if (options.interval) {
        settings.setRefreshInterval(*options.interval);
    }

    MonitorParts parts = makeLinuxMonitorParts(clock);
    auto ownRecorder = std::make_unique<CsvRecorder>(clock);
    CsvRecorder& recorder = *ownRecorder;
    parts.recorder = std::move(ownRecorder);
    SystemMonitor monitor(settings, clock, std::move(parts));
    // The helper's socket stands for its installation: with it, every poll asks for sensors.
    monitor.setHelperAvailable(helperSocketPresent());
    // Every poll prints every record, so every source is sampled.
    const SamplingDemand::Token everything = monitor.demand().acquire(SourceSet::all());
    int exitCode = 0;

    if (options.record) {
        const FileResult started = options.record->isEmpty()
                                       ? recorder.startRecording()
                                       : recorder.startRecordingAt(*options.record);
        if (!started.ok()) {
            printError(QStringLiteral("cannot record: %1").arg(started.error));
            return 1;
        }
        printError(QStringLiteral("recording to %1").arg(recorder.filePath().value_or(QString())));
        // A row the disk would not take ends the recording, and with it the run.
        QObject::connect(&recorder, &SampleRecorder::isRecordingChanged, &app, [&] {
            if (!recorder.isRecording() && !recorder.lastError().isEmpty()) {
                printError(QStringLiteral("recording stopped: %1").arg(recorder.lastError()));
                exitCode = 1;
                QCoreApplication::quit();
            }
        });
        QObject::connect(&recorder, &SampleRecorder::lastReportChanged, &app, [&] {
            if (recorder.lastReport()) {
                const QString summary =
                    summaryText(*recorder.lastReport(), QTimeZone::systemTimeZone());
                std::fprintf(stderr, "%s\n", summary.toUtf8().constData());
            }
        });
    }
    // An exporter runs for days in a journal: its figures go to scrapers and the textfile,
    // not to standard output.
    const bool exporting = options.serve || options.textfile;
    ExpositionCache exposition;
    std::unique_ptr<MetricsEndpoint> endpoint;
    QString endpointName;
    if (options.serve) {
        endpoint = std::make_unique<MetricsEndpoint>(exposition, clock);
        const ListenResult listened = endpoint->listen(options.serve->address, options.serve->port);
        if (!listened.ok()) {
            printError(QStringLiteral("cannot listen on %1: %2")
                           .arg(endpointText(options.serve->address, options.serve->port),
                                listened.error));
            return 1;
        }
        endpointName = endpointText(options.serve->address, listened.port);
    }
    std::optional<TextfileWriter> textfile;
    if (options.textfile) {
        textfile.emplace(*options.textfile);
        if (const QString problem = textfile->startProblem(); !problem.isEmpty()) {
            printError(problem);
            return 1;
        }
    }

    std::int64_t printed = 0;
    QObject::connect(&monitor, &SystemMonitor::pollFinished, &app, [&] {
        ++printed;
        if (exporting) {
            exposition.setSnapshot(metricsSnapshotOf(monitor, QStringLiteral(VANTREL_VERSION)));
            if (textfile) {
                const QString change =
                    textfile->write(exposition.rendering(ExpositionFormat::prometheusText));
                if (!change.isEmpty()) {
                    printError(change);
                }
            }
            if (endpoint && printed == 1) {
                // Scrapes wait in the system's queue until there are figures to answer with.
                endpoint->startAccepting();
                printError(
                    QStringLiteral("serving metrics on http://%1/metrics").arg(endpointName));
            }
        } else if (!printLine(pollObject(monitor))) {
            exitCode = 1;  // standard output is gone: nobody is reading any more
            QCoreApplication::quit();
            return;
        }
        if (options.count && printed >= *options.count) {
            QCoreApplication::quit();
        }
    });

    InterruptWatcher interrupts;
    QObject::connect(&interrupts, &InterruptWatcher::interrupted, &app, &QCoreApplication::quit);

    monitor.startPolling();
    const int loopResult = QCoreApplication::exec();
    recorder.stopRecording();
    if (options.snapshot) {
        const FileResult written =
            writeSnapshotFile(*options.snapshot, buildSnapshotCsv(monitor, clock.wallNow()));
        if (!written.ok()) {
            printError(written.error);
            exitCode = 1;
        }
    }
    return exitCode != 0 ? exitCode : loopResult;
}

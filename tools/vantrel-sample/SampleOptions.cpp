#include "SampleOptions.h"

#include <QCommandLineParser>

#include <cmath>

namespace {

// One day: longer waits are surely a typo, and they keep the wait inside a nanosecond count.
constexpr double kLongestIntervalSeconds = 86400.0;

const QString kCountNeeds = QStringLiteral("--count needs a whole number of polls, 1 or more");
const QString kIntervalNeeds =
    QStringLiteral("--interval needs a number of seconds above 0 and at most 86400");
const QString kSnapshotNeeds = QStringLiteral("--snapshot needs a file path");
const QString kRecordNeeds = QStringLiteral("--record= needs a file path");
const QString kServeNeeds = QStringLiteral(
    "--serve needs [ADDRESS:]PORT: an IP address (IPv6 in brackets) and a port "
    "from 0 to 65535");
const QString kTextfileNeeds = QStringLiteral("--textfile needs a file path");

std::optional<std::int64_t> positiveInteger(const QString& text) {
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < 1) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> positiveSeconds(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0 || value > kLongestIntervalSeconds) {
        return std::nullopt;
    }
    return value;
}

// "9105", "127.0.0.1:9105", "0.0.0.0:0" or "[::1]:9105".
std::optional<ServeAddress> serveAddress(const QString& text) {
    ServeAddress serve;
    QString portText = text;
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon >= 0) {
        QString host = text.left(colon);
        portText = text.mid(colon + 1);
        const bool bracketed = host.startsWith(u'[') && host.endsWith(u']');
        if (bracketed) {
            host = host.mid(1, host.size() - 2);
        }
        // An IPv6 address needs its brackets, or its last group would be taken for the port.
        if (host.contains(u':') != bracketed || !serve.address.setAddress(host) ||
            host.contains(u'%')) {
            return std::nullopt;
        }
    }
    bool ok = false;
    const uint port = portText.toUInt(&ok);
    if (!ok || port > 65535 || portText.startsWith(u'+')) {
        return std::nullopt;
    }
    serve.port = static_cast<quint16>(port);
    return serve;
}

QString unknownArgument(const QString& argument) {
    return QStringLiteral("unknown argument '%1' (see --help)").arg(argument);
}

// The argument as given that names `option` (without dashes), for messages.
QString argumentNaming(const QStringList& arguments, const QString& option) {
    for (const QString& argument : arguments) {
        QString name = argument.section(u'=', 0, 0);
        while (name.startsWith(u'-')) {
            name.remove(0, 1);
        }
        if (name == option) {
            return argument;
        }
    }
    return (option.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + option;
}

}  // namespace

SampleOptionsResult parseSampleOptions(const QStringList& arguments) {
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption count(QStringLiteral("count"), {}, QStringLiteral("N"));
    const QCommandLineOption interval(QStringLiteral("interval"), {}, QStringLiteral("SECONDS"));
    const QCommandLineOption record(QStringLiteral("record"), {}, QStringLiteral("PATH"));
    const QCommandLineOption snapshot(QStringLiteral("snapshot"), {}, QStringLiteral("PATH"));
    const QCommandLineOption serve(QStringLiteral("serve"), {}, QStringLiteral("ADDRESS:PORT"));
    const QCommandLineOption textfile(QStringLiteral("textfile"), {}, QStringLiteral("PATH"));
    // "--record" takes its path only when one follows; the parser knows values that are either
    // required or absent, so a bare "--record" is handed to it under a name of its own.
    const QCommandLineOption recordToDesktop(QStringLiteral("record-to-desktop"));

    QStringList given{QStringLiteral("vantrel-sample")};
    for (int i = 0; i < arguments.size(); ++i) {
        const bool pathFollows = i + 1 < arguments.size() && !arguments[i + 1].startsWith(u"--");
        given.append(arguments[i] == u"--record" && !pathFollows
                         ? QStringLiteral("--") + recordToDesktop.names()[0]
                         : arguments[i]);
    }

    QCommandLineParser parser;
    parser.addOptions(
        {help, version, count, interval, record, snapshot, serve, textfile, recordToDesktop});
    if (!parser.parse(given)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            return {std::nullopt,
                    unknownArgument(argumentNaming(arguments, parser.unknownOptionNames()[0]))};
        }
        // Otherwise a switch was given a value, or the last option lacks its value.
        for (const QString& argument : arguments) {
            if (argument.startsWith(u"--") && argument.contains(u'=')) {
                const QString name = argument.section(u'=', 0, 0).mid(2);
                if (name == help.names()[1] || name == version.names()[0] ||
                    name == recordToDesktop.names()[0]) {
                    return {std::nullopt, unknownArgument(argument)};
                }
            }
        }
        const std::pair<const QCommandLineOption*, const QString*> needs[] = {
            {&count, &kCountNeeds},
            {&interval, &kIntervalNeeds},
            {&snapshot, &kSnapshotNeeds},
            {&serve, &kServeNeeds},
            {&textfile, &kTextfileNeeds}};
        for (const auto& [option, message] : needs) {
            if (arguments.last() == QStringLiteral("--") + option->names()[0]) {
                return {std::nullopt, *message};
            }
        }
        return {std::nullopt, unknownArgument(arguments.last())};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return {std::nullopt, unknownArgument(parser.positionalArguments().first())};
    }

    SampleOptions options;
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    if (parser.isSet(count)) {
        options.count = positiveInteger(parser.value(count));
        if (!options.count) {
            return {std::nullopt, kCountNeeds};
        }
    }
    if (parser.isSet(interval)) {
        options.interval = positiveSeconds(parser.value(interval));
        if (!options.interval) {
            return {std::nullopt, kIntervalNeeds};
        }
    }
    if (parser.isSet(record)) {
        options.record = parser.value(record);
        if (options.record->isEmpty()) {
            return {std::nullopt, kRecordNeeds};
        }
    } else if (parser.isSet(recordToDesktop)) {
        options.record = QString();
    }
    if (parser.isSet(snapshot)) {
        options.snapshot = parser.value(snapshot);
        if (options.snapshot->isEmpty()) {
            return {std::nullopt, kSnapshotNeeds};
        }
    }
    if (parser.isSet(serve)) {
        options.serve = serveAddress(parser.value(serve));
        if (!options.serve) {
            return {std::nullopt, kServeNeeds};
        }
    }
    if (parser.isSet(textfile)) {
        options.textfile = parser.value(textfile);
        if (options.textfile->isEmpty()) {
            return {std::nullopt, kTextfileNeeds};
        }
    }
    return {options, {}};
}

QString sampleUsage() {
    return QStringLiteral(
        "Usage: vantrel-sample [--count N] [--interval SECONDS] [--record [PATH]]\n"
        "                      [--snapshot PATH] [--serve [ADDRESS:]PORT]\n"
        "                      [--textfile PATH]\n"
        "\n"
        "Samples this machine as the Vantrel monitor does and prints one JSON object per poll\n"
        "on standard output: cpu, ram, network, battery, disk, gpu, processes, thermalState,\n"
        "sensors and session, with the records' field names. sensors.sensors lists every\n"
        "sensor reading of the machine: chip, sensor, chipName, label, kind (temperature,\n"
        "fan, voltage, current, power, energy), unit (celsius, rpm, volts, amperes, watts,\n"
        "joules), value, min, max and critical; a number not measured is null.\n"
        "\n"
        "  --count N           print N polls, then exit (default: until interrupted)\n"
        "  --interval SECONDS  seconds between polls for this run (default: the refresh\n"
        "                      interval of the settings, 2 seconds unless changed)\n"
        "  --record [PATH]     record every poll as a CSV row to PATH (default: a new\n"
        "                      vantrel-recording-<local time>.csv in the Desktop folder);\n"
        "                      when the run ends, a summary of the recording goes to\n"
        "                      standard error\n"
        "  --snapshot PATH     after the last poll, write the current readings and the\n"
        "                      history of the last 60 polls as CSV to PATH\n"
        "  --serve [ADDRESS:]PORT\n"
        "                      answer Prometheus scrapes of http://ADDRESS:PORT/metrics\n"
        "                      with the latest poll's figures (ADDRESS: an IP address,\n"
        "                      IPv6 in brackets; default 127.0.0.1; port 0: a free one,\n"
        "                      named on standard error)\n"
        "  --textfile PATH     after every poll, replace PATH with the same figures, for\n"
        "                      the node exporter's textfile collector\n"
        "                      With --serve or --textfile no JSON is printed.\n"
        "  --version           show the version\n"
        "  --help              show this text\n"
        "\n"
        "The first two polls come 0.05 s and 0.8 s after start; rates and CPU shares of the\n"
        "first poll are 0 because there is no earlier sample to compare with.\n");
}

#include "SampleOptions.h"

#include <cmath>

namespace {

// One day: longer waits are surely a typo, and they keep the wait inside a nanosecond count.
constexpr double kLongestIntervalSeconds = 86400.0;

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

}  // namespace

SampleOptionsResult parseSampleOptions(const QStringList& arguments) {
    SampleOptions options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        QString name = argument;
        std::optional<QString> value;
        if (const int equals = argument.indexOf(u'='); argument.startsWith(u"--") && equals > 0) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
        }
        const auto takeValue = [&]() -> std::optional<QString> {
            if (value) {
                return value;
            }
            if (i + 1 < arguments.size()) {
                return arguments[++i];
            }
            return std::nullopt;
        };

        if (name == u"--help" || name == u"-h") {
            options.help = true;
        } else if (name == u"--count") {
            const auto text = takeValue();
            options.count = text ? positiveInteger(*text) : std::nullopt;
            if (!options.count) {
                return {std::nullopt,
                        QStringLiteral("--count needs a whole number of polls, 1 or more")};
            }
        } else if (name == u"--interval") {
            const auto text = takeValue();
            options.interval = text ? positiveSeconds(*text) : std::nullopt;
            if (!options.interval) {
                return {std::nullopt,
                        QStringLiteral(
                            "--interval needs a number of seconds above 0 and at most 86400")};
            }
        } else if (name == u"--record") {
            // The path is optional: a following option is not taken for one.
            if (!value && i + 1 < arguments.size() && !arguments[i + 1].startsWith(u"--")) {
                value = arguments[++i];
            }
            options.record = value.value_or(QString());
            if (value && value->isEmpty()) {
                return {std::nullopt, QStringLiteral("--record= needs a file path")};
            }
        } else if (name == u"--snapshot") {
            options.snapshot = takeValue();
            if (!options.snapshot || options.snapshot->isEmpty()) {
                return {std::nullopt, QStringLiteral("--snapshot needs a file path")};
            }
        } else {
            return {std::nullopt,
                    QStringLiteral("unknown argument '%1' (see --help)").arg(argument)};
        }
    }
    return {options, {}};
}

QString sampleUsage() {
    return QStringLiteral(
        "Usage: vantrel-sample [--count N] [--interval SECONDS] [--record [PATH]]\n"
        "                      [--snapshot PATH]\n"
        "\n"
        "Samples this machine as the Vantrel monitor does and prints one JSON object per poll\n"
        "on standard output: cpu, ram, network, battery, disk, gpu, processes, thermalState,\n"
        "sensors and session, with the records' field names.\n"
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
        "  --help              show this text\n"
        "\n"
        "The first two polls come 0.05 s and 0.8 s after start; rates and CPU shares of the\n"
        "first poll are 0 because there is no earlier sample to compare with.\n");
}

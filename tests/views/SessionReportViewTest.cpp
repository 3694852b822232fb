#include "recording/SessionReportBuilder.h"
#include "support/QStringPrinter.h"
#include "views/kit/ValueRow.h"
#include "views/report/ReportPdf.h"
#include "views/report/ReportPdfExport.h"
#include "views/report/SessionReportView.h"
#include "views/report/SessionReportWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;

// 2026-01-31T14:05:09Z; the views show times in UTC here.
const Clock::WallTime kStart = Clock::WallTime{} + 1769868309s;
const QTimeZone kUtc = QTimeZone::utc();

// Samples 10 s apart, each made by `fill` from its position.
template <typename Fill>
SessionReport reportOf(int count, Fill fill) {
    QVector<RecordedSample> samples;
    for (int i = 0; i < count; ++i) {
        RecordedSample sample;
        sample.timestamp = kStart + 10s * i;
        sample.cpuTemp = 60;
        sample.fanRpm = 1200;
        fill(sample, i);
        samples.append(sample);
    }
    return buildSessionReport(samples, kStart);
}

// What the label a screen reader calls `name` shows.
QString shown(const QWidget& view, const QString& name) {
    for (const QLabel* label : view.findChildren<QLabel*>()) {
        if (label->accessibleName() == name) {
            return label->text();
        }
    }
    return QStringLiteral("<none>");
}

// The value of the row `label` in the card (or column) a screen reader calls `group`.
QString rowValue(const QWidget& view, const QString& group, const QString& label) {
    for (const QWidget* holder : view.findChildren<QWidget*>()) {
        if (holder->accessibleName() != group) {
            continue;
        }
        for (const ValueRow* row : holder->findChildren<ValueRow*>()) {
            if (row->label() == label) {
                return row->value();
            }
        }
    }
    return QStringLiteral("<none>");
}

// The texts of the card (or column) a screen reader calls `group`, in order: its headings and
// notes as they read, its rows as "label value".
QStringList textsOf(const QWidget& view, const QString& group) {
    for (const QWidget* holder : view.findChildren<QWidget*>()) {
        if (holder->accessibleName() != group) {
            continue;
        }
        QStringList texts;
        for (const QWidget* child : holder->findChildren<QWidget*>()) {
            if (const auto* label = qobject_cast<const QLabel*>(child)) {
                texts.append(label->text());
            } else if (const auto* row = qobject_cast<const ValueRow*>(child)) {
                texts.append(row->label() + u' ' + row->value());
            }
        }
        return texts;
    }
    return {QStringLiteral("<none>")};
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed (poppler-utils installed?): "
                      << process.readAllStandardError().toStdString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(SessionReportView, CardsOfExampleReports) {
    // A row of a card, or with no card a text of its own ("Duration", "Thermal throttling").
    struct Shown {
        QString card;
        QString label;
        QString text;
    };
    struct Case {
        const char* name;
        SessionReport report;
        std::vector<Shown> expected;
    };
    const QString none = QStringLiteral("No thermal throttling detected");
    const std::vector<Case> cases = {
        {"one sample",
         reportOf(1, [](RecordedSample& s, int) { s.cpuPercent = 95; }),
         {{"", "Recorded", "Jan 31, 14:05 → Jan 31, 14:05"},
          {"", "Duration", "0s"},
          {"", "Samples", "1"},
          {"CPU Usage", "Average", "95.0%"},
          {"CPU Usage", "Peak", "95.0% at 14:05:09"},
          {"CPU Usage", ">80%", "2s"},
          {"CPU Usage", ">90%", "2s"},
          {"", "Thermal throttling", none}}},
        {"a sensor reading 0 °C",
         reportOf(3, [](RecordedSample& s, int) { s.cpuTemp = 0; }),
         {{"CPU temperature", "Average", "0.0 °C"},
          {"CPU temperature", "Peak", "0.0 °C"},
          {"CPU temperature", "Peak at", "14:05:09"},
          {"CPU temperature", ">80°C", "None"}}},
        {"fans idle",
         reportOf(4, [](RecordedSample& s, int) { s.fanRpm = 0; }),
         {{"Fans", "Average (active)", "—"},
          {"Fans", "Idle", "100%"},
          {"Fans", "Peak", "0 RPM at 14:05:09"}}},
        {"throttled, battery draining",
         reportOf(5,
                  [](RecordedSample& s, int i) {
                      s.thermalState = std::vector{0, 2, 3, 0, 2}[i];
                      s.batteryPercent = 80 - i;
                      s.systemPower = 10 + i;
                  }),
         {{"Thermal", "Throttle Time", "30s"},
          {"Thermal", "Episodes", "2"},
          {"", "Thermal throttling", "<none>"},
          {"Battery", "Start", "80%"},
          {"Battery", "Drained", "4%"},
          {"Power", "Peak", "14.0 W at 14:05:49"},
          {"Power", "Total Energy", "0.13 Wh"}}},
    };
    for (const Case& c : cases) {
        const SessionReportView view(c.report, {}, false, kUtc);
        for (const Shown& e : c.expected) {
            EXPECT_EQ(e.card.isEmpty() ? shown(view, e.label) : rowValue(view, e.card, e.label),
                      e.text)
                << c.name << ": " << e.card.toStdString() << " " << e.label.toStdString();
        }
        EXPECT_TRUE(
            shown(view, QStringLiteral("Summary text")).startsWith(QStringLiteral("Session: ")));
    }
}

// A recording made on a desktop without GPU, sensors or battery shows what it lacks rather than
// zeros; a machine with them shows their figures.
TEST(SessionReportView, BlocksWithoutAReadingSayWhatTheMachineLacks) {
    const auto recording = [](bool gpu, bool sensors, bool battery) {
        return reportOf(2, [=](RecordedSample& s, int i) {
            s.cpuTemp = s.fanRpm = std::nullopt;
            if (gpu) {
                s.gpuPercent = 20;
            }
            if (sensors) {
                s.cpuTemp = s.gpuTemp = s.ssdTemp = 50;
                s.systemPower = 12;
                s.fanRpm = 1500;
            }
            if (battery) {
                s.batteryPercent = 80 - i;
            }
        });
    };
    const struct {
        const char* machine;
        SessionReport report;
        std::vector<std::pair<const char*, QStringList>> groups;
    } cases[] = {
        {"desktop",
         recording(false, false, false),
         {{"GPU Usage", {"GPU Usage", "No GPU"}},
          {"CPU temperature", {"CPU", "No sensor"}},
          {"GPU temperature", {"GPU", "No sensor"}},
          {"SSD temperature", {"SSD", "No sensor"}},
          {"Power", {"Power", "No sensor"}},
          {"Fans", {"Fans", "No sensor"}},
          {"Battery", {"Battery", "No battery"}}}},
        {"desktop with GPU and sensors",
         recording(true, true, false),
         {{"GPU Usage", {"GPU Usage", "Average 20.0%", "Peak 20.0% at 14:05:09"}},
          {"SSD temperature", {"SSD", "Average 50.0 °C", "Peak 50.0 °C", "Peak at 14:05:09"}},
          {"Power", {"Power", "Average 12.0 W", "Peak 12.0 W at 14:05:09", "Total Energy 0.03 Wh"}},
          {"Fans", {"Fans", "Average (active) 1500 RPM", "Peak 1500 RPM at 14:05:09", "Idle 0%"}},
          {"Battery", {"Battery", "No battery"}}}},
        {"laptop without the helper",
         recording(true, false, true),
         {{"CPU temperature", {"CPU", "No sensor"}},
          {"Battery", {"Battery", "Start 80%", "End 79%", "Drained 1%"}}}},
    };
    for (const auto& c : cases) {
        const SessionReportView view(c.report, {}, false, kUtc);
        for (const auto& [group, texts] : c.groups) {
            EXPECT_EQ(textsOf(view, QString::fromUtf8(group)), texts) << c.machine << ": " << group;
        }
    }
}

TEST(SessionReportView, ButtonsOnlyInTheWindowShowCsvOnlyWithItsAction) {
    const SessionReport report = reportOf(2, [](RecordedSample&, int) {});
    int shows = 0;
    const SessionReportView withCsv(
        report, [&shows] { ++shows; }, false, kUtc);
    const auto buttons = withCsv.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(buttons[0]->text(), QStringLiteral("Export as PDF"));
    buttons[1]->click();
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(SessionReportView(report, {}, false, kUtc).findChildren<QPushButton*>().size(), 1);
    EXPECT_TRUE(SessionReportView(
                    report, [] {}, true, kUtc)
                    .findChildren<QPushButton*>()
                    .isEmpty());

    const std::unique_ptr<QWidget> window(makeSessionReportWindow(report, {}, kUtc));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Vantrel Session Report"));
    EXPECT_EQ(window->size(), QSize(600, 700));
    // Kept for a look at the window's dark form.
    QDir().mkpath(QStringLiteral(VANTREL_VIEWS_ARTEFACTS));
    EXPECT_TRUE(
        window->grab().save(QStringLiteral(VANTREL_VIEWS_ARTEFACTS "/session-report-window.png")));
}

// The page is as tall as the light report, its text is real text (not a picture of it), and
// its rendering is kept for a look in artefacts/.
TEST(ReportPdf, OneVectorPageSixHundredPointsWide) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    const SessionReport report = reportOf(30, [](RecordedSample& s, int i) {
        s.cpuPercent = 40 + (i % 7) * 8;
        s.systemPower = 8 + i % 5;
        s.fanRpm = i % 3 == 0 ? 0 : 1800 + 40 * i;
        s.thermalState = i > 25 ? 2 : 0;
        s.batteryPercent = 90 - i / 6;
    });
    ASSERT_TRUE(writeReportPdf(report, path, kUtc).ok());

    const QString info = run(QStringLiteral("pdfinfo"), {path});
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+600 x ([0-9.]+) pts")).match(info);
    ASSERT_TRUE(size.hasMatch()) << info.toStdString();
    EXPECT_GE(size.captured(1).toDouble(), 700);
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));

    const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    for (const char* expected :
         {"SESSION REPORT", "CPU Usage", "Total Energy", "Throttled: 40s across 1 episode(s)"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    }
    EXPECT_FALSE(text.contains(QStringLiteral("Export as PDF")));
    // No picture on the page: everything is drawn as text and paths.
    const QStringList images = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path})
                                   .split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(images.size(), 2) << images.join(u'\n').toStdString();  // the two heading lines

    const QString artefacts = QStringLiteral(VANTREL_VIEWS_ARTEFACTS);
    QDir().mkpath(artefacts);
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("144"),
         QStringLiteral("-singlefile"), path, artefacts + QStringLiteral("/session-report-pdf")});
    EXPECT_TRUE(QFile::exists(artefacts + QStringLiteral("/session-report-pdf.png")));
}

// The page of a desktop's recording names what the machine lacks and holds no made-up figure;
// its rendering at 60 dpi is kept in artefacts/ for a look.
TEST(ReportPdf, ADesktopsPageSaysWhatItLacks) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("desktop.pdf"));
    const SessionReport report = reportOf(20, [](RecordedSample& s, int i) {
        s.cpuPercent = 20 + i;
        s.cpuTemp = s.fanRpm = std::nullopt;
    });
    ASSERT_TRUE(writeReportPdf(report, path, kUtc).ok());
    const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    for (const char* expected : {"No GPU", "No sensor", "No battery", "Fans: No sensor"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    }
    for (const char* invented : {"°C", "RPM", " W", "Wh", "Drained"}) {
        EXPECT_FALSE(text.contains(QString::fromUtf8(invented))) << invented;
    }
    const QString artefacts = QStringLiteral(VANTREL_VIEWS_ARTEFACTS);
    QDir().mkpath(artefacts);
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"),
                                     QStringLiteral("60"), QStringLiteral("-singlefile"), path,
                                     artefacts + QStringLiteral("/session-report-desktop-pdf")});
    EXPECT_TRUE(QFile::exists(artefacts + QStringLiteral("/session-report-desktop-pdf.png")));
}

TEST(ReportPdf, AFolderThatCannotBeWrittenGivesAReasonAndNoFile) {
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const SessionReport report = reportOf(2, [](RecordedSample&, int) {});
    for (const QString& folder : {dir.filePath(QStringLiteral("missing")), plain.fileName()}) {
        const QString path = folder + QStringLiteral("/report.pdf");
        const FileResult result = writeReportPdf(report, path, kUtc);
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.error.contains(folder)) << result.error.toStdString();
        EXPECT_FALSE(QFile::exists(path));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{QStringLiteral("plain")});
}

// A newer report closes the window while its save dialog is open: the export ends quietly.
TEST(ReportPdf, AnExportWhoseWindowGoesEndsWithTheDialog) {
    auto* window = new QWidget;
    QTimer::singleShot(0, [window] { delete window; });
    exportReportPdf(reportOf(2, [](RecordedSample&, int) {}), window);
    for (const QWidget* left : QApplication::topLevelWidgets()) {
        EXPECT_EQ(qobject_cast<const QFileDialog*>(left), nullptr);
    }
}

}  // namespace

#pragma once

#include "core/SessionReport.h"
#include "views/report/ReportStyle.h"

#include <QScrollArea>
#include <QTimeZone>

#include <functional>

class QPushButton;

// A finished recording's report: a header with the date range, cards for CPU, GPU,
// temperatures, power, fans, battery and throttling, and the summary text. A block the
// recording had no reading for says so ("No GPU", "No sensor", "No battery") instead of
// showing zeros. Dark in the window; light for the PDF, which also leaves out the buttons.
// Times are shown in `zone`.
class SessionReportView final : public QScrollArea {
    Q_OBJECT
public:
    // With `onShowCsv` the view offers "Show CSV File", which calls it.
    SessionReportView(SessionReport report, std::function<void()> onShowCsv, bool lightMode,
                      const QTimeZone& zone = QTimeZone::systemTimeZone(),
                      QWidget* parent = nullptr);

    const SessionReport& report() const { return report_; }
    bool lightMode() const { return style_.light; }
    QSize sizeHint() const override { return {600, 700}; }

signals:
    // "Export as PDF" was pressed.
    void exportPdfRequested();

private:
    QWidget* buildHeader(const QTimeZone& zone);
    QWidget* buildCpuCard(const QTimeZone& zone);
    QWidget* buildGpuCard(const QTimeZone& zone);
    QWidget* buildTemperatureCard(const QTimeZone& zone);
    QWidget* buildPowerCard(const QTimeZone& zone);
    QWidget* buildFanCard(const QTimeZone& zone);
    QWidget* buildBatteryCard();
    QWidget* buildThermalCard();
    QWidget* buildSummaryCard(const QTimeZone& zone);
    QLayout* buildButtons(std::function<void()> onShowCsv);

    SessionReport report_;
    ReportStyle style_;
};

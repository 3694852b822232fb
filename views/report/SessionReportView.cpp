#include "views/report/SessionReportView.h"

#include "core/TextFormat.h"
#include "recording/ReportText.h"
#include "views/kit/ViewPalette.h"
#include "views/report/ReportCard.h"
#include "views/report/ReportGraphView.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

constexpr int kIconSide = 84;
constexpr int kGraphHeight = 50;

QLabel* textLabel(const QString& text, const QFont& font, const QColor& color) {
    auto* label = new QLabel(text);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    label->setPalette(palette);
    return label;
}

// What a block shows instead of its figures when the machine had no source for them.
QLabel* missingNote(const QString& text, const ReportStyle& style) {
    return textLabel(text, reportFont(11), style.secondaryText);
}

QString atTime(const QString& value, Clock::WallTime time, const QTimeZone& zone) {
    return QStringLiteral("%1 at %2").arg(value, clockTimeText(time, zone));
}

// A bordered button whose label, fill and edge take `tint`.
QPushButton* borderedButton(const QString& text, const QColor& tint) {
    auto* button = new QPushButton(text);
    button->setAccessibleName(text);
    button->setFont(reportFont(12));
    button->setCursor(Qt::PointingHandCursor);
    const auto css = [](const QColor& color) { return color.name(QColor::HexArgb); };
    button->setStyleSheet(
        QStringLiteral("QPushButton { color: %1; background: %2; border: 1px solid %3;"
                       " border-radius: 6px; padding: 4px 12px; }"
                       " QPushButton:hover { background: %4; }"
                       " QPushButton:pressed { background: %3; }"
                       " QPushButton:focus { border-color: %1; }")
            .arg(css(tint), css(ViewPalette::withOpacity(tint, 0.14)),
                 css(ViewPalette::withOpacity(tint, 0.3)),
                 css(ViewPalette::withOpacity(tint, 0.2))));
    return button;
}

// Two cards side by side, 12 points apart, equally wide and vertically centred.
QHBoxLayout* sideBySide(QWidget* left, QWidget* right) {
    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    row->addWidget(left, 1, Qt::AlignVCenter);
    row->addWidget(right, 1, Qt::AlignVCenter);
    return row;
}

// The program's icon, 84 × 84 with rounded corners; null when the program has none.
QPixmap iconPixmap() {
    QIcon icon = QGuiApplication::windowIcon();
    if (icon.isNull()) {
        icon = QIcon::fromTheme(QStringLiteral("vantrel"));
    }
    if (icon.isNull()) {
        return {};
    }
    QPixmap rounded(kIconSide, kIconSide);
    rounded.fill(Qt::transparent);
    QPainter painter(&rounded);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(0, 0, kIconSide, kIconSide), 6, 6);
    painter.setClipPath(clip);
    painter.drawPixmap(QRect(0, 0, kIconSide, kIconSide), icon.pixmap(kIconSide, kIconSide));
    return rounded;
}

}  // namespace

SessionReportView::SessionReportView(SessionReport report, std::function<void()> onShowCsv,
                                     bool lightMode, const QTimeZone& zone, QWidget* parent)
    : QScrollArea(parent), report_(std::move(report)), style_(ReportStyle::forMode(lightMode)) {
    setAccessibleName(QStringLiteral("Session report"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* column = new QWidget;
    column->setAccessibleName(QStringLiteral("Session report"));
    column->setAutoFillBackground(true);
    QPalette palette = column->palette();
    palette.setColor(QPalette::Window, style_.background);
    column->setPalette(palette);
    viewport()->setAutoFillBackground(true);
    viewport()->setPalette(palette);

    auto* blocks = new QVBoxLayout(column);
    blocks->setContentsMargins(20, 20, 20, 20);
    blocks->setSpacing(16);
    blocks->addWidget(buildHeader(zone));
    blocks->addLayout(sideBySide(buildCpuCard(zone), buildGpuCard(zone)));
    blocks->addWidget(buildTemperatureCard(zone));
    blocks->addLayout(sideBySide(buildPowerCard(zone), buildFanCard(zone)));
    blocks->addLayout(sideBySide(buildBatteryCard(), buildThermalCard()));
    blocks->addWidget(buildSummaryCard(zone));
    if (!lightMode) {
        blocks->addLayout(buildButtons(std::move(onShowCsv)));
    }
    blocks->addStretch(1);
    setWidget(column);
}

QWidget* SessionReportView::buildHeader(const QTimeZone& zone) {
    // The header has no title of its own: its first line says what the page is.
    auto* card = new ReportCard(QString(), style_);
    card->setAccessibleName(QStringLiteral("Session"));
    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    auto* icon = new QLabel;
    // Without an icon the place stays empty, as the header's layout expects it.
    if (const QPixmap pixmap = iconPixmap(); !pixmap.isNull()) {
        icon->setPixmap(pixmap);
    }
    icon->setFixedSize(kIconSide, kIconSide);
    icon->setAccessibleName(QStringLiteral("Vantrel"));
    row->addWidget(icon, 0, Qt::AlignVCenter);

    auto* text = new QVBoxLayout;
    text->setSpacing(6);
    QLabel* title = textLabel(QStringLiteral("SESSION REPORT"), reportFont(11, QFont::Bold, true),
                              reportAccent());
    title->setAccessibleName(QStringLiteral("Session report"));
    text->addWidget(title);
    QLabel* range = textLabel(dateRangeText(report_.startTime, report_.endTime, zone),
                              reportFont(22, QFont::Bold), style_.primaryText);
    range->setAccessibleName(QStringLiteral("Recorded"));
    text->addWidget(range);

    auto* cells = new QHBoxLayout;
    cells->setSpacing(24);
    const auto addCell = [&](const QString& name, const QString& value) {
        auto* cell = new QVBoxLayout;
        cell->setSpacing(2);
        cell->addWidget(textLabel(name, reportFont(10), style_.secondaryText));
        QLabel* valueLabel = textLabel(value, reportFont(12, QFont::Medium), style_.primaryText);
        valueLabel->setAccessibleName(name);
        cell->addWidget(valueLabel);
        cells->addLayout(cell);
    };
    addCell(QStringLiteral("Duration"), durationText(report_.duration));
    addCell(QStringLiteral("Samples"), QString::number(report_.sampleCount));
    cells->addStretch(1);
    text->addLayout(cells);
    row->addLayout(text, 1);
    card->content()->addLayout(row);
    return card;
}

QWidget* SessionReportView::buildCpuCard(const QTimeZone& zone) {
    auto* card = new ReportCard(QStringLiteral("CPU Usage"), style_);
    auto* graph = new ReportGraphView(report_.cpuHistory, reportAccent(), 100);
    graph->setFixedHeight(kGraphHeight);
    graph->setAccessibleName(QStringLiteral("CPU usage over the session"));
    card->content()->addWidget(graph);
    QVBoxLayout* rows = ReportCard::addRows(card->content());
    const auto add = [&](const QString& name, const QString& value) {
        ReportCard::addRow(rows, name, value, style_);
    };
    add(QStringLiteral("Average"), decimalPercentText(report_.avgCpu));
    add(QStringLiteral("Peak"),
        atTime(decimalPercentText(report_.peakCpu), report_.peakCpuTime, zone));
    add(QStringLiteral(">80%"), spanText(report_.timeAboveCpu80));
    add(QStringLiteral(">90%"), spanText(report_.timeAboveCpu90));
    return card;
}

QWidget* SessionReportView::buildGpuCard(const QTimeZone& zone) {
    auto* card = new ReportCard(QStringLiteral("GPU Usage"), style_);
    if (report_.gpuSamples == 0) {
        card->content()->addWidget(missingNote(noGpuText(), style_));
        return card;
    }
    QVBoxLayout* rows = ReportCard::addRows(card->content());
    ReportCard::addRow(rows, QStringLiteral("Average"), decimalPercentText(report_.avgGpu), style_);
    ReportCard::addRow(rows, QStringLiteral("Peak"),
                       atTime(decimalPercentText(report_.peakGpu), report_.peakGpuTime, zone),
                       style_);
    return card;
}

QWidget* SessionReportView::buildTemperatureCard(const QTimeZone& zone) {
    auto* card = new ReportCard(QStringLiteral("Temperature"), style_);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(20);
    const auto addColumn = [&](const QString& name, std::int64_t samples, double average,
                               double peak, Clock::WallTime peakTime) {
        auto* holder = new QWidget;
        holder->setAccessibleName(name + QStringLiteral(" temperature"));
        auto* column = new QVBoxLayout(holder);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(10);
        column->addWidget(textLabel(name, reportFont(10, QFont::Bold), style_.secondaryText));
        columns->addWidget(holder, 1);
        if (samples == 0) {
            column->addWidget(missingNote(noSensorText(), style_));
            column->addStretch(1);
            return;
        }
        QVBoxLayout* rows = ReportCard::addRows(column);
        const auto add = [&](const QString& row, const QString& value) {
            ReportCard::addRow(rows, row, value, style_);
        };
        add(QStringLiteral("Average"), temperatureText(average));
        add(QStringLiteral("Peak"), temperatureText(peak));
        add(QStringLiteral("Peak at"), clockTimeText(peakTime, zone));
        if (name == QStringLiteral("CPU")) {
            add(QStringLiteral(">80°C"), spanText(report_.timeAboveTemp80));
            add(QStringLiteral(">90°C"), spanText(report_.timeAboveTemp90));
        }
        column->addStretch(1);
    };
    addColumn(QStringLiteral("CPU"), report_.cpuTempSamples, report_.avgCpuTemp,
              report_.peakCpuTemp, report_.peakCpuTempTime);
    addColumn(QStringLiteral("GPU"), report_.gpuTempSamples, report_.avgGpuTemp,
              report_.peakGpuTemp, report_.peakGpuTempTime);
    addColumn(QStringLiteral("SSD"), report_.ssdTempSamples, report_.avgSsdTemp,
              report_.peakSsdTemp, report_.peakSsdTempTime);
    card->content()->addLayout(columns);
    return card;
}

QWidget* SessionReportView::buildPowerCard(const QTimeZone& zone) {
    auto* card = new ReportCard(QStringLiteral("Power"), style_);
    if (report_.powerSamples == 0) {
        card->content()->addWidget(missingNote(noSensorText(), style_));
        return card;
    }
    auto* graph = new ReportGraphView(report_.powerHistory, style_.green,
                                      std::max(1.2 * report_.peakPower, 10.0));
    graph->setFixedHeight(kGraphHeight);
    graph->setAccessibleName(QStringLiteral("System power over the session"));
    card->content()->addWidget(graph);
    QVBoxLayout* rows = ReportCard::addRows(card->content());
    const auto add = [&](const QString& name, const QString& value) {
        ReportCard::addRow(rows, name, value, style_);
    };
    add(QStringLiteral("Average"), powerText(report_.avgPower));
    add(QStringLiteral("Peak"), atTime(powerText(report_.peakPower), report_.peakPowerTime, zone));
    add(QStringLiteral("Total Energy"), energyText(report_.totalEnergy));
    return card;
}

QWidget* SessionReportView::buildFanCard(const QTimeZone& zone) {
    auto* card = new ReportCard(QStringLiteral("Fans"), style_);
    if (report_.fanSamples == 0) {
        card->content()->addWidget(missingNote(noSensorText(), style_));
        return card;
    }
    auto* graph = new ReportGraphView(report_.fanHistory, style_.cyan,
                                      std::max(1.2 * report_.peakFanRpm, 100.0));
    graph->setFixedHeight(kGraphHeight);
    graph->setAccessibleName(QStringLiteral("Fan speed over the session"));
    card->content()->addWidget(graph);
    QVBoxLayout* rows = ReportCard::addRows(card->content());
    const auto add = [&](const QString& name, const QString& value) {
        ReportCard::addRow(rows, name, value, style_);
    };
    // A fan that never turned has no active average.
    add(QStringLiteral("Average (active)"),
        report_.peakFanRpm > 0 ? wholeRpmText(report_.avgFanRpm) : noValueText());
    add(QStringLiteral("Peak"),
        atTime(wholeRpmText(report_.peakFanRpm), report_.peakFanTime, zone));
    add(QStringLiteral("Idle"), wholePercentText(report_.fanIdlePercent));
    return card;
}

QWidget* SessionReportView::buildBatteryCard() {
    auto* card = new ReportCard(QStringLiteral("Battery"), style_);
    if (report_.batterySamples == 0) {
        card->content()->addWidget(missingNote(noBatteryText(), style_));
        return card;
    }
    QVBoxLayout* rows = ReportCard::addRows(card->content());
    const auto add = [&](const QString& name, std::int64_t percent) {
        ReportCard::addRow(rows, name, wholePercentText(static_cast<double>(percent)), style_);
    };
    add(QStringLiteral("Start"), report_.batteryStart);
    add(QStringLiteral("End"), report_.batteryEnd);
    add(QStringLiteral("Drained"), report_.batteryDrain);
    return card;
}

QWidget* SessionReportView::buildThermalCard() {
    auto* card = new ReportCard(QStringLiteral("Thermal"), style_);
    if (report_.thermalThrottleSeconds < 1) {
        QLabel* none = textLabel(QStringLiteral("No thermal throttling detected"), reportFont(10),
                                 style_.green);
        none->setAccessibleName(QStringLiteral("Thermal throttling"));
        card->content()->addWidget(none);
        return card;
    }
    QVBoxLayout* rows = ReportCard::addRows(card->content());
    ReportCard::addRow(rows, QStringLiteral("Throttle Time"),
                       spanText(static_cast<double>(report_.thermalThrottleSeconds)), style_);
    ReportCard::addRow(rows, QStringLiteral("Episodes"),
                       QString::number(report_.thermalThrottleEpisodes), style_);
    return card;
}

QWidget* SessionReportView::buildSummaryCard(const QTimeZone& zone) {
    auto* card = new ReportCard(QStringLiteral("Summary"), style_);
    QLabel* summary = textLabel(summaryText(report_, zone), reportFont(11, QFont::Normal, true),
                                style_.primaryText);
    summary->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    summary->setWordWrap(true);
    summary->setAccessibleName(QStringLiteral("Summary text"));
    card->content()->addWidget(summary);
    return card;
}

QLayout* SessionReportView::buildButtons(std::function<void()> onShowCsv) {
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    auto* exportButton = borderedButton(QStringLiteral("Export as PDF"), reportAccent());
    connect(exportButton, &QPushButton::clicked, this, &SessionReportView::exportPdfRequested);
    row->addWidget(exportButton);
    if (onShowCsv) {
        auto* showButton = borderedButton(QStringLiteral("Show CSV File"), Qt::white);
        connect(showButton, &QPushButton::clicked, this, std::move(onShowCsv));
        row->addWidget(showButton);
    }
    row->addStretch(1);
    return row;
}

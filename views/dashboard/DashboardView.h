#pragma once

#include <QString>
#include <QWidget>

class AppSettings;
class CardGrid;
class Clock;
class DashboardCard;
class DashboardHeader;
class QScrollArea;
class SessionBar;
class SummaryChips;
class SystemMonitor;

// The dashboard's content: the header, the summary chips, the session bar and the grid of
// cards (CPU, Memory, Network, GPU, Disk, Battery, Processes, each shown while its setting
// says so, and Sensors across the grid's width while the machine has a sensor). The grid has 1, 2
// or 3 columns by the view's width, following it live. Everything takes the monitor's figures once
// per poll (and the disk's after a background scan), and redraws from the emptied histories when
// they are reset; nothing here animates or runs a timer.
class DashboardView final : public QWidget {
    Q_OBJECT
public:
    DashboardView(SystemMonitor& monitor, AppSettings& settings, const Clock& clock,
                  const QString& supportUrl, QWidget* parent = nullptr);

    DashboardHeader* header() const { return header_; }
    SummaryChips* chips() const { return chips_; }
    SessionBar* sessionBar() const { return session_; }
    CardGrid* grid() const { return grid_; }
    QScrollArea* scrollArea() const { return scroll_; }

    QSize sizeHint() const override { return {960, 860}; }
    QSize minimumSizeHint() const override { return {400, 400}; }

signals:
    void helpRequested();
    void settingsRequested();
    void quitRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void refresh();
    void refreshSession();
    void updateShownCards();
    void updateAccent();

    SystemMonitor& monitor_;
    AppSettings& settings_;
    const Clock& clock_;
    DashboardHeader* header_;
    SummaryChips* chips_;
    SessionBar* session_;
    QScrollArea* scroll_;
    CardGrid* grid_;
    DashboardCard* cpu_;
    DashboardCard* memory_;
    DashboardCard* network_;
    DashboardCard* gpu_;
    DashboardCard* disk_;
    DashboardCard* battery_;
    DashboardCard* processes_;
    DashboardCard* sensors_;
};

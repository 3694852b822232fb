#include "views/dashboard/DashboardView.h"

#include "core/AppSettings.h"
#include "core/Clock.h"
#include "core/SystemMonitor.h"
#include "views/dashboard/BatteryCard.h"
#include "views/dashboard/CardGrid.h"
#include "views/dashboard/CpuCard.h"
#include "views/dashboard/DashboardHeader.h"
#include "views/dashboard/DiskCard.h"
#include "views/dashboard/GpuCard.h"
#include "views/dashboard/MemoryCard.h"
#include "views/dashboard/NetworkCard.h"
#include "views/dashboard/ProcessesCard.h"
#include "views/dashboard/SensorsCard.h"
#include "views/dashboard/SessionBar.h"
#include "views/dashboard/SummaryChips.h"
#include "views/kit/ViewPalette.h"

#include <QResizeEvent>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

constexpr int padding = 16;

}  // namespace

DashboardView::DashboardView(SystemMonitor& monitor, AppSettings& settings, const Clock& clock,
                             const QString& supportUrl, QWidget* parent)
    : QWidget(parent),
      monitor_(monitor),
      settings_(settings),
      clock_(clock),
      header_(new DashboardHeader(monitor.recorder(), settings, supportUrl)),
      chips_(new SummaryChips),
      session_(new SessionBar),
      scroll_(new QScrollArea),
      grid_(new CardGrid),
      cpu_(new CpuCard),
      memory_(new MemoryCard),
      network_(new NetworkCard),
      gpu_(new GpuCard),
      disk_(new DiskCard),
      battery_(new BatteryCard),
      processes_(new ProcessesCard),
      sensors_(new SensorsCard(settings)) {
    setAccessibleName(QStringLiteral("Dashboard"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, padding, 0, 0);
    column->setSpacing(12);
    for (QWidget* top : {static_cast<QWidget*>(header_), static_cast<QWidget*>(chips_),
                         static_cast<QWidget*>(session_)}) {
        auto* padded = new QVBoxLayout;
        padded->setContentsMargins(padding, 0, padding, 0);
        padded->addWidget(top);
        column->addLayout(padded);
    }

    // The cards scroll without indicators, over the window's own background.
    auto* content = new QWidget;
    content->setAutoFillBackground(false);
    auto* contentColumn = new QVBoxLayout(content);
    contentColumn->setContentsMargins(padding, 0, padding, padding);
    contentColumn->addWidget(grid_);
    contentColumn->addStretch(1);
    for (DashboardCard* card : {cpu_, memory_, network_, gpu_, disk_, battery_, processes_}) {
        grid_->addCard(card);
    }
    grid_->addWideCard(sensors_);
    scroll_->setWidget(content);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->viewport()->setAutoFillBackground(false);
    scroll_->setAccessibleName(QStringLiteral("Cards"));
    column->addWidget(scroll_, 1);

    connect(header_, &DashboardHeader::helpRequested, this, &DashboardView::helpRequested);
    connect(header_, &DashboardHeader::settingsRequested, this, &DashboardView::settingsRequested);
    connect(header_, &DashboardHeader::quitRequested, this, &DashboardView::quitRequested);
    connect(&monitor_, &SystemMonitor::pollFinished, this, &DashboardView::refresh);
    // A new refresh interval empties the histories between polls: the graphs follow at once.
    connect(&monitor_, &SystemMonitor::historyReset, this, &DashboardView::refresh);
    // A background scan publishes the disk between polls.
    connect(&monitor_, &SystemMonitor::diskChanged, this, [this] {
        disk_->refresh(monitor_);
        chips_->refresh(monitor_);
    });
    connect(&settings_, &AppSettings::graphColorChanged, this, &DashboardView::updateAccent);
    for (auto changed :
         {&AppSettings::dashboardShowCpuChanged, &AppSettings::dashboardShowRamChanged,
          &AppSettings::dashboardShowNetworkChanged, &AppSettings::dashboardShowGpuChanged,
          &AppSettings::dashboardShowDiskChanged, &AppSettings::dashboardShowBatteryChanged,
          &AppSettings::dashboardShowProcessesChanged}) {
        connect(&settings_, changed, this, &DashboardView::updateShownCards);
    }
    updateAccent();
    updateShownCards();
    grid_->setColumns(CardGrid::columnsForWidth(sizeHint().width()));
    refresh();
}

void DashboardView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    grid_->setColumns(CardGrid::columnsForWidth(event->size().width()));
}

void DashboardView::refresh() {
    // The Sensors card comes with the first channel and goes with the last.
    grid_->setCardShown(sensors_, !monitor_.sensors().channels.isEmpty());
    chips_->refresh(monitor_);
    refreshSession();
    for (DashboardCard* card : grid_->shownCards()) {
        card->refresh(monitor_);
    }
}

void DashboardView::refreshSession() {
    session_->refresh(monitor_.session(), clock_.wallNow(), monitor_.gpu().acceleratorCount > 0);
}

void DashboardView::updateShownCards() {
    const std::pair<DashboardCard*, bool> shown[] = {
        {cpu_, settings_.dashboardShowCpu()},
        {memory_, settings_.dashboardShowRam()},
        {network_, settings_.dashboardShowNetwork()},
        {gpu_, settings_.dashboardShowGpu()},
        {disk_, settings_.dashboardShowDisk()},
        {battery_, settings_.dashboardShowBattery()},
        {processes_, settings_.dashboardShowProcesses()},
        {sensors_, !monitor_.sensors().channels.isEmpty()},
    };
    for (const auto& [card, show] : shown) {
        const bool wasShown = grid_->shownCards().contains(card);
        grid_->setCardShown(card, show);
        // A card coming back shows the latest figures, not those of when it was hidden.
        if (show && !wasShown) {
            card->refresh(monitor_);
        }
    }
}

void DashboardView::updateAccent() {
    const QColor accent = accentColor(settings_);
    for (DashboardCard* card :
         {cpu_, memory_, network_, gpu_, disk_, battery_, processes_, sensors_}) {
        card->setAccent(accent);
    }
}

#include "views/overlay/OverlayView.h"

#include "core/AppSettings.h"
#include "core/Clock.h"
#include "core/SystemMonitor.h"
#include "views/kit/ViewPalette.h"
#include "views/overlay/BatteryCard.h"
#include "views/overlay/CardGrid.h"
#include "views/overlay/CpuCard.h"
#include "views/overlay/DiskCard.h"
#include "views/overlay/GpuCard.h"
#include "views/overlay/MemoryCard.h"
#include "views/overlay/NetworkCard.h"
#include "views/overlay/OverlayHeader.h"
#include "views/overlay/ProcessesCard.h"
#include "views/overlay/SessionBar.h"
#include "views/overlay/SummaryChips.h"

#include <QResizeEvent>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

constexpr int padding = 16;

}  // namespace

OverlayView::OverlayView(SystemMonitor& monitor, AppSettings& settings, const Clock& clock,
                         const QString& supportUrl, QWidget* parent)
    : QWidget(parent),
      monitor_(monitor),
      settings_(settings),
      clock_(clock),
      header_(new OverlayHeader(monitor.recorder(), settings, supportUrl)),
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
      processes_(new ProcessesCard) {
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
    for (OverlayCard* card : {cpu_, memory_, network_, gpu_, disk_, battery_, processes_}) {
        grid_->addCard(card);
    }
    scroll_->setWidget(content);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->viewport()->setAutoFillBackground(false);
    scroll_->setAccessibleName(QStringLiteral("Cards"));
    column->addWidget(scroll_, 1);

    connect(header_, &OverlayHeader::helpRequested, this, &OverlayView::helpRequested);
    connect(header_, &OverlayHeader::settingsRequested, this, &OverlayView::settingsRequested);
    connect(header_, &OverlayHeader::quitRequested, this, &OverlayView::quitRequested);
    connect(&monitor_, &SystemMonitor::pollFinished, this, &OverlayView::refresh);
    // A new refresh interval empties the histories between polls: the graphs follow at once.
    connect(&monitor_, &SystemMonitor::historyReset, this, &OverlayView::refresh);
    // A background scan publishes the disk between polls.
    connect(&monitor_, &SystemMonitor::diskChanged, this, [this] {
        disk_->refresh(monitor_);
        chips_->refresh(monitor_);
    });
    connect(&settings_, &AppSettings::graphColorChanged, this, &OverlayView::updateAccent);
    for (auto changed :
         {&AppSettings::overlayShowCPUChanged, &AppSettings::overlayShowRAMChanged,
          &AppSettings::overlayShowNetworkChanged, &AppSettings::overlayShowGPUChanged,
          &AppSettings::overlayShowDiskChanged, &AppSettings::overlayShowBatteryChanged,
          &AppSettings::overlayShowProcessesChanged}) {
        connect(&settings_, changed, this, &OverlayView::updateShownCards);
    }
    updateAccent();
    updateShownCards();
    grid_->setColumns(CardGrid::columnsForWidth(sizeHint().width()));
    refresh();
}

void OverlayView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    grid_->setColumns(CardGrid::columnsForWidth(event->size().width()));
}

void OverlayView::refresh() {
    chips_->refresh(monitor_);
    refreshSession();
    for (OverlayCard* card : grid_->shownCards()) {
        card->refresh(monitor_);
    }
}

void OverlayView::refreshSession() {
    session_->refresh(monitor_.session(), clock_.wallNow(), monitor_.gpu().acceleratorCount > 0);
}

void OverlayView::updateShownCards() {
    const std::pair<OverlayCard*, bool> shown[] = {
        {cpu_, settings_.overlayShowCPU()},
        {memory_, settings_.overlayShowRAM()},
        {network_, settings_.overlayShowNetwork()},
        {gpu_, settings_.overlayShowGPU()},
        {disk_, settings_.overlayShowDisk()},
        {battery_, settings_.overlayShowBattery()},
        {processes_, settings_.overlayShowProcesses()},
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

void OverlayView::updateAccent() {
    const QColor accent = accentColor(settings_);
    for (OverlayCard* card : {cpu_, memory_, network_, gpu_, disk_, battery_, processes_}) {
        card->setAccent(accent);
    }
}

#include "views/compact/CompactPanelView.h"

#include "core/AppSettings.h"
#include "core/SystemMonitor.h"
#include "views/compact/BatterySectionView.h"
#include "views/compact/CompactProcessesView.h"
#include "views/compact/CpuSectionView.h"
#include "views/compact/DiskSectionView.h"
#include "views/compact/GpuSectionView.h"
#include "views/compact/NetworkSectionView.h"
#include "views/compact/OpenDashboardButton.h"
#include "views/compact/RamSectionView.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

constexpr int padding = 12;
constexpr int spacing = 8;

}  // namespace

CompactPanelView::CompactPanelView(const SystemMonitor& monitor, const AppSettings& settings,
                                   QWidget* parent)
    : QWidget(parent),
      monitor_(monitor),
      settings_(settings),
      scroll_(new QScrollArea),
      column_(new QVBoxLayout),
      dashboard_(new OpenDashboardButton) {
    setAccessibleName(QStringLiteral("Compact panel"));
    ViewPalette::applyDarkLook(*this, ViewPalette::windowBackground());

    auto* content = new QWidget;
    content->setAccessibleName(QStringLiteral("Sections"));
    content->setLayout(column_);
    column_->setContentsMargins(padding, padding, padding, padding);
    column_->setSpacing(spacing);
    column_->addWidget(dashboard_);

    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(0, 0, 0, 0);
    footer->addWidget(footerButton(QStringLiteral("Help"), [this] { emit helpRequested(); }));
    support_ = footerButton(QStringLiteral("Support"), [this] { emit supportRequested(); });
    footer->addWidget(support_);
    footer->addWidget(
        footerButton(QStringLiteral("Settings"), [this] { emit settingsRequested(); }));
    footer->addWidget(footerButton(QStringLiteral("Quit"), [this] { emit quitRequested(); }));
    column_->addLayout(footer);
    column_->addStretch(1);

    scroll_->setWidget(content);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The column paints on the panel's own background.
    scroll_->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll_);

    connect(dashboard_, &QAbstractButton::clicked, this, &CompactPanelView::dashboardRequested);

    const auto sync = [this] { syncSections(); };
    connect(&settings_, &AppSettings::compactShowCpuChanged, this, sync);
    connect(&settings_, &AppSettings::compactShowRamChanged, this, sync);
    connect(&settings_, &AppSettings::compactShowNetworkChanged, this, sync);
    connect(&settings_, &AppSettings::compactShowBatteryChanged, this, sync);
    connect(&settings_, &AppSettings::compactShowDiskChanged, this, sync);
    connect(&settings_, &AppSettings::compactShowGpuChanged, this, sync);
    connect(&settings_, &AppSettings::compactShowProcessesChanged, this, sync);
    connect(&settings_, &AppSettings::graphColorChanged, this, &CompactPanelView::refresh);
    connect(&monitor_, &SystemMonitor::pollFinished, this, &CompactPanelView::refresh);
    // A new refresh interval empties the histories between polls: the graphs follow at once.
    connect(&monitor_, &SystemMonitor::historyReset, this, &CompactPanelView::refresh);
    syncSections();
}

QPushButton* CompactPanelView::footerButton(const QString& text,
                                            const std::function<void()>& action) {
    auto* button = new QPushButton(text);
    button->setFlat(true);
    button->setFont(ViewFonts::shared().caption);
    button->setAccessibleName(text);
    button->setCursor(Qt::PointingHandCursor);
    // The style's minimum button width would push four of them past the panel's width.
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, ViewPalette::secondaryText());
    palette.setColor(QPalette::Disabled, QPalette::ButtonText,
                     ViewPalette::withOpacity(ViewPalette::secondaryText(), 0.4));
    button->setPalette(palette);
    connect(button, &QPushButton::clicked, this, action);
    return button;
}

void CompactPanelView::setSupportAvailable(bool available) {
    support_->setEnabled(available);
}

SectionView* CompactPanelView::section(Section section) const {
    return sections_[static_cast<std::size_t>(section)];
}

bool CompactPanelView::wanted(Section section) const {
    switch (section) {
        case Section::cpu:
            return settings_.compactShowCpu();
        case Section::memory:
            return settings_.compactShowRam();
        case Section::network:
            return settings_.compactShowNetwork();
        case Section::battery:
            // A desktop has nothing to show here, whatever the setting says.
            return settings_.compactShowBattery() && monitor_.battery().hasBattery;
        case Section::disk:
            return settings_.compactShowDisk();
        case Section::gpu:
            return settings_.compactShowGpu();
        case Section::processes:
            return settings_.compactShowProcesses();
    }
    return false;
}

SectionView* CompactPanelView::make(Section section) const {
    switch (section) {
        case Section::cpu:
            return new CpuSectionView(monitor_, settings_);
        case Section::memory:
            return new RamSectionView(monitor_);
        case Section::network:
            return new NetworkSectionView(monitor_);
        case Section::battery:
            return new BatterySectionView(monitor_);
        case Section::disk:
            return new DiskSectionView(monitor_);
        case Section::gpu:
            return new GpuSectionView(monitor_);
        case Section::processes:
            return new CompactProcessesView(monitor_);
    }
    return nullptr;
}

void CompactPanelView::syncSections() {
    int position = 1;  // after the "Open Dashboard" button
    for (int i = 0; i < sectionCount; ++i) {
        SectionView*& slot = sections_[static_cast<std::size_t>(i)];
        const bool show = wanted(static_cast<Section>(i));
        if (show && !slot) {
            slot = make(static_cast<Section>(i));
            slot->refresh();
            column_->insertWidget(position, slot);
        } else if (!show && slot) {
            delete slot;
            slot = nullptr;
        }
        position += slot ? 1 : 0;
    }
}

void CompactPanelView::refresh() {
    syncSections();
    for (SectionView* shown : sections_) {
        if (shown) {
            shown->refresh();
        }
    }
}

void CompactPanelView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    scroll_->verticalScrollBar()->setValue(0);
}

#include "views/overlay/SessionBar.h"

#include "core/SessionSummary.h"
#include "core/TextFormat.h"
#include "views/kit/Chip.h"
#include "views/kit/StateColors.h"
#include "views/overlay/FlowLayout.h"

SessionBar::SessionBar(QWidget* parent)
    : QWidget(parent),
      duration_(new Chip(QStringLiteral("clock"))),
      peakCPU_(new Chip({}, QStringLiteral("CPU"))),
      peakRAM_(new Chip({}, QStringLiteral("RAM"))),
      peakGPU_(new Chip({}, QStringLiteral("GPU"))),
      received_(new Chip({}, QStringLiteral("↓"))),
      sent_(new Chip({}, QStringLiteral("↑"))),
      peakCPUTemp_(new Chip({}, QStringLiteral("Peak CPU"))),
      peakGPUTemp_(new Chip({}, QStringLiteral("Peak GPU"))),
      thermal_(new Chip({}, QStringLiteral("Thermal"))),
      throttled_(new Chip({}, QStringLiteral("Throttled"))) {
    setAccessibleName(QStringLiteral("Session"));
    auto* flow = new FlowLayout(6, 6, this);
    for (Chip* chip : {duration_, peakCPU_, peakRAM_, peakGPU_, received_, sent_, peakCPUTemp_,
                       peakGPUTemp_, thermal_, throttled_}) {
        flow->addWidget(chip);
    }
}

void SessionBar::refresh(const SessionSummary& session, Clock::WallTime now, bool hasGpu) {
    duration_->setValue(session.durationText(now));
    peakCPU_->setValue(session.peakCPUText());
    peakRAM_->setValue(gigabytesText(session.peakRAMBytes));
    // A machine without a GPU has no GPU peak, not a peak of 0 %.
    if (hasGpu) {
        peakGPU_->setValue(session.peakGPUText());
    }
    peakGPU_->setVisible(hasGpu);
    received_->setValue(formatTotalBytes(session.totalDownloadBytes));
    sent_->setValue(formatTotalBytes(session.totalUploadBytes));

    if (session.peakCPUTemp > 0) {
        peakCPUTemp_->setValue(wholeTemperatureText(session.peakCPUTemp));
    }
    peakCPUTemp_->setVisible(session.peakCPUTemp > 0);
    if (session.peakGPUTemp > 0) {
        peakGPUTemp_->setValue(wholeTemperatureText(session.peakGPUTemp));
    }
    peakGPUTemp_->setVisible(session.peakGPUTemp > 0);
    const bool hot = session.worstThermal != ThermalState::nominal;
    if (hot) {
        thermal_->setValue(thermalStateText(session.worstThermal));
        thermal_->setValueColor(thermalStateColor(session.worstThermal));
    }
    thermal_->setVisible(hot);
    if (session.throttleSeconds >= 1) {
        throttled_->setValue(session.throttleText());
    }
    throttled_->setVisible(session.throttleSeconds >= 1);
}

QStringList SessionBar::shownItems() const {
    QStringList items;
    for (const Chip* chip : {duration_, peakCPU_, peakRAM_, peakGPU_, received_, sent_,
                             peakCPUTemp_, peakGPUTemp_, thermal_, throttled_}) {
        if (!chip->isHidden()) {
            items.append(chip->accessibleName());
        }
    }
    return items;
}

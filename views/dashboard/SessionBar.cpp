#include "views/dashboard/SessionBar.h"

#include "core/SessionSummary.h"
#include "core/TextFormat.h"
#include "views/dashboard/FlowLayout.h"
#include "views/kit/Chip.h"
#include "views/kit/StateColors.h"

SessionBar::SessionBar(QWidget* parent)
    : QWidget(parent),
      duration_(new Chip(QStringLiteral("clock"))),
      peakCpu_(new Chip({}, QStringLiteral("CPU"))),
      peakRam_(new Chip({}, QStringLiteral("RAM"))),
      peakGpu_(new Chip({}, QStringLiteral("GPU"))),
      received_(new Chip({}, QStringLiteral("↓"))),
      sent_(new Chip({}, QStringLiteral("↑"))),
      peakCpuTemp_(new Chip({}, QStringLiteral("Peak CPU"))),
      peakGpuTemp_(new Chip({}, QStringLiteral("Peak GPU"))),
      thermal_(new Chip({}, QStringLiteral("Thermal"))),
      throttled_(new Chip({}, QStringLiteral("Throttled"))) {
    setAccessibleName(QStringLiteral("Session"));
    auto* flow = new FlowLayout(6, 6, this);
    for (Chip* chip : {duration_, peakCpu_, peakRam_, peakGpu_, received_, sent_, peakCpuTemp_,
                       peakGpuTemp_, thermal_, throttled_}) {
        flow->addWidget(chip);
    }
}

void SessionBar::refresh(const SessionSummary& session, Clock::WallTime now, bool hasGpu) {
    duration_->setValue(session.durationText(now));
    peakCpu_->setValue(session.peakCpuText());
    peakRam_->setValue(gigabytesText(session.peakRamBytes));
    // A machine without a GPU has no GPU peak, not a peak of 0 %.
    if (hasGpu) {
        peakGpu_->setValue(session.peakGpuText());
    }
    peakGpu_->setVisible(hasGpu);
    received_->setValue(formatTotalBytes(session.totalDownloadBytes));
    sent_->setValue(formatTotalBytes(session.totalUploadBytes));

    if (session.peakCpuTemp > 0) {
        peakCpuTemp_->setValue(wholeTemperatureText(session.peakCpuTemp));
    }
    peakCpuTemp_->setVisible(session.peakCpuTemp > 0);
    if (session.peakGpuTemp > 0) {
        peakGpuTemp_->setValue(wholeTemperatureText(session.peakGpuTemp));
    }
    peakGpuTemp_->setVisible(session.peakGpuTemp > 0);
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
    for (const Chip* chip : {duration_, peakCpu_, peakRam_, peakGpu_, received_, sent_,
                             peakCpuTemp_, peakGpuTemp_, thermal_, throttled_}) {
        if (!chip->isHidden()) {
            items.append(chip->accessibleName());
        }
    }
    return items;
}

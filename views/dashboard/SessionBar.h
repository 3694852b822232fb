#pragma once

#include "core/Clock.h"

#include <QWidget>

class Chip;
struct SessionSummary;

// The running session's figures: its duration, the peak CPU, memory and GPU, the bytes
// received and sent, and, only when there is something to say, the peak CPU and GPU
// temperatures, the worst thermal state and the time spent throttled.
class SessionBar final : public QWidget {
    Q_OBJECT
public:
    explicit SessionBar(QWidget* parent = nullptr);
    void refresh(const SessionSummary& session, Clock::WallTime now, bool hasGpu);

    // The items shown, in order, as screen readers hear them ("CPU 87%").
    QStringList shownItems() const;

private:
    Chip* duration_;
    Chip* peakCpu_;
    Chip* peakRam_;
    Chip* peakGpu_;
    Chip* received_;
    Chip* sent_;
    Chip* peakCpuTemp_;
    Chip* peakGpuTemp_;
    Chip* thermal_;
    Chip* throttled_;
};

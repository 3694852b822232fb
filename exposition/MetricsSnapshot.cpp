#include "exposition/MetricsSnapshot.h"

#include "core/SystemMonitor.h"

MetricsSnapshot metricsSnapshotOf(const SystemMonitor& monitor, const QString& version) {
    return {monitor.cpu(),     monitor.ram(),     monitor.network(),         monitor.battery(),
            monitor.disk(),    monitor.gpu(),     monitor.processes(),       monitor.thermalState(),
            monitor.sensors(), monitor.session(), monitor.helperAvailable(), version};
}

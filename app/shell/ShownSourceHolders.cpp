#include "app/shell/ShownSourceHolders.h"

#include "core/AppSettings.h"
#include "core/DemandHolder.h"
#include "core/SettingsTable.h"
#include "core/ShownSources.h"
#include "core/StandingDemand.h"

void holdStatusItemSources(QObject& owner, const AppSettings& settings, SamplingDemand& demand) {
    auto* holder = new DemandHolder(
        demand, [&settings] { return statusItemSources(settings.statusItemEntries()); }, &owner);
    QObject::connect(&settings, &AppSettings::statusItemEntriesChanged, holder,
                     &DemandHolder::refresh);
}

void holdCompactPanelSources(QObject& panel, const AppSettings& settings, SamplingDemand& demand) {
    auto* holder = new DemandHolder(
        demand, [&settings] { return compactPanelSources(settings); }, &panel);
    for (const SettingDeclaration& entry : settingsTable()) {
        if (entry.section == SettingsWindowSection::compactSections) {
            QObject::connect(&settings, entry.changed, holder, &DemandHolder::refresh);
        }
    }
}

void holdDashboardSources(QObject& dashboard, SamplingDemand& demand) {
    new DemandHolder(
        demand, [] { return dashboardSources; }, &dashboard);
}

void holdSnapshotSources(QObject& window, SamplingDemand& demand) {
    new DemandHolder(
        demand, [] { return standing_sources::csvColumns; }, &window);
}

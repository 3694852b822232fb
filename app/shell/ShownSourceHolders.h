#pragma once

class AppSettings;
class QObject;
class SamplingDemand;

// The tokens the shell's windows hold for what they show; each holder is a child of its
// owner, so the sources are released when the window is destroyed.

// The status item's enabled metrics, following the settings; held as long as `owner`.
void holdStatusItemSources(QObject& owner, const AppSettings& settings, SamplingDemand& demand);
// The compact panel's sections, following the settings while it is open.
void holdCompactPanelSources(QObject& panel, const AppSettings& settings, SamplingDemand& demand);
// Everything, while the dashboard is open.
void holdDashboardSources(QObject& dashboard, SamplingDemand& demand);
// Every column of a snapshot, while the window that writes it is open, so a snapshot written
// from it holds readings of the latest poll.
void holdSnapshotSources(QObject& window, SamplingDemand& demand);

#include "views/help/HelpTopics.h"

namespace {

HelpTopic topic(const char* title, const char* symbol, const char* text) {
    return {QString::fromUtf8(title), QString::fromUtf8(symbol), QString::fromUtf8(text)};
}

HelpPage makePage() {
    HelpPage page;
    page.title = QStringLiteral("Vantrel Help");
    page.topics = {
        topic("Menu Bar", "menubar.rectangle",
              "Vantrel lives in your tray (or, on a desktop without one, in a small status "
              "strip). You can customize which metrics to show, their display mode, and their "
              "order in Settings.\n\n"
              "Display modes per metric:\n"
              "• Text — shows the label and value (e.g., \"CPU 42%\")\n"
              "• Graph — tiny sparkline chart\n"
              "• Graph + Text — sparkline with the value\n"
              "• Icon + Text — Material icon with the value\n\n"
              "The dark pill background opacity is adjustable (0–100%). Color-coded values turn "
              "green/yellow/red based on load."),
        topic("Compact View", "sidebar.left",
              "Click the status item to open the compact floating panel. It shows real-time "
              "data for CPU, Memory, Network, Battery, Disk, GPU, and Processes.\n\n"
              "• Drag it anywhere on your screen\n"
              "• Toggle sections on/off in Settings\n"
              "• Click outside to dismiss"),
        topic("Dashboard", "rectangle.3.group",
              "Middle-click the status item (or Alt+click it, where the window manager leaves "
              "Alt+click alone, or press the keyboard shortcut) to open the full dashboard "
              "overlay.\n\n"
              "• Resizable — drag edges to any size (min 600×500)\n"
              "• Responsive grid — adapts from 3 to 2 to 1 column\n"
              "• 8 accent color themes — click the color dots in the header\n"
              "• Session summary bar shows peaks since launch\n"
              "• Press Escape to close"),
        topic("CPU", "cpu",
              "Shows overall CPU usage, individual per-core bars (P-Cores and E-Cores on hybrid "
              "processors), user vs system percentage, load averages, uptime, and thermal "
              "pressure state."),
        topic("Memory", "memorychip",
              "Shows used memory with a breakdown: Wired (kernel), App (active), Compressed, "
              "and Cached (reclaimable). Swap usage appears when active. Page In/Out rates show "
              "memory pressure activity."),
        topic("Network", "network",
              "Real-time upload and download speeds with separate graphs. Shows connection type "
              "(Wi-Fi/Ethernet), SSID, interface name, local IP, IPv6, and public IP (refreshed "
              "every 5 minutes)."),
        topic("GPU", "rectangle.3.group",
              "GPU utilization percentage and VRAM usage (when available). Shows the GPU model "
              "name."),
        topic("Battery", "battery.75percent",
              "Battery percentage, time remaining, health percentage, cycle count, power draw, "
              "voltage, and charging state. Hides automatically on desktops without a "
              "battery."),
        topic("Disk", "internaldrive",
              "Disk usage (used/total), available space, real-time read/write speeds. Storage "
              "category breakdown shows the largest folders. External volumes are detected "
              "automatically."),
        topic("Processes", "list.number",
              "Top 5 processes by CPU usage and top 5 by memory, updated in real-time. Shows "
              "full app names from the applications' desktop entries."),
        topic("Hardware Sensors", "thermometer.medium",
              "Vantrel reads hardware sensors via a privileged helper:\n\n"
              "• CPU Temperature — processor die temperature (hwmon coretemp, k10temp or "
              "zenpower)\n"
              "• GPU Temperature — graphics processor temperature (NVIDIA NVML, hwmon amdgpu or "
              "nouveau)\n"
              "• SSD Temperature — storage controller temperature (hwmon nvme or drivetemp)\n"
              "• Memory Temperature — RAM module temperature (hwmon jc42 or spd5118)\n"
              "• Battery Temperature — battery cell temperature (the battery's power supply "
              "entry)\n"
              "• IO Temperature — chipset/IO controller (Super I/O or Intel PCH sensor)\n"
              "• System Power — total power draw in watts (RAPL psys energy counter, else the "
              "battery's discharge)\n"
              "• Charger Power — input power from adapter (only on Intel Macs with the applesmc "
              "driver)\n"
              "• Fan Speeds — RPM for each fan (hwmon thinkpad, dell_smm, nct6* or it8*; "
              "0 = idle, normal at low load)\n\n"
              "Sensor data appears in the CPU, GPU, Memory, Disk, and Battery sections."),
        topic("Menu Bar Sensors", "menubar.rectangle",
              "In Settings under \"Menu Bar — Metrics\", you can enable CPU Temp, GPU Temp, or "
              "Fan Speed as status item display items. They support all four display modes and "
              "color-coded thresholds."),
        topic("Temperature Alerts", "bell.badge",
              "Enable in Settings under \"Temperature Alerts\". Set thresholds for CPU, GPU, and "
              "SSD temperature. When a sensor exceeds its threshold, you get a desktop "
              "notification.\n\n"
              "Alerts fire at most once every 5 minutes per sensor to prevent spam."),
        topic("CSV Export", "square.and.arrow.up",
              "Export a snapshot of all current readings plus 60-sample history to a CSV file. "
              "Available in Settings under \"Data Export\". Includes all system metrics and "
              "sensor data."),
        topic("Session Summary", "clock",
              "The overlay dashboard's session bar tracks peak CPU and GPU temperatures since "
              "launch, plus cumulative thermal throttle duration."),
        topic("Keyboard Shortcuts", "keyboard",
              "Configurable in Settings:\n"
              "• Toggle Compact View (default: Super+Shift+P)\n"
              "• Toggle Dashboard (default: Super+Shift+O)\n"
              "• Open Settings (default: Super+Shift+Comma)"),
        topic("Settings", "gear",
              "Access via right-click on the status item, the compact view footer, or the "
              "keyboard shortcut.\n\n"
              "• Refresh rate: 1, 2, or 5 seconds\n"
              "• Launch at Login\n"
              "• 8 accent color themes\n"
              "• Menu bar: per-metric toggle, display mode, drag to reorder\n"
              "• Section visibility: independent toggles for compact and overlay\n"
              "• Settings export/import (JSON)"),
    };
    page.groupHeading = QStringLiteral("Vantrel — Sensor Features");
    page.groupStartsAt = 10;
    return page;
}

}  // namespace

const HelpPage& helpPage() {
    static const HelpPage page = makePage();
    return page;
}

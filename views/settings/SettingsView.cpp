#include "views/settings/SettingsView.h"

#include "core/AppSettings.h"
#include "core/SettingRules.h"
#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "shortcuts/AppShortcutNames.h"
#include "shortcuts/ShortcutRecorder.h"
#include "views/kit/ViewPalette.h"
#include "views/settings/MenuBarMetricList.h"
#include "views/settings/SettingsFileControls.h"
#include "views/settings/SettingsForm.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

using BoolGetter = bool (AppSettings::*)() const;
using BoolSetter = void (AppSettings::*)(bool);
using DoubleGetter = double (AppSettings::*)() const;
using DoubleSetter = void (AppSettings::*)(double);
using Announcement = void (AppSettings::*)();

struct SwitchBinding {
    const char* label;
    const char* property;
    BoolGetter get;
    BoolSetter set;
    Announcement changed;
};

// The sections' switches, in their order. The compact panel and the dashboard name their
// sections alike.
const SwitchBinding compactSwitches[] = {
    {"CPU", "compactShowCPU", &AppSettings::compactShowCPU, &AppSettings::setCompactShowCPU,
     &AppSettings::compactShowCPUChanged},
    {"Memory", "compactShowRAM", &AppSettings::compactShowRAM, &AppSettings::setCompactShowRAM,
     &AppSettings::compactShowRAMChanged},
    {"Network", "compactShowNetwork", &AppSettings::compactShowNetwork,
     &AppSettings::setCompactShowNetwork, &AppSettings::compactShowNetworkChanged},
    {"GPU", "compactShowGPU", &AppSettings::compactShowGPU, &AppSettings::setCompactShowGPU,
     &AppSettings::compactShowGPUChanged},
    {"Disk", "compactShowDisk", &AppSettings::compactShowDisk, &AppSettings::setCompactShowDisk,
     &AppSettings::compactShowDiskChanged},
    {"Battery", "compactShowBattery", &AppSettings::compactShowBattery,
     &AppSettings::setCompactShowBattery, &AppSettings::compactShowBatteryChanged},
    {"Processes", "compactShowProcesses", &AppSettings::compactShowProcesses,
     &AppSettings::setCompactShowProcesses, &AppSettings::compactShowProcessesChanged},
};

const SwitchBinding overlaySwitches[] = {
    {"CPU", "overlayShowCPU", &AppSettings::overlayShowCPU, &AppSettings::setOverlayShowCPU,
     &AppSettings::overlayShowCPUChanged},
    {"Memory", "overlayShowRAM", &AppSettings::overlayShowRAM, &AppSettings::setOverlayShowRAM,
     &AppSettings::overlayShowRAMChanged},
    {"Network", "overlayShowNetwork", &AppSettings::overlayShowNetwork,
     &AppSettings::setOverlayShowNetwork, &AppSettings::overlayShowNetworkChanged},
    {"GPU", "overlayShowGPU", &AppSettings::overlayShowGPU, &AppSettings::setOverlayShowGPU,
     &AppSettings::overlayShowGPUChanged},
    {"Disk", "overlayShowDisk", &AppSettings::overlayShowDisk, &AppSettings::setOverlayShowDisk,
     &AppSettings::overlayShowDiskChanged},
    {"Battery", "overlayShowBattery", &AppSettings::overlayShowBattery,
     &AppSettings::setOverlayShowBattery, &AppSettings::overlayShowBatteryChanged},
    {"Processes", "overlayShowProcesses", &AppSettings::overlayShowProcesses,
     &AppSettings::setOverlayShowProcesses, &AppSettings::overlayShowProcessesChanged},
};

struct Choice {
    const char* label;
    QVariant value;
};

const Choice accentChoices[] = {
    {"Purple", QStringLiteral("purple")}, {"Blue", QStringLiteral("blue")},
    {"Teal", QStringLiteral("teal")},     {"Green", QStringLiteral("green")},
    {"Yellow", QStringLiteral("yellow")}, {"Orange", QStringLiteral("orange")},
    {"Pink", QStringLiteral("pink")},     {"Red", QStringLiteral("red")},
};

const Choice statusItemModeChoices[] = {
    {"Automatic: tray, else status strip", rawValue(StatusItemMode::automatic)},
    {"Tray", rawValue(StatusItemMode::tray)},
    {"Status strip", rawValue(StatusItemMode::strip)},
    {"Tray and status strip", rawValue(StatusItemMode::trayAndStrip)},
};

const Choice statusItemShapeChoices[] = {
    {"Automatic: as the tray draws its items", rawValue(StatusItemShape::automatic)},
    {"Wide, with every metric", rawValue(StatusItemShape::wide)},
    {"Square glance", rawValue(StatusItemShape::square)},
};

// The opacity slider's steps of 5 %.
constexpr int opacitySteps = 20;
constexpr int sparklineMin = 20;
constexpr int sparklineMax = 50;
constexpr int thresholdFieldWidth = 50;

QIcon swatch(const QColor& color) {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QRectF(1, 1, 10, 10));
    return QIcon(pixmap);
}

QComboBox* picker(const QString& accessibleName, const char* property) {
    auto* combo = new QComboBox;
    combo->setAccessibleName(accessibleName);
    combo->setObjectName(QString::fromLatin1(property));
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return combo;
}

// Shows the choice holding `value`, or none when the store holds a value the picker does not
// offer (a colour name written by hand).
void select(QComboBox& combo, const QVariant& value) {
    combo.setCurrentIndex(combo.findData(value));
}

ToggleSwitch* bindSwitch(SettingsSection& section, AppSettings& settings,
                         const SwitchBinding& binding) {
    const QString label = QString::fromLatin1(binding.label);
    auto* toggle = new ToggleSwitch(label);
    toggle->setObjectName(QString::fromLatin1(binding.property));
    toggle->setChecked((settings.*binding.get)());
    section.addRow(label, toggle);
    // clicked comes from the user only, so showing the store's value never writes it back.
    QObject::connect(toggle, &QAbstractButton::clicked, &settings,
                     [&settings, set = binding.set](bool on) { (settings.*set)(on); });
    QObject::connect(&settings, binding.changed, toggle, [&settings, toggle, get = binding.get] {
        toggle->setChecked((settings.*get)());
    });
    return toggle;
}

}  // namespace

SettingsView::SettingsView(AppSettings& settings, SystemMonitor& monitor, UserDefaults& defaults,
                           KeyboardShortcuts* shortcuts, DataExportActions dataExport,
                           QWidget* parent)
    : QWidget(parent), settings_(settings) {
    setAccessibleName(QStringLiteral("Vantrel Settings"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(16);

    buildMenuBarStyle(*addSection(QStringLiteral("Menu Bar — Style")));

    SettingsSection& metrics = *addSection(QStringLiteral("Menu Bar — Metrics"));
    metrics.addCaption(QStringLiteral("Toggle, choose display mode, and reorder."));
    metrics_ = new MenuBarMetricList(settings_);
    metrics.addWidget(metrics_);

    SettingsSection& compact = *addSection(QStringLiteral("Compact View Sections"));
    for (const SwitchBinding& binding : compactSwitches) {
        bindSwitch(compact, settings_, binding);
    }
    SettingsSection& overlay = *addSection(QStringLiteral("Overlay Sections"));
    for (const SwitchBinding& binding : overlaySwitches) {
        bindSwitch(overlay, settings_, binding);
    }

    QComboBox* refresh = picker(QStringLiteral("Update every"), "refreshInterval");
    for (const double seconds : offeredRefreshIntervals) {
        refresh->addItem(refreshIntervalText(seconds), seconds);
    }
    select(*refresh, settings_.refreshInterval());
    // activated comes from the user only; the store ignores the interval it already has, so
    // choosing the current rate keeps the histories.
    connect(refresh, &QComboBox::activated, this, [this, refresh](int index) {
        settings_.setRefreshInterval(refresh->itemData(index).toDouble());
    });
    connect(&settings_, &AppSettings::refreshIntervalChanged, refresh,
            [this, refresh] { select(*refresh, settings_.refreshInterval()); });
    addSection(QStringLiteral("Refresh Rate"))->addRow(QStringLiteral("Update every"), refresh);

    QComboBox* accent = picker(QStringLiteral("Accent color"), "graphColor");
    for (const Choice& choice : accentChoices) {
        const QString name = choice.value.toString();
        accent->addItem(swatch(toColor(accentColorNamed(name))), QString::fromLatin1(choice.label),
                        name);
    }
    select(*accent, settings_.graphColor());
    connect(accent, &QComboBox::activated, this, [this, accent](int index) {
        settings_.setGraphColor(accent->itemData(index).toString());
    });
    connect(&settings_, &AppSettings::graphColorChanged, accent,
            [this, accent] { select(*accent, settings_.graphColor()); });
    addSection(QStringLiteral("Appearance"))->addRow(QStringLiteral("Accent color"), accent);

    buildShortcuts(*addSection(QStringLiteral("Keyboard Shortcuts")), shortcuts);
    buildTemperatureAlerts(*addSection(QStringLiteral("Temperature Alerts")));

    SettingsSection& data = *addSection(QStringLiteral("Data Export"));
    dataExport_ = new DataExportControls(monitor.recorder(), std::move(dataExport));
    data.addWidget(dataExport_);
    data.addCaption(QStringLiteral(
        "Continuous recording logs every poll cycle to a CSV file on your Desktop."));

    bindSwitch(*addSection(QStringLiteral("Launch")), settings_,
               {"Launch at Login", "launchAtLogin", &AppSettings::launchAtLogin,
                &AppSettings::setLaunchAtLogin, &AppSettings::launchAtLoginChanged});

    buildStatusItem(*addSection(QStringLiteral("Status item")));

    settingsFile_ = new SettingsFileControls(settings_, defaults, shortcuts);
    addSection(QStringLiteral("Settings file"))->addWidget(settingsFile_);
    column->addStretch(1);
}

void SettingsView::setFileDialogs(const FileDialogs& dialogs) {
    dataExport_->setFileDialogs(dialogs);
    settingsFile_->setFileDialogs(dialogs);
}

QStringList SettingsView::sectionTitles() const {
    QStringList titles;
    for (const SettingsSection* section : sections_) {
        titles.append(section->title());
    }
    return titles;
}

SettingsSection* SettingsView::addSection(const QString& title) {
    auto* section = new SettingsSection(title);
    layout()->addWidget(section);
    sections_.append(section);
    return section;
}

void SettingsView::buildMenuBarStyle(SettingsSection& section) {
    bindSwitch(section, settings_,
               {"Color-coded values", "menuBarColorCoded", &AppSettings::menuBarColorCoded,
                &AppSettings::setMenuBarColorCoded, &AppSettings::menuBarColorCodedChanged});

    // The stepper: its caption carries the value, the two buttons change it by one.
    auto* stepper = new QWidget;
    stepper->setObjectName(QStringLiteral("menuBarSparklineWidth"));
    auto* buttons = new QHBoxLayout(stepper);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(2);
    auto* less = new QPushButton(QStringLiteral("−"));
    less->setObjectName(QStringLiteral("menuBarSparklineWidthDown"));
    less->setAccessibleName(QStringLiteral("Narrower sparkline"));
    auto* more = new QPushButton(QStringLiteral("+"));
    more->setObjectName(QStringLiteral("menuBarSparklineWidthUp"));
    more->setAccessibleName(QStringLiteral("Wider sparkline"));
    for (QPushButton* button : {less, more}) {
        button->setFixedSize(26, 22);
        button->setAutoRepeat(true);
        buttons->addWidget(button);
    }
    QLabel* width = section.addRow({}, stepper);
    width->setObjectName(QStringLiteral("menuBarSparklineWidthLabel"));
    auto showWidth = [this, width, less, more] {
        const int points = settings_.menuBarSparklineWidth();
        setLabelText(*width, QStringLiteral("Sparkline width: ") + pixelsText(points));
        less->setEnabled(points > sparklineMin);
        more->setEnabled(points < sparklineMax);
    };
    auto step = [this](int by) {
        settings_.setMenuBarSparklineWidth(
            std::clamp(settings_.menuBarSparklineWidth() + by, sparklineMin, sparklineMax));
    };
    connect(less, &QPushButton::clicked, this, [step] { step(-1); });
    connect(more, &QPushButton::clicked, this, [step] { step(1); });
    connect(&settings_, &AppSettings::menuBarSparklineWidthChanged, width, showWidth);
    showWidth();

    auto* opacity = new QSlider(Qt::Horizontal);
    opacity->setObjectName(QStringLiteral("menuBarPillOpacity"));
    opacity->setRange(0, opacitySteps);
    opacity->setSingleStep(1);
    opacity->setPageStep(2);
    QLabel* opacityLabel = captionLabel({});
    opacityLabel->setObjectName(QStringLiteral("menuBarPillOpacityLabel"));
    section.addWidget(opacityLabel);
    section.addWidget(opacity);
    auto showOpacity = [this, opacity, opacityLabel] {
        const double value = settings_.menuBarPillOpacity();
        const QString text = QStringLiteral("Background opacity: ") + percentText(value);
        setLabelText(*opacityLabel, text);
        opacity->setAccessibleName(text);
        const QSignalBlocker quiet(opacity);
        opacity->setValue(static_cast<int>(std::lround(value * opacitySteps)));
    };
    connect(opacity, &QSlider::valueChanged, this,
            [this](int steps) { settings_.setMenuBarPillOpacity(steps / double(opacitySteps)); });
    connect(&settings_, &AppSettings::menuBarPillOpacityChanged, opacity, showOpacity);
    showOpacity();
}

void SettingsView::buildShortcuts(SettingsSection& section, KeyboardShortcuts* shortcuts) {
    if (shortcuts == nullptr) {
        section.addCaption(QStringLiteral("Global shortcuts are not available."));
        return;
    }
    const struct {
        ShortcutName name;
        const char* label;
    } rows[] = {
        {app_shortcut::toggleCompact(), "Toggle Compact View"},
        {app_shortcut::toggleOverlay(), "Toggle Overlay"},
        {app_shortcut::openSettings(), "Open Settings"},
    };
    for (const auto& row : rows) {
        const QString label = QString::fromLatin1(row.label);
        auto* recorder = new ShortcutRecorder(*shortcuts, row.name, label);
        recorder->setObjectName(row.name.rawValue);
        section.addRow(label, recorder);
    }
}

void SettingsView::buildTemperatureAlerts(SettingsSection& section) {
    bindSwitch(section, settings_,
               {"Enable alerts", "alertsEnabled", &AppSettings::alertsEnabled,
                &AppSettings::setAlertsEnabled, &AppSettings::alertsEnabledChanged});
    const struct {
        const char* label;
        const char* property;
        DoubleGetter get;
        DoubleSetter set;
        Announcement changed;
    } fields[] = {
        {"CPU threshold", "alertCPUTempThreshold", &AppSettings::alertCPUTempThreshold,
         &AppSettings::setAlertCPUTempThreshold, &AppSettings::alertCPUTempThresholdChanged},
        {"GPU threshold", "alertGPUTempThreshold", &AppSettings::alertGPUTempThreshold,
         &AppSettings::setAlertGPUTempThreshold, &AppSettings::alertGPUTempThresholdChanged},
        {"SSD threshold", "alertSSDTempThreshold", &AppSettings::alertSSDTempThreshold,
         &AppSettings::setAlertSSDTempThreshold, &AppSettings::alertSSDTempThresholdChanged},
    };
    // Digits with an optional sign and decimals; anything else never reaches the field.
    static const QRegularExpression number(QStringLiteral(R"(-?\d{0,3}(\.\d{0,2})?)"));
    for (const auto& field : fields) {
        const QString label = QString::fromLatin1(field.label);
        auto* edit = new QLineEdit;
        edit->setObjectName(QString::fromLatin1(field.property));
        edit->setAccessibleName(label + QStringLiteral(" in degrees Celsius"));
        edit->setValidator(new QRegularExpressionValidator(number, edit));
        edit->setFixedWidth(thresholdFieldWidth);
        edit->setAlignment(Qt::AlignRight);
        edit->setStyleSheet(
            QStringLiteral("QLineEdit { border: 1px solid rgba(255,255,255,60); border-radius: 5px;"
                           " padding: 1px 4px; background: rgba(0,0,0,60);"
                           " color: rgba(255,255,255,235); }"
                           "QLineEdit:focus { border-color: rgb(10,132,255); }"));
        auto* unit = formLabel(QStringLiteral("°C"));
        unit->setAccessibleName(QStringLiteral("degrees Celsius"));
        auto* control = new QWidget;
        auto* row = new QHBoxLayout(control);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(4);
        row->addWidget(edit);
        row->addWidget(unit);
        section.addRow(label, control);

        auto show = [&settings = settings_, edit, get = field.get] {
            edit->setText(editableNumberText((settings.*get)()));
        };
        // The number applies when editing ends (Return, or leaving the field), never digit
        // by digit: typing 101 must not set 1 °C for a poll in between, which would fire an
        // alert. An empty or unfinished field ("-") keeps the stored value and shows it again.
        const std::function<void(double)> apply =
            [&settings = settings_, set = field.set](double value) { (settings.*set)(value); };
        connect(edit, &QLineEdit::editingFinished, edit, [edit, show, apply] {
            bool ok = false;
            const double value = edit->text().toDouble(&ok);
            if (ok && std::isfinite(value)) {
                apply(value);
            }
            show();
        });
        connect(&settings_, field.changed, edit, [edit, show] {
            if (!edit->hasFocus()) {
                show();
            }
        });
        show();
    }
    section.addCaption(QStringLiteral("Alerts fire at most once every 5 minutes per sensor."));
}

void SettingsView::buildStatusItem(SettingsSection& section) {
    QComboBox* mode = picker(QStringLiteral("Show the status item in"), "statusItemMode");
    for (const Choice& choice : statusItemModeChoices) {
        mode->addItem(QString::fromLatin1(choice.label), choice.value);
    }
    select(*mode, rawValue(settings_.statusItemMode()));
    connect(mode, &QComboBox::activated, this, [this, mode](int index) {
        if (const auto chosen = statusItemModeFromRawValue(mode->itemData(index).toString())) {
            settings_.setStatusItemMode(*chosen);
        }
    });
    connect(&settings_, &AppSettings::statusItemModeChanged, mode,
            [this, mode] { select(*mode, rawValue(settings_.statusItemMode())); });
    section.addRow(QStringLiteral("Show in"), mode);

    QComboBox* shape = picker(QStringLiteral("Tray image shape"), "statusItemShape");
    for (const Choice& choice : statusItemShapeChoices) {
        shape->addItem(QString::fromLatin1(choice.label), choice.value);
    }
    select(*shape, rawValue(settings_.statusItemShape()));
    connect(shape, &QComboBox::activated, this, [this, shape](int index) {
        if (const auto chosen = statusItemShapeFromRawValue(shape->itemData(index).toString())) {
            settings_.setStatusItemShape(*chosen);
        }
    });
    connect(&settings_, &AppSettings::statusItemShapeChanged, shape,
            [this, shape] { select(*shape, rawValue(settings_.statusItemShape())); });
    section.addRow(QStringLiteral("Tray image"), shape);
}

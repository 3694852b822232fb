#include "views/settings/SettingsView.h"

#include "core/AppSettings.h"
#include "core/SettingRules.h"
#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "shortcuts/AppShortcutNames.h"
#include "shortcuts/ShortcutRecorder.h"
#include "views/kit/ViewPalette.h"
#include "views/settings/SettingsFileControls.h"
#include "views/settings/SettingsForm.h"
#include "views/settings/StatusMetricList.h"

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

// The opacity slider's steps of 5 %.
constexpr int opacitySteps = 20;
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

// Shows the choice holding `value`, or none when the store holds a value the picker does not
// offer (a colour name written by hand).
void select(QComboBox& combo, const QJsonValue& value) {
    // A number read from the file may be held as a whole number; the choices hold doubles.
    combo.setCurrentIndex(
        combo.findData(value.isDouble() ? QVariant(value.toDouble()) : value.toVariant()));
}

// Calls `show` now and whenever `declaration`'s setting changes, for as long as `control`
// lives.
template <typename Show>
void follow(AppSettings& settings, const SettingDeclaration& declaration, QObject* control,
            Show show) {
    QObject::connect(&settings, declaration.changed, control, show);
    show();
}

QWidget* toggleRow(AppSettings& settings, const SettingDeclaration& declaration) {
    auto* toggle = new ToggleSwitch(declaration.label);
    // clicked comes from the user only, so showing the store's value never writes it back.
    QObject::connect(
        toggle, &QAbstractButton::clicked, &settings,
        [&settings, &declaration](bool on) { settings.apply(declaration.setting, on); });
    follow(settings, declaration, toggle, [&settings, &declaration, toggle] {
        toggle->setChecked(settings.value(declaration.setting).toBool());
    });
    return toggle;
}

// A picker of `choices`; activated comes from the user only, and the store ignores the value
// it already has, so choosing the current refresh rate keeps the histories.
QWidget* pickerRow(AppSettings& settings, const SettingDeclaration& declaration,
                   const QVector<SettingChoice>& choices, const std::function<QIcon(int)>& icon) {
    auto* combo = new QComboBox;
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (int i = 0; i < choices.size(); ++i) {
        combo->addItem(icon ? icon(i) : QIcon(), choices[i].label, choices[i].value.toVariant());
    }
    QObject::connect(
        combo, &QComboBox::activated, &settings, [&settings, &declaration, combo](int index) {
            settings.apply(declaration.setting, QJsonValue::fromVariant(combo->itemData(index)));
        });
    follow(settings, declaration, combo, [&settings, &declaration, combo] {
        select(*combo, settings.value(declaration.setting));
    });
    return combo;
}

QWidget* accentPickerRow(AppSettings& settings, const SettingDeclaration& declaration) {
    const QVector<AccentOption> accents = accentChoices();
    QVector<SettingChoice> choices;
    for (const AccentOption& accent : accents) {
        choices.append({accent.name, accent.label});
    }
    return pickerRow(settings, declaration, choices,
                     [accents](int i) { return swatch(accents[i].color); });
}

// The stepper: its caption carries the value, the two buttons change it by one within the
// declared range.
QWidget* stepperRow(AppSettings& settings, const SettingDeclaration& declaration,
                    SettingsSection& section) {
    auto* stepper = new QWidget;
    auto* buttons = new QHBoxLayout(stepper);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(2);
    auto* less = new QPushButton(QStringLiteral("−"));
    less->setObjectName(declaration.key + QStringLiteral("Down"));
    less->setAccessibleName(QStringLiteral("Narrower sparkline"));
    auto* more = new QPushButton(QStringLiteral("+"));
    more->setObjectName(declaration.key + QStringLiteral("Up"));
    more->setAccessibleName(QStringLiteral("Wider sparkline"));
    for (QPushButton* button : {less, more}) {
        button->setFixedSize(26, 22);
        button->setAutoRepeat(true);
        buttons->addWidget(button);
    }
    QLabel* caption = section.addRow({}, stepper);
    caption->setObjectName(declaration.key + QStringLiteral("Label"));
    const auto step = [&settings, &declaration](int by) {
        const int points = settings.value(declaration.setting).toInt() + by;
        settings.apply(declaration.setting,
                       std::clamp(points, declaration.minimum, declaration.maximum));
    };
    QObject::connect(less, &QPushButton::clicked, stepper, [step] { step(-1); });
    QObject::connect(more, &QPushButton::clicked, stepper, [step] { step(1); });
    follow(settings, declaration, caption, [&settings, &declaration, caption, less, more] {
        const int points = settings.value(declaration.setting).toInt();
        setLabelText(*caption, declaration.label + QStringLiteral(": ") + pixelsText(points));
        less->setEnabled(points > declaration.minimum);
        more->setEnabled(points < declaration.maximum);
    });
    return stepper;
}

// A fraction from 0 to 1 in steps of 5 %, its caption above it.
QWidget* sliderRow(AppSettings& settings, const SettingDeclaration& declaration,
                   SettingsSection& section) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(0, opacitySteps);
    slider->setSingleStep(1);
    slider->setPageStep(2);
    QLabel* caption = captionLabel({});
    caption->setObjectName(declaration.key + QStringLiteral("Label"));
    section.addWidget(caption);
    section.addWidget(slider);
    QObject::connect(slider, &QSlider::valueChanged, &settings,
                     [&settings, &declaration](int steps) {
                         settings.apply(declaration.setting, steps / double(opacitySteps));
                     });
    follow(settings, declaration, slider, [&settings, &declaration, slider, caption] {
        const double value = settings.value(declaration.setting).toDouble();
        const QString text = declaration.label + QStringLiteral(": ") + percentText(value);
        setLabelText(*caption, text);
        slider->setAccessibleName(text);
        const QSignalBlocker quiet(slider);
        slider->setValue(static_cast<int>(std::lround(value * opacitySteps)));
    });
    return slider;
}

QWidget* temperatureFieldRow(AppSettings& settings, const SettingDeclaration& declaration,
                             QLineEdit*& field) {
    // Digits with an optional sign and decimals; anything else never reaches the field.
    static const QRegularExpression number(QStringLiteral(R"(-?\d{0,3}(\.\d{0,2})?)"));
    auto* edit = new QLineEdit;
    edit->setAccessibleName(declaration.label + QStringLiteral(" in degrees Celsius"));
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

    const auto show = [&settings, &declaration, edit] {
        edit->setText(editableNumberText(settings.value(declaration.setting).toDouble()));
    };
    // The number applies when editing ends (Return, or leaving the field), never digit by
    // digit: typing 101 must not set 1 °C for a poll in between, which would fire an alert. An
    // empty or unfinished field ("-") keeps the stored value and shows it again.
    QObject::connect(edit, &QLineEdit::editingFinished, edit,
                     [&settings, &declaration, edit, show] {
                         bool ok = false;
                         const double value = edit->text().toDouble(&ok);
                         if (ok && std::isfinite(value)) {
                             settings.apply(declaration.setting, value);
                         }
                         show();
                     });
    follow(settings, declaration, edit, [edit, show] {
        if (!edit->hasFocus()) {
            show();
        }
    });
    field = edit;
    return control;
}

}  // namespace

SettingsView::SettingsView(AppSettings& settings, SystemMonitor& monitor, SettingsFile& defaults,
                           KeyboardShortcuts* shortcuts, DataExportActions dataExport,
                           QWidget* parent)
    : QWidget(parent), settings_(settings) {
    setAccessibleName(QStringLiteral("Vantrel Settings"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(16);

    using enum SettingsWindowSection;
    addRows(*addSection(QStringLiteral("Menu Bar — Style")), statusItemStyle);

    SettingsSection& metrics = *addSection(QStringLiteral("Menu Bar — Metrics"));
    metrics.addCaption(QStringLiteral("Toggle, choose display mode, and reorder."));
    addRows(metrics, statusMetrics);

    addRows(*addSection(QStringLiteral("Compact View Sections")), compactSections);
    addRows(*addSection(QStringLiteral("Overlay Sections")), dashboardSections);
    addRows(*addSection(QStringLiteral("Refresh Rate")), refreshRate);
    addRows(*addSection(QStringLiteral("Appearance")), appearance);

    buildShortcuts(*addSection(QStringLiteral("Keyboard Shortcuts")), shortcuts);
    SettingsSection& alerts = *addSection(QStringLiteral("Temperature Alerts"));
    addRows(alerts, temperatureAlerts);
    alerts.addCaption(QStringLiteral("Alerts fire at most once every 5 minutes per sensor."));

    SettingsSection& data = *addSection(QStringLiteral("Data Export"));
    dataExport_ = new DataExportControls(monitor.recorder(), std::move(dataExport));
    data.addWidget(dataExport_);
    data.addCaption(QStringLiteral(
        "Continuous recording logs every poll cycle to a CSV file on your Desktop."));

    addRows(*addSection(QStringLiteral("Launch")), launch);
    addRows(*addSection(QStringLiteral("Status item")), statusItem);

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
        {app_shortcut::toggleDashboard(), "Toggle Overlay"},
        {app_shortcut::openSettings(), "Open Settings"},
    };
    for (const auto& row : rows) {
        const QString label = QString::fromLatin1(row.label);
        auto* recorder = new ShortcutRecorder(*shortcuts, row.name, label);
        recorder->setObjectName(row.name.rawValue);
        section.addRow(label, recorder);
    }
}

void SettingsView::addRows(SettingsSection& section, SettingsWindowSection shown) {
    using enum SettingsWindowRow;
    for (const SettingDeclaration& declaration : settingsTable()) {
        if (declaration.section != shown) {
            continue;
        }
        QWidget* control = nullptr;
        QLineEdit* field = nullptr;
        switch (declaration.row) {
            case toggle:
                control = toggleRow(settings_, declaration);
                break;
            case picker:
                control = pickerRow(settings_, declaration, declaration.choices, {});
                break;
            case accentPicker:
                control = accentPickerRow(settings_, declaration);
                break;
            case stepper:
                control = stepperRow(settings_, declaration, section);
                break;
            case slider:
                control = sliderRow(settings_, declaration, section);
                break;
            case temperatureField:
                control = temperatureFieldRow(settings_, declaration, field);
                break;
            case metricList:
                control = metrics_ = new StatusMetricList(settings_);
                break;
            case none:
                break;
        }
        if (control == nullptr) {
            continue;
        }
        // The control that edits the setting carries its stored key as its name.
        (field != nullptr ? field : control)->setObjectName(declaration.key);
        if (declaration.row == picker || declaration.row == accentPicker) {
            control->setAccessibleName(declaration.accessibleName.isEmpty()
                                           ? declaration.label
                                           : declaration.accessibleName);
        }
        if (declaration.row == metricList) {
            section.addWidget(control);
        } else if (declaration.row != stepper && declaration.row != slider) {
            section.addRow(declaration.label, control);
        }
    }
}

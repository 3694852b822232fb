#include "views/settings/SettingsFileControls.h"

#include "core/SettingsFileTransfer.h"
#include "shortcuts/AppShortcutNames.h"
#include "shortcuts/KeyboardShortcuts.h"
#include "views/kit/ViewPalette.h"
#include "views/settings/IgnoredSettingsText.h"
#include "views/settings/SettingsForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace {

const QString jsonFilter = QStringLiteral("JSON files (*.json)");

std::array<ShortcutName, 3> appShortcuts() {
    return {app_shortcut::toggleCompact(), app_shortcut::toggleDashboard(),
            app_shortcut::openSettings()};
}

}  // namespace

SettingsFileControls::SettingsFileControls(AppSettings& settings, SettingsFile& defaults,
                                           KeyboardShortcuts* shortcuts, QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      defaults_(defaults),
      shortcuts_(shortcuts),
      message_(captionLabel({})) {
    auto* exportButton = new QPushButton(QStringLiteral("Export…"));
    exportButton->setObjectName(QStringLiteral("exportSettings"));
    exportButton->setAccessibleName(QStringLiteral("Export settings"));
    auto* importButton = new QPushButton(QStringLiteral("Import…"));
    importButton->setObjectName(QStringLiteral("importSettings"));
    importButton->setAccessibleName(QStringLiteral("Import settings"));
    message_->setObjectName(QStringLiteral("settingsFileMessage"));
    // The line quotes the file's key names and paths: never markup.
    message_->setTextFormat(Qt::PlainText);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    message_->hide();

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(exportButton);
    buttons->addWidget(importButton);
    buttons->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(buttons);
    column->addWidget(message_);

    connect(exportButton, &QPushButton::clicked, this, &SettingsFileControls::exportFile);
    connect(importButton, &QPushButton::clicked, this, &SettingsFileControls::importFile);
}

QString SettingsFileControls::message() const {
    return message_->text();
}

void SettingsFileControls::exportFile() {
    const QString path =
        dialogs_.save(window(), QStringLiteral("Export Settings"),
                      QStringLiteral("vantrel-settings.json"), jsonFilter, QStringLiteral("json"));
    if (path.isEmpty()) {
        return;
    }
    const SettingsFileResult result = exportSettingsFile(settings_, defaults_, path);
    say(result.ok() ? QStringLiteral("Settings exported to %1").arg(path)
                    : QStringLiteral("The settings were not exported: %1").arg(result.error),
        !result.ok());
}

void SettingsFileControls::importFile() {
    const QString path = dialogs_.open(window(), QStringLiteral("Import Settings"), jsonFilter);
    if (path.isEmpty()) {
        return;
    }
    const SettingsFileResult result = importSettingsFile(settings_, defaults_, path);
    if (!result.ok()) {
        say(QStringLiteral("Nothing was imported: %1").arg(result.error), true);
        return;
    }
    // The import writes the shortcuts' stored form only; setting them again registers the
    // new combinations with the desktop and shows them in the recorders.
    if (shortcuts_ != nullptr) {
        for (const ShortcutName& name : appShortcuts()) {
            if (result.changedShortcuts.contains(name.rawValue)) {
                shortcuts_->setShortcut(shortcuts_->getShortcut(name), name);
            }
        }
    }
    QString text = QStringLiteral("Settings imported from %1").arg(path);
    if (!result.ignored.isEmpty()) {
        text += QStringLiteral("; ") + ignoredSettingsText(result.ignored);
    }
    say(text, false);
}

void SettingsFileControls::say(const QString& text, bool failed) {
    setLabelText(*message_, text);
    QPalette palette = message_->palette();
    palette.setColor(QPalette::WindowText,
                     failed ? ViewPalette::red() : ViewPalette::secondaryText());
    message_->setPalette(palette);
    message_->setVisible(!text.isEmpty());
}

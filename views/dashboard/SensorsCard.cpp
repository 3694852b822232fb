#include "views/dashboard/SensorsCard.h"
#include "views/kit/TextColor.h"

#include "core/AppSettings.h"
#include "core/SystemMonitor.h"
#include "core/TextFormat.h"
#include "views/dashboard/SensorRow.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QSet>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int maxChipColumns = 3;
constexpr int chipColumnWidth = 350;  // the least width a column of chips is given
constexpr int columnGap = 24;

// The name a reading shows when the user gave it none: the driver's label, else the channel.
QString driverName(const SensorChannelReading& channel) {
    return channel.label.isEmpty() ? channel.sensor : channel.label;
}

QString chipHeading(const SensorChannelReading& channel) {
    return channel.chipName.isEmpty() ? channel.chip : channel.chipName;
}

// What decides where a reading's row stands: its chip, the chip's heading and the reading.
QString layoutKey(const SensorChannelReading& channel) {
    return channel.identity() + QLatin1Char('\n') + channel.chipName;
}

}  // namespace

SensorsCard::SensorsCard(AppSettings& settings, QWidget* parent)
    : DashboardCard(QStringLiteral("thermometer"), QStringLiteral("Sensors"), parent),
      settings_(settings),
      columnRow_(new QHBoxLayout),
      showHidden_(new QPushButton) {
    columnRow_->setContentsMargins(0, 0, 0, 0);
    columnRow_->setSpacing(columnGap);
    body()->addLayout(columnRow_);
    showHidden_->setFlat(true);
    showHidden_->setFont(ViewFonts::shared().caption);
    showHidden_->setCursor(Qt::PointingHandCursor);
    showHidden_->setVisible(false);
    auto* end = new QHBoxLayout;
    end->addStretch(1);
    end->addWidget(showHidden_);
    body()->addLayout(end);
    placeChips(1);
    connect(showHidden_, &QPushButton::clicked, this, &SensorsCard::showHiddenReadings);
    connect(&settings_, &AppSettings::sensorNamesChanged, this, &SensorsCard::settingsChanged);
    connect(&settings_, &AppSettings::hiddenSensorsChanged, this, &SensorsCard::settingsChanged);
}

int SensorsCard::chipColumnsForWidth(int width) {
    return std::clamp(width / chipColumnWidth, 1, maxChipColumns);
}

void SensorsCard::refresh(const SystemMonitor& monitor) {
    monitor_ = &monitor;
    const QVector<SensorChannelReading>& channels = monitor.sensors().channels;
    const QMap<QString, QString> names = settings_.sensorNames();
    const QStringList hiddenList = settings_.hiddenSensors();
    const QSet<QString> hidden(hiddenList.cbegin(), hiddenList.cend());

    QVector<bool> shown(channels.size());
    QStringList layout;
    QStringList hiddenHere;
    for (qsizetype i = 0; i < channels.size(); ++i) {
        const QString identity = channels[i].identity();
        shown[i] = !hidden.contains(identity);
        if (shown[i]) {
            layout.append(layoutKey(channels[i]));
        } else {
            hiddenHere.append(identity);
        }
    }
    if (layout != shownLayout_) {
        layOut(channels, shown);
        shownLayout_ = layout;
    }

    const QHash<QString, SensorExtremes>& extremes = monitor.sensorExtremes();
    for (qsizetype i = 0; i < channels.size(); ++i) {
        if (!shown[i]) {
            continue;
        }
        const SensorChannelReading& channel = channels[i];
        const QString identity = channel.identity();
        SensorRow& row = *rows_.value(identity);
        const QString name = names.value(identity);
        row.setLabel(name.isEmpty() ? driverName(channel) : name);
        row.setValue(sensorChannelValueText(channel.kind, channel.value));
        QString spoken =
            chipHeading(channel) + QLatin1Char(' ') + row.label() + QLatin1Char(' ') + row.value();
        const auto seen = extremes.constFind(identity);
        if (seen == extremes.cend()) {
            row.setExtremes(QString());
        } else {
            const QString minimum = sensorChannelValueText(channel.kind, seen->minimum);
            const QString maximum = sensorChannelValueText(channel.kind, seen->maximum);
            row.setExtremes(QStringLiteral("min %1 · max %2").arg(minimum, maximum));
            spoken += QStringLiteral(", min %1, max %2").arg(minimum, maximum);
        }
        row.setSpokenName(spoken);
    }

    hiddenHere_ = hiddenHere;
    showHidden_->setVisible(!hiddenHere.isEmpty());
    const QString showText = QStringLiteral("Show hidden (%1)").arg(hiddenHere.size());
    if (showHidden_->text() != showText) {
        showHidden_->setText(showText);
        showHidden_->setAccessibleName(showText);
    }
}

void SensorsCard::settingsChanged() {
    if (monitor_ != nullptr) {
        refresh(*monitor_);
    }
}

void SensorsCard::layOut(const QVector<SensorChannelReading>& channels,
                         const QVector<bool>& shown) {
    ++layoutCount_;
    for (ChipGroup& group : chips_) {
        group.shownRows = 0;
    }
    QSet<QString> present;
    for (auto it = rows_.cbegin(); it != rows_.cend(); ++it) {
        it.value()->setVisible(false);
    }
    chipOrder_.clear();
    for (qsizetype i = 0; i < channels.size(); ++i) {
        const SensorChannelReading& channel = channels[i];
        const QString identity = channel.identity();
        present.insert(identity);
        if (!shown[i]) {
            continue;
        }
        ChipGroup& group = chipGroup(channel.chip);
        if (group.shownRows == 0) {
            chipOrder_.append(channel.chip);
            group.name->setText(chipHeading(channel));
            group.name->setAccessibleName(chipHeading(channel));
            group.name->setAccessibleDescription(channel.chip);
            group.identity->setText(channel.chip);
        }
        SensorRow* row = rows_.value(identity);
        if (row == nullptr) {
            row = makeRow(channel);
        }
        // Taking a row out and putting it back in order keeps the chip's rows in the
        // readings' order, whichever came back from hiding.
        group.rows->removeWidget(row);
        group.rows->insertWidget(group.shownRows, row);
        row->setVisible(true);
        ++group.shownRows;
    }
    // Rows of readings the machine no longer has go; hidden ones stay for their return.
    for (auto it = rows_.begin(); it != rows_.end();) {
        if (present.contains(it.key())) {
            ++it;
        } else {
            it.value()->deleteLater();
            it = rows_.erase(it);
        }
    }
    for (auto it = chips_.begin(); it != chips_.end(); ++it) {
        it->box->setVisible(it->shownRows > 0);
    }
    placeChips(chipColumns());
}

SensorRow* SensorsCard::makeRow(const SensorChannelReading& channel) {
    auto* row = new SensorRow;
    const QString identity = channel.identity();
    rows_.insert(identity, row);
    connect(row, &SensorRow::hideRequested, this,
            [this, identity] { settings_.setSensorHidden(identity, true); });
    connect(row, &SensorRow::renameRequested, this, [this, identity](const QString& name) {
        // A name that is the driver's own is no renaming: storing none keeps following it.
        const SensorChannelReading* channel = nullptr;
        if (monitor_ != nullptr) {
            for (const SensorChannelReading& reading : monitor_->sensors().channels) {
                if (reading.identity() == identity) {
                    channel = &reading;
                }
            }
        }
        const bool driverOwn = channel != nullptr && name == driverName(*channel);
        settings_.setSensorName(identity, driverOwn ? QString() : name);
    });
    return row;
}

SensorsCard::ChipGroup& SensorsCard::chipGroup(const QString& chip) {
    auto found = chips_.find(chip);
    if (found != chips_.end()) {
        return *found;
    }
    ChipGroup group;
    group.box = new QWidget;
    auto* column = new QVBoxLayout(group.box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto* heading = new QHBoxLayout;
    heading->setSpacing(8);
    QFont bold = ViewFonts::shared().caption;
    bold.setWeight(QFont::DemiBold);
    group.name = coloredLabel({}, bold, ViewPalette::primaryText());
    group.identity = coloredLabel({}, ViewFonts::shared().smallCaption,
                                  ViewPalette::withOpacity(ViewPalette::secondaryText(), 0.7));
    group.identity->setAccessibleName(QString());
    heading->addWidget(group.name);
    heading->addStretch(1);
    heading->addWidget(group.identity);
    column->addLayout(heading);
    group.rows = new QVBoxLayout;
    group.rows->setSpacing(0);
    column->addLayout(group.rows);
    return *chips_.insert(chip, group);
}

void SensorsCard::placeChips(int columns) {
    for (QVBoxLayout* column : columns_) {
        for (const QString& chip : chipOrder_) {
            column->removeWidget(chips_[chip].box);
        }
        columnRow_->removeItem(column);
        delete column;
    }
    columns_.clear();
    for (int i = 0; i < columns; ++i) {
        auto* column = new QVBoxLayout;
        column->setSpacing(12);
        columnRow_->addLayout(column, 1);
        columns_.append(column);
    }
    // Chips keep their order down each column and then across; a column takes chips until it
    // holds its share of the rows.
    int total = 0;
    for (const QString& chip : chipOrder_) {
        total += chips_[chip].shownRows + 1;
    }
    const int share = (total + columns - 1) / columns;
    int column = 0;
    int filled = 0;
    for (const QString& chip : chipOrder_) {
        const int rows = chips_[chip].shownRows + 1;
        if (filled > 0 && filled + rows / 2 > share && column + 1 < columns) {
            ++column;
            filled = 0;
        }
        columns_[column]->addWidget(chips_[chip].box);
        filled += rows;
    }
    for (QVBoxLayout* each : columns_) {
        each->addStretch(1);
    }
}

void SensorsCard::resizeEvent(QResizeEvent* event) {
    DashboardCard::resizeEvent(event);
    const int columns = chipColumnsForWidth(event->size().width());
    if (columns != chipColumns()) {
        placeChips(columns);
    }
}

void SensorsCard::showHiddenReadings() {
    const QStringList hidden = hiddenHere_;
    for (const QString& identity : hidden) {
        settings_.setSensorHidden(identity, false);
    }
}

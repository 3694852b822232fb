#include "views/graphs/GlowGraphView.h"
#include "views/graphs/MiniGraphView.h"
#include "views/kit/Card.h"
#include "views/kit/Chip.h"
#include "views/kit/LevelBar.h"
#include "views/kit/RingGauge.h"
#include "views/kit/StateBadge.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewPalette.h"

#include <QDir>
#include <QHBoxLayout>
#include <QImage>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A dashboard-like card with one of each piece, on the dashboard's background.
struct PiecesBoard {
    QWidget board;
    QColor accent = accentColorNamed(QStringLiteral("purple"));

    PiecesBoard() {
        ViewPalette::applyDarkLook(board, ViewPalette::dashboardBackground());
        auto* column = new QVBoxLayout(&board);
        column->setContentsMargins(16, 16, 16, 16);

        auto* chips = new QHBoxLayout;
        auto* cpuChip = new Chip(QStringLiteral("cpu"), QStringLiteral("CPU"));
        cpuChip->setValue(QStringLiteral("42%"));
        auto* batteryChip = new Chip(QStringLiteral("battery.75"), QStringLiteral("Battery"));
        batteryChip->setValue(QStringLiteral("68%"));
        batteryChip->setSymbolColor(ViewPalette::green());
        chips->addWidget(cpuChip);
        chips->addWidget(batteryChip);
        chips->addStretch(1);
        column->addLayout(chips);

        auto* card = new Card(QStringLiteral("cpu"), QStringLiteral("CPU"));
        card->setValue(QStringLiteral("42%"));
        card->setBorderColor(accent);
        auto* graph = new GlowGraphView;
        graph->setFixedHeight(46);
        graph->setColor(accent);
        graph->setValues({12, 30, 22, 48, 41, 65, 38, 52, 90, 61, 44, 70});
        card->body()->addWidget(graph);
        for (double load : {0.8, 0.35}) {
            auto* core = new LevelBar;
            core->setCornerRadius(2);
            core->setFillColor(accent);
            core->setValue(load);
            card->body()->addWidget(core);
        }
        auto* gauges = new QHBoxLayout;
        auto* pressure = new RingGauge(QStringLiteral("PRESS"));
        pressure->setValue(0.18);
        pressure->setColor(ViewPalette::green());
        auto* memory = new RingGauge(QStringLiteral("MEM"));
        memory->setValue(0.64);
        memory->setColor(accent);
        auto* badge = new StateBadge;
        badge->setText(QStringLiteral("Nominal"));
        badge->setColor(ViewPalette::green());
        gauges->addWidget(pressure);
        gauges->addWidget(memory);
        gauges->addStretch(1);
        gauges->addWidget(badge);
        card->body()->addLayout(gauges);
        auto* level = new LevelBar;
        level->setValue(0.68);
        card->body()->addWidget(level);
        auto* mini = new MiniGraphView;
        mini->setFixedHeight(30);
        mini->setColor(ViewPalette::orange());
        mini->setValues({0.1, 0.4, 0.3, 0.8, 0.5});
        card->body()->addWidget(mini);
        auto* row = new ValueRow(QStringLiteral("A process with a very long name indeed, longer"));
        row->setSymbol(QStringLiteral("app.badge"));
        row->setValue(QStringLiteral("12.5%"));
        row->setValueColor(ViewPalette::purple());
        card->body()->addWidget(row);
        auto* health = new ValueRow(QStringLiteral("Health"));
        health->setValue(QStringLiteral("91%"));
        health->setValueColor(ViewPalette::green());
        card->body()->addWidget(health);
        column->addWidget(card);
        board.resize(300, board.sizeHint().height());
    }

    QImage picture(double scale) {
        QImage image(board.size() * scale, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        board.render(&image);
        return image;
    }
};

bool hasColorNear(const QImage& image, const QColor& color) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const QColor pixel = argb.pixelColor(x, y);
            if (std::abs(pixel.red() - color.red()) < 12 &&
                std::abs(pixel.green() - color.green()) < 12 &&
                std::abs(pixel.blue() - color.blue()) < 12) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

// Keeps pictures of the pieces at 100 % and 200 % in artefacts/ to look at.
TEST(PiecesPictureTest, PiecesDrawOnTheDarkBackgroundAtBothScales) {
    PiecesBoard pieces;
    QDir().mkpath(QStringLiteral(VANTREL_VIEWS_ARTEFACTS));
    for (double scale : {1.0, 2.0}) {
        const QImage image = pieces.picture(scale);
        EXPECT_EQ(image.pixelColor(1, 1).rgb(), ViewPalette::dashboardBackground().rgb());
        EXPECT_TRUE(hasColorNear(image, pieces.accent));
        EXPECT_TRUE(hasColorNear(image, ViewPalette::green()));
        const QString file = QStringLiteral(VANTREL_VIEWS_ARTEFACTS "/pieces@%1x.png").arg(scale);
        EXPECT_TRUE(image.save(file)) << file.toStdString();
    }
}

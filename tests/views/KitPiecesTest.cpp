#include "drawing/SymbolGlyphs.h"
#include "views/kit/Card.h"
#include "views/kit/Chip.h"
#include "views/kit/LevelBar.h"
#include "views/kit/RingGauge.h"
#include "views/kit/StateBadge.h"
#include "views/kit/SymbolLabel.h"
#include "views/kit/ValueRow.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <gtest/gtest.h>

TEST(KitPiecesTest, EverySymbolNameIsOneGlyphOfTheIconFont) {
    const QFont font = ViewFonts::symbol(16);
    for (const QString& name : knownSymbolNames()) {
        EXPECT_TRUE(symbolGlyph(name, font)) << name.toStdString();
    }
    EXPECT_FALSE(SymbolLabel(QStringLiteral("no.such.symbol")).hasGlyph());
    EXPECT_TRUE(SymbolLabel(QStringLiteral("battery.100.bolt")).hasGlyph());
}

TEST(KitPiecesTest, PiecesNameTheirValueForScreenReaders) {
    ValueRow row(QStringLiteral("Total"));
    row.setValue(QStringLiteral("16.0 GB"));
    Chip chip(QStringLiteral("cpu"), QStringLiteral("CPU"));
    chip.setValue(QStringLiteral("42%"));
    RingGauge gauge(QStringLiteral("MEM"));
    gauge.setValue(0.617);
    LevelBar bar;
    bar.setLabel(QStringLiteral("Battery"));
    bar.setValue(1.3);  // drawn and read as full
    StateBadge badge;
    badge.setLabel(QStringLiteral("Thermal Pressure"));
    badge.setText(QStringLiteral("Nominal"));
    Card card(QStringLiteral("cpu"), QStringLiteral("CPU"));
    card.setValue(QStringLiteral("7%"));

    const std::pair<const QWidget*, const char*> expected[] = {
        {&row, "Total 16.0 GB"},
        {&chip, "CPU 42%"},
        {&gauge, "MEM 61%"},
        {&bar, "Battery 100%"},
        {&badge, "Thermal Pressure Nominal"},
        {&card, "CPU 7%"},
    };
    for (const auto& [widget, name] : expected) {
        EXPECT_EQ(widget->accessibleName().toStdString(), name);
    }
}

TEST(KitPiecesTest, ALongRowTextNeverWidensItsParent) {
    ValueRow shortRow(QStringLiteral("sh"));
    ValueRow longRow(QString(300, QLatin1Char('x')));
    longRow.setValue(QString(100, QLatin1Char('9')));
    EXPECT_EQ(longRow.sizeHint(), shortRow.sizeHint());
    EXPECT_EQ(longRow.minimumSizeHint().width(), 0);
}

TEST(KitPiecesTest, AccentOptionsFollowTheDashboardOrderWithTheStoredColours) {
    const QVector<AccentOption> options = accentOptions();
    QStringList names;
    for (const AccentOption& option : options) {
        names.push_back(option.name);
    }
    EXPECT_EQ(names.join(QLatin1Char(',')).toStdString(),
              "green,teal,purple,blue,orange,yellow,pink,red");
    EXPECT_EQ(options[2].color, accentColorNamed(QStringLiteral("purple")));
    EXPECT_EQ(options[2].color.red(), 139);  // 0.545 × 255
    EXPECT_EQ(ViewPalette::dashboardBackground(), QColor::fromRgbF(0.04f, 0.038f, 0.06f));
}

TEST(KitPiecesTest, EachColourNameHasItsOwnAccentAndAnyOtherNameGivesPurple) {
    QVector<QColor> named;
    for (const AccentOption& choice : accentChoices()) {
        EXPECT_FALSE(named.contains(accentColorNamed(choice.name))) << choice.name.toStdString();
        named.append(accentColorNamed(choice.name));
    }
    EXPECT_EQ(named.size(), 8);
    for (const char* name : {"Purple", "Red", "magenta", ""}) {
        EXPECT_EQ(accentColorNamed(QString::fromLatin1(name)), named.front()) << name;
    }
}

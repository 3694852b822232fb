#pragma once

#include "views/dashboard/SensorsCard.h"
#include "views/kit/ViewPalette.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <initializer_list>

// Keeps pictures of `card`, 928 px wide on the dashboard's background, in the views tests'
// artefacts as "<name>@<scale>x.png"; the card goes back to no parent afterwards.
inline void keepSensorsCardPictures(SensorsCard& card, const QString& name,
                                    std::initializer_list<double> scales) {
    QWidget board;
    ViewPalette::applyDarkLook(board, ViewPalette::dashboardBackground());
    auto* column = new QVBoxLayout(&board);
    column->setContentsMargins(16, 16, 16, 16);
    column->addWidget(&card);
    board.resize(928, 200);
    board.show();
    QCoreApplication::processEvents();
    // The card's columns follow its width: the height fits once they stand.
    for (int pass = 0; pass < 2; ++pass) {
        board.resize(928, board.sizeHint().height());
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(card.chipColumns(), 2);
    QDir().mkpath(QStringLiteral(VANTREL_VIEWS_ARTEFACTS));
    for (double scale : scales) {
        QImage image(board.size() * scale, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        board.render(&image);
        const QString file =
            QStringLiteral(VANTREL_VIEWS_ARTEFACTS "/%1@%2x.png").arg(name).arg(scale);
        EXPECT_TRUE(image.save(file)) << file.toStdString();
    }
    column->removeWidget(&card);
    card.setParent(nullptr);
}

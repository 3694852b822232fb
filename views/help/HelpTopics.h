#pragma once

#include <QString>
#include <QVector>

// One topic of the help page: its title, the symbol drawn beside the title (a name of the
// status item's symbol table) and its text, whose "\n" are line breaks.
struct HelpTopic {
    QString title;
    QString symbol;
    QString text;
};

// The whole help page: its title, the topics in reading order, and the group heading that
// stands, after a divider, before topic `groupStartsAt` (0-based).
struct HelpPage {
    QString title;
    QVector<HelpTopic> topics;
    QString groupHeading;
    int groupStartsAt = 0;
};

const HelpPage& helpPage();

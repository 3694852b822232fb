#pragma once

#include <QScrollArea>
#include <QSize>

class QLabel;

// The help page: the page title, then each topic's symbol and title over its text, with a
// divider and the group heading before the sensor topics, in one column that scrolls
// vertically and wraps every text at the window's width. Static: it reads no data.
class HelpView final : public QScrollArea {
    Q_OBJECT
public:
    explicit HelpView(QWidget* parent = nullptr);

    // The page's texts in reading order (title; each topic's title and text, the group heading
    // among them); each carries its text as its accessible name.
    QList<QLabel*> textLabels() const { return labels_; }

private:
    QList<QLabel*> labels_;
};

// The help window's size and title.
inline constexpr QSize helpWindowSize{500, 600};
QString helpWindowTitle();

// The "Vantrel Help" window: the help page in an ordinary closable window of its own,
// centred on the primary screen.
QWidget* makeHelpWindow();

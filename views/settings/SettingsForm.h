#pragma once

#include <QAbstractButton>
#include <QString>
#include <QWidget>

class QLabel;
class QVBoxLayout;

// The pieces of the settings window's grouped form, in the program's dark look.

// An on/off switch: a rounded track with a knob, in the accent colour while on. Screen
// readers hear it as a check box named after its row.
class ToggleSwitch : public QAbstractButton {
    Q_OBJECT
public:
    explicit ToggleSwitch(const QString& accessibleName, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// One group of the form: its title above a rounded card that holds its rows.
class SettingsSection : public QWidget {
    Q_OBJECT
public:
    explicit SettingsSection(const QString& title, QWidget* parent = nullptr);

    QString title() const;
    // A row with `label` at the left and `control` at the right; returns the label.
    QLabel* addRow(const QString& label, QWidget* control);
    // A row of its own, the whole width.
    void addWidget(QWidget* widget);
    // A line of small secondary text.
    QLabel* addCaption(const QString& text);
    QVBoxLayout* rows() const { return rows_; }

private:
    QLabel* title_;
    QVBoxLayout* rows_;
};

// A label of the form: body text in the primary colour, named for screen readers by its text.
QLabel* formLabel(const QString& text);
// Small secondary text that wraps, also named by its text.
QLabel* captionLabel(const QString& text);
// Sets a label's text and the name screen readers read with it.
void setLabelText(QLabel& label, const QString& text);

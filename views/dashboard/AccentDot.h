#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QString>

// One accent colour the user can pick: a filled dot, ringed in white while it is the current
// accent. Screen readers hear "Purple accent" and whether it is chosen.
class AccentDot final : public QAbstractButton {
    Q_OBJECT
public:
    AccentDot(const QString& name, const QColor& color, QWidget* parent = nullptr);

    const QString& name() const { return name_; }
    QColor color() const { return color_; }
    // Repaints only when the state changes.
    void setCurrent(bool current);
    bool isCurrent() const { return current_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString name_;
    QColor color_;
    bool current_ = false;
};

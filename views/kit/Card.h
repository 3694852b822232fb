#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <optional>

class QLabel;
class QVBoxLayout;
class SymbolLabel;

// A section of a panel or a card of the dashboard: a rounded background, an optional 1 px
// border in an accent colour at opacity 0.2, a title row (symbol, title, and an optional value
// at the right) and a body the owner fills through body(). The title row is hidden while it
// has neither symbol, title nor value. Screen readers hear "title value" ("CPU 42%").
class Card : public QWidget {
    Q_OBJECT
public:
    explicit Card(QWidget* parent = nullptr);
    Card(const QString& symbolName, const QString& title, QWidget* parent = nullptr);

    // Each setter repaints only when the value differs from the one held.
    void setTitle(const QString& title);
    void setSymbol(const QString& symbolName);
    void setValue(const QString& value);      // empty hides it
    void setValueColor(const QColor& color);  // default: the primary text colour
    // The border's colour, drawn at opacity 0.2; nothing draws no border (the default).
    void setBorderColor(const std::optional<QColor>& color);
    void setBackgroundColor(const QColor& color);  // default: the card background
    void setCornerRadius(double radius);           // default 10

    QString title() const;
    QString value() const;

    // The column under the title row: add the card's content here.
    QVBoxLayout* body() const { return body_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void titleChanged();

    SymbolLabel* symbol_;
    QLabel* title_;
    QLabel* value_;
    QWidget* titleRow_;
    QVBoxLayout* body_;
    std::optional<QColor> border_;
    QColor background_;
    double cornerRadius_ = 10;
};

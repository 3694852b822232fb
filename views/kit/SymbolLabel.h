#pragma once

#include <QColor>
#include <QGlyphRun>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <optional>

class QPainter;

// The glyph of one symbol name ("cpu", "battery.75", …) in the Material Icons font at one
// size, shaped once and drawn centred in a box. A name the symbol table or the font lacks
// draws nothing.
class SymbolGlyph {
public:
    // Reshapes only when the name or the size changes.
    void set(const QString& symbolName, int pixelSize);
    bool isEmpty() const { return !run_.has_value(); }
    const QString& name() const { return name_; }
    void paint(QPainter& painter, const QRectF& box, const QColor& color) const;

private:
    QString name_;
    int pixelSize_ = 0;
    std::optional<QGlyphRun> run_;
};

// A symbol as a small square widget of its pixel size, tinted in one colour. It keeps its
// room when the symbol has no glyph, so rows stay aligned. Symbols are decoration: the text
// beside them carries the meaning for screen readers.
class SymbolLabel : public QWidget {
    Q_OBJECT
public:
    explicit SymbolLabel(const QString& symbolName = {}, QWidget* parent = nullptr);

    // Each setter repaints only when the value differs from the one held.
    void setSymbol(const QString& symbolName);
    void setColor(const QColor& color);  // default: the primary text colour
    void setPixelSize(int pixelSize);    // default 14

    QString symbol() const { return glyph_.name(); }
    bool hasGlyph() const { return !glyph_.isEmpty(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SymbolGlyph glyph_;
    QColor color_;
    int pixelSize_ = 14;
};

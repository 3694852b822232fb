#include "views/kit/SymbolLabel.h"

#include "drawing/SymbolGlyphs.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QPainter>

void SymbolGlyph::set(const QString& symbolName, int pixelSize) {
    if (symbolName == name_ && pixelSize == pixelSize_) {
        return;
    }
    name_ = symbolName;
    pixelSize_ = pixelSize;
    run_ =
        symbolName.isEmpty() ? std::nullopt : symbolGlyph(symbolName, ViewFonts::symbol(pixelSize));
}

void SymbolGlyph::paint(QPainter& painter, const QRectF& box, const QColor& color) const {
    if (!run_) {
        return;
    }
    // The run's positions are relative to its baseline origin: move the ink's centre onto
    // the box's centre.
    const QRectF ink = run_->boundingRect();
    painter.save();
    painter.setPen(color);
    painter.drawGlyphRun(box.center() - ink.center(), *run_);
    painter.restore();
}

SymbolLabel::SymbolLabel(const QString& symbolName, QWidget* parent)
    : QWidget(parent), color_(ViewPalette::primaryText()) {
    glyph_.set(symbolName, pixelSize_);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SymbolLabel::setSymbol(const QString& symbolName) {
    if (symbolName == glyph_.name()) {
        return;
    }
    glyph_.set(symbolName, pixelSize_);
    update();
}

void SymbolLabel::setColor(const QColor& color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    update();
}

void SymbolLabel::setPixelSize(int pixelSize) {
    if (pixelSize == pixelSize_) {
        return;
    }
    pixelSize_ = pixelSize;
    glyph_.set(glyph_.name(), pixelSize_);
    updateGeometry();
    update();
}

QSize SymbolLabel::sizeHint() const {
    return {pixelSize_, pixelSize_};
}

void SymbolLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    glyph_.paint(painter, QRectF(rect()), color_);
}

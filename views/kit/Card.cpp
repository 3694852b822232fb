#include "views/kit/Card.h"
#include "views/kit/TextColor.h"

#include "views/kit/SymbolLabel.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr int padding = 12;
constexpr int spacing = 8;
constexpr double borderOpacity = 0.2;

}  // namespace

Card::Card(QWidget* parent) : Card({}, {}, parent) {}

Card::Card(const QString& symbolName, const QString& title, QWidget* parent)
    : QWidget(parent),
      symbol_(new SymbolLabel(symbolName)),
      title_(new QLabel(title)),
      value_(new QLabel),
      titleRow_(new QWidget),
      body_(new QVBoxLayout),
      background_(ViewPalette::cardBackground()) {
    const ViewFonts& fonts = ViewFonts::shared();
    symbol_->setPixelSize(QFontMetrics(fonts.headline).height());
    title_->setFont(fonts.headline);
    setTextColor(*title_, ViewPalette::primaryText());
    value_->setFont(ViewFonts::monospacedDigits(fonts.headline));
    setTextColor(*value_, ViewPalette::primaryText());
    value_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* row = new QHBoxLayout(titleRow_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(symbol_);
    row->addWidget(title_);
    row->addStretch(1);
    row->addWidget(value_);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(spacing);
    column->addWidget(titleRow_);
    body_->setContentsMargins(0, 0, 0, 0);
    body_->setSpacing(6);
    column->addLayout(body_);
    titleChanged();
}

void Card::setTitle(const QString& title) {
    if (title == title_->text()) {
        return;
    }
    title_->setText(title);
    titleChanged();
}

void Card::setSymbol(const QString& symbolName) {
    if (symbolName == symbol_->symbol()) {
        return;
    }
    symbol_->setSymbol(symbolName);
    titleChanged();
}

void Card::setValue(const QString& value) {
    if (value == value_->text()) {
        return;
    }
    value_->setText(value);
    titleChanged();
}

void Card::setValueColor(const QColor& color) {
    if (value_->palette().color(QPalette::WindowText) == color) {
        return;
    }
    setTextColor(*value_, color);
}

void Card::setBorderColor(const std::optional<QColor>& color) {
    if (color == border_) {
        return;
    }
    border_ = color;
    update();
}

void Card::setBackgroundColor(const QColor& color) {
    if (color == background_) {
        return;
    }
    background_ = color;
    update();
}

void Card::setCornerRadius(double radius) {
    if (radius == cornerRadius_) {
        return;
    }
    cornerRadius_ = radius;
    update();
}

QString Card::title() const {
    return title_->text();
}

QString Card::value() const {
    return value_->text();
}

void Card::titleChanged() {
    const QString title = title_->text();
    const QString value = value_->text();
    symbol_->setVisible(!symbol_->symbol().isEmpty());
    title_->setVisible(!title.isEmpty());
    value_->setVisible(!value.isEmpty());
    titleRow_->setVisible(!symbol_->symbol().isEmpty() || !title.isEmpty() || !value.isEmpty());
    setAccessibleName(value.isEmpty() ? title : title + QLatin1Char(' ') + value);
}

void Card::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Inset by half a pixel so the 1 px border lies on whole pixels.
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(border_ ? QPen(ViewPalette::withOpacity(*border_, borderOpacity), 1)
                           : QPen(Qt::NoPen));
    painter.setBrush(background_);
    painter.drawRoundedRect(area, cornerRadius_, cornerRadius_);
}

#include "views/settings/SettingsForm.h"
#include "views/kit/TextColor.h"

#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr int trackWidth = 36;
constexpr int trackHeight = 20;
constexpr int knobInset = 2;
constexpr int cardPadding = 10;
constexpr double cardRadius = 8;

// The card under a section's title.
class SectionCard : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ViewPalette::cardBackground());
        painter.drawRoundedRect(QRectF(rect()), cardRadius, cardRadius);
    }
};

}  // namespace

ToggleSwitch::ToggleSwitch(const QString& accessibleName, QWidget* parent)
    : QAbstractButton(parent) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(accessibleName);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize ToggleSwitch::sizeHint() const {
    return {trackWidth, trackHeight};
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track =
        QRectF(0, 0, trackWidth, trackHeight)
            .translated((width() - trackWidth) / 2.0, (height() - trackHeight) / 2.0);
    const double radius = track.height() / 2;
    QColor on = ViewPalette::green();
    QColor off(80, 80, 86);
    if (!isEnabled()) {
        on = ViewPalette::withOpacity(on, 0.4);
        off = ViewPalette::withOpacity(off, 0.4);
    }
    painter.setPen(hasFocus() ? QPen(ViewPalette::blue(), 1.5) : Qt::NoPen);
    painter.setBrush(isChecked() ? on : off);
    painter.drawRoundedRect(track, radius, radius);
    const double knob = track.height() - 2 * knobInset;
    const double x = isChecked() ? track.right() - knobInset - knob : track.left() + knobInset;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(x, track.top() + knobInset, knob, knob));
}

SettingsSection::SettingsSection(const QString& title, QWidget* parent)
    : QWidget(parent), title_(new QLabel(title)), rows_(new QVBoxLayout) {
    const ViewFonts& fonts = ViewFonts::shared();
    QFont titleFont = fonts.caption;
    titleFont.setWeight(QFont::DemiBold);
    title_->setFont(titleFont);
    setTextColor(*title_, ViewPalette::secondaryText());
    title_->setAccessibleName(title);
    setAccessibleName(title);

    auto* card = new SectionCard;
    rows_->setContentsMargins(cardPadding, cardPadding, cardPadding, cardPadding);
    rows_->setSpacing(8);
    card->setLayout(rows_);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    column->addWidget(title_);
    column->addWidget(card);
}

QString SettingsSection::title() const {
    return title_->text();
}

QLabel* SettingsSection::addRow(const QString& label, QWidget* control) {
    QLabel* text = formLabel(label);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(text, 1);
    row->addWidget(control, 0, Qt::AlignRight | Qt::AlignVCenter);
    rows_->addLayout(row);
    return text;
}

void SettingsSection::addWidget(QWidget* widget) {
    rows_->addWidget(widget);
}

QLabel* SettingsSection::addCaption(const QString& text) {
    QLabel* caption = captionLabel(text);
    rows_->addWidget(caption);
    return caption;
}

QLabel* formLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setFont(ViewFonts::shared().body);
    setTextColor(*label, ViewPalette::primaryText());
    label->setAccessibleName(text);
    return label;
}

QLabel* captionLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setFont(ViewFonts::shared().caption);
    setTextColor(*label, ViewPalette::secondaryText());
    label->setWordWrap(true);
    label->setAccessibleName(text);
    return label;
}

void setLabelText(QLabel& label, const QString& text) {
    if (label.text() != text) {
        label.setText(text);
        label.setAccessibleName(text);
    }
}

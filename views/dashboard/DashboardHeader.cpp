#include "views/dashboard/DashboardHeader.h"

#include "core/AppSettings.h"
#include "core/SampleRecorder.h"
#include "core/TextFormat.h"
#include "views/dashboard/AccentDot.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

void setTextColor(QWidget& widget, const QColor& color) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    widget.setPalette(palette);
}

// Nothing may point at a page that is not there.
bool pageExists(const QUrl& page) {
    return page.isValid() && !page.isEmpty() &&
           (!page.isLocalFile() || QFileInfo::exists(page.toLocalFile()));
}

}  // namespace

DashboardHeader::DashboardHeader(const SampleRecorder& recorder, AppSettings& settings,
                                 const QString& supportUrl, QWidget* parent)
    : QWidget(parent),
      recorder_(recorder),
      settings_(settings),
      recording_(new QLabel),
      controls_(new QWidget) {
    const ViewFonts& fonts = ViewFonts::shared();
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(6);
    // The view's narrowest width decides, not the widest line.
    rows->setSizeConstraint(QLayout::SetNoConstraint);
    top_ = new QHBoxLayout;
    top_->setSpacing(8);
    bottom_ = new QHBoxLayout;
    bottom_->addStretch(1);
    rows->addLayout(top_);
    rows->addLayout(bottom_);
    QHBoxLayout* row = top_;

    auto* title = new QLabel(QStringLiteral("VANTREL"));
    QFont titleFont = fonts.headline;
    titleFont.setWeight(QFont::Bold);
    titleFont.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    title->setFont(titleFont);
    setTextColor(*title, ViewPalette::primaryText());
    title->setAccessibleName(QStringLiteral("VANTREL"));
    row->addWidget(title);

    QFont recordingFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    recordingFont.setPixelSize(fonts.caption.pixelSize());
    recordingFont.setWeight(QFont::DemiBold);
    recording_->setFont(recordingFont);
    setTextColor(*recording_, ViewPalette::red());
    row->addWidget(recording_);
    row->addStretch(1);

    // The dots and the buttons go under the title when the line is too narrow for all.
    row = new QHBoxLayout(controls_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    auto* dots = new QHBoxLayout;
    dots->setSpacing(2);
    for (const AccentOption& option : accentOptions()) {
        auto* dot = new AccentDot(option.name, option.color);
        connect(dot, &QAbstractButton::clicked, this,
                [this, name = option.name] { settings_.setGraphColor(name); });
        dots->addWidget(dot);
        dots_.append(dot);
    }
    row->addLayout(dots);
    row->addSpacing(6);

    const auto addButton = [&](const QString& text, auto&& action) {
        auto* button = new QToolButton;
        button->setText(text);
        button->setAutoRaise(true);
        button->setFont(fonts.caption);
        button->setCursor(Qt::PointingHandCursor);
        button->setAccessibleName(text);
        setTextColor(*button, ViewPalette::secondaryText());
        connect(button, &QToolButton::clicked, this, action);
        row->addWidget(button);
        buttons_.append(button);
        return button;
    };
    addButton(QStringLiteral("Help"), [this] { emit helpRequested(); });
    const QUrl support(supportUrl);
    addButton(QStringLiteral("Support"), [support] {
        QDesktopServices::openUrl(support);
    })->setEnabled(pageExists(support));
    addButton(QStringLiteral("Settings"), [this] { emit settingsRequested(); });
    addButton(QStringLiteral("Quit"), [this] { emit quitRequested(); });
    top_->addWidget(controls_);

    connect(&recorder_, &SampleRecorder::isRecordingChanged, this,
            &DashboardHeader::updateRecording);
    connect(&recorder_, &SampleRecorder::recordingDurationChanged, this,
            &DashboardHeader::updateRecording);
    connect(&settings_, &AppSettings::graphColorChanged, this, &DashboardHeader::updateAccent);
    updateRecording();
    updateAccent();
}

QSize DashboardHeader::minimumSizeHint() const {
    const int title = top_->itemAt(0)->minimumSize().width();
    const int height = top_->minimumSize().height() + bottom_->minimumSize().height();
    return {std::max(title, controls_->minimumSizeHint().width()), height};
}

void DashboardHeader::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeControls();
}

void DashboardHeader::placeControls() {
    const int titleLine = top_->itemAt(0)->sizeHint().width() +
                          (recording_->isHidden() ? 0 : recording_->sizeHint().width()) + 24;
    const bool oneLine = width() >= titleLine + controls_->sizeHint().width();
    QHBoxLayout* wanted = oneLine ? top_ : bottom_;
    if (wanted->indexOf(controls_) >= 0) {
        return;
    }
    (oneLine ? bottom_ : top_)->removeWidget(controls_);
    wanted->addWidget(controls_);
    updateGeometry();
}

QString DashboardHeader::recordingText() const {
    return recording_->isHidden() ? QString() : recording_->accessibleName();
}

QToolButton* DashboardHeader::button(const QString& text) const {
    for (QToolButton* button : buttons_) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

void DashboardHeader::updateRecording() {
    const bool recording = recorder_.isRecording();
    if (recording) {
        const QString text = QLatin1String("REC ") + durationText(recorder_.recordingDuration());
        if (recording_->accessibleName() != text) {
            recording_->setText(QString(QChar(0x25CF)) + QLatin1Char(' ') + text);
            recording_->setAccessibleName(text);
        }
    }
    if (recording_->isHidden() == recording) {
        recording_->setVisible(recording);
        placeControls();
    }
}

void DashboardHeader::updateAccent() {
    const QString current = settings_.graphColor();
    const QColor accent = accentColor(settings_);
    bool named = false;
    for (AccentDot* dot : dots_) {
        named = named || dot->name() == current;
    }
    for (AccentDot* dot : dots_) {
        // An unknown name shows as purple, so the purple dot is the current one then.
        dot->setCurrent(named ? dot->name() == current : dot->color() == accent);
    }
}

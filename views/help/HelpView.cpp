#include "views/help/HelpView.h"

#include "views/help/HelpTopics.h"
#include "views/kit/SymbolLabel.h"
#include "views/kit/ViewFonts.h"
#include "views/kit/ViewPalette.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int pageSpacing = 20;
constexpr int pagePadding = 20;
constexpr int titleToTextSpacing = 6;

QFont restyled(const QFont& base, double sizeFactor, QFont::Weight weight) {
    QFont font(base);
    font.setPixelSize(static_cast<int>(std::lround(base.pixelSize() * sizeFactor)));
    font.setWeight(weight);
    return font;
}

}  // namespace

HelpView::HelpView(QWidget* parent) : QScrollArea(parent) {
    const HelpPage& page = helpPage();
    const ViewFonts& fonts = ViewFonts::shared();
    const QFont titleFont = restyled(fonts.headline, 1.6, QFont::Bold);
    const QFont groupFont = restyled(fonts.headline, 1.0, QFont::Bold);
    QPalette secondary = palette();
    secondary.setColor(QPalette::WindowText, ViewPalette::secondaryText());

    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setSpacing(pageSpacing);
    column->setContentsMargins(pagePadding, pagePadding, pagePadding, pagePadding);

    const auto addLabel = [this](QBoxLayout* layout, const QString& text, const QFont& font) {
        auto* label = new QLabel(text);
        label->setTextFormat(Qt::PlainText);
        label->setFont(font);
        label->setAccessibleName(text);
        layout->addWidget(label);
        labels_.append(label);
        return label;
    };

    addLabel(column, page.title, titleFont);
    for (int index = 0; index < page.topics.size(); ++index) {
        if (index == page.groupStartsAt) {
            auto* divider = new QFrame;
            divider->setFrameShape(QFrame::HLine);
            divider->setFrameShadow(QFrame::Sunken);
            column->addWidget(divider);
            addLabel(column, page.groupHeading, groupFont);
        }
        const HelpTopic& topic = page.topics[index];
        auto* block = new QVBoxLayout;
        block->setSpacing(titleToTextSpacing);
        auto* heading = new QHBoxLayout;
        auto* symbol = new SymbolLabel(topic.symbol);
        symbol->setPixelSize(QFontMetrics(fonts.headline).height());
        heading->addWidget(symbol);
        addLabel(heading, topic.title, fonts.headline);
        heading->addStretch();
        block->addLayout(heading);
        QLabel* text = addLabel(block, topic.text, fonts.body);
        text->setWordWrap(true);
        text->setPalette(secondary);
        column->addLayout(block);
    }
    column->addStretch();

    setWidget(content);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    // Every text wraps at the window's width; only the page's length scrolls.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAccessibleName(page.title);
}

QString helpWindowTitle() {
    return helpPage().title;
}

QWidget* makeHelpWindow() {
    auto* window = new HelpView;
    ViewPalette::applyDarkLook(*window, ViewPalette::windowBackground());
    window->setWindowTitle(helpWindowTitle());
    window->resize(helpWindowSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), helpWindowSize);
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    return window;
}

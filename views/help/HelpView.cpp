#include "views/help/HelpView.h"

#include "app/render/StatusFonts.h"
#include "app/render/SymbolGlyphs.h"
#include "views/help/HelpTopics.h"

#include <QFrame>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include <optional>

namespace {

constexpr int pageSpacing = 20;
constexpr int pagePadding = 20;
constexpr int titleToTextSpacing = 6;

// A topic's symbol, one glyph of the symbol font in the text colour; nothing where the font
// lacks it. A picture only: screen readers read the title beside it.
class TopicSymbol final : public QWidget {
public:
    TopicSymbol(const QString& symbolName, int side, QWidget* parent) : QWidget(parent) {
        QFont font(symbolFontFamily());
        font.setPixelSize(side);
        glyph_ = symbolGlyph(symbolName, font);
        setFixedSize(side, side);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!glyph_) {
            return;
        }
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        painter.drawGlyphRun(QRectF(rect()).center() - glyph_->boundingRect().center(), *glyph_);
    }

private:
    std::optional<QGlyphRun> glyph_;
};

QFont scaled(const QFont& base, double factor, QFont::Weight weight) {
    QFont font(base);
    font.setPointSizeF(base.pointSizeF() * factor);
    font.setWeight(weight);
    return font;
}

}  // namespace

HelpView::HelpView(QWidget* parent) : QScrollArea(parent) {
    const HelpPage& page = helpPage();
    const QFont body = font();
    const QFont titleFont = scaled(body, 1.6, QFont::Bold);
    const QFont headline = scaled(body, 1.15, QFont::DemiBold);
    const QFont groupFont = scaled(body, 1.15, QFont::Bold);

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
        heading->addWidget(new TopicSymbol(topic.symbol, QFontMetrics(headline).height(), content));
        addLabel(heading, topic.title, headline);
        heading->addStretch();
        block->addLayout(heading);
        addLabel(block, topic.text, body)->setWordWrap(true);
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
    window->setWindowTitle(helpWindowTitle());
    window->resize(helpWindowSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), helpWindowSize);
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    return window;
}

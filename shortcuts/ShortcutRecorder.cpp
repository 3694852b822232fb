#include "shortcuts/ShortcutRecorder.h"

#include "core/SettingRules.h"
#include "shortcuts/KeyboardShortcuts.h"
#include "shortcuts/ShortcutText.h"

#include <QBoxLayout>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace {

int shortcutModifiers(Qt::KeyboardModifiers modifiers) {
    int mask = 0;
    if (modifiers & Qt::ControlModifier) {
        mask |= shortcut_modifier::control;
    }
    if (modifiers & Qt::AltModifier) {
        mask |= shortcut_modifier::alt;
    }
    if (modifiers & Qt::ShiftModifier) {
        mask |= shortcut_modifier::shift;
    }
    if (modifiers & Qt::MetaModifier) {
        mask |= shortcut_modifier::super;
    }
    return mask;
}

bool isModifierKey(int key) {
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
            return true;
        default:
            return false;
    }
}

// The modifiers held so far, as the text form begins: "Super+Shift+".
QString modifiersText(int modifiers) {
    constexpr int anyKey = 0x61;
    const QString text = shortcutText(Shortcut{anyKey, modifiers});
    return text.left(text.lastIndexOf(QLatin1Char('+')) + 1);
}

}  // namespace

ShortcutRecorder::ShortcutRecorder(KeyboardShortcuts& shortcuts, ShortcutName name, QString label,
                                   QWidget* parent)
    : QWidget(parent),
      shortcuts_(shortcuts),
      name_(std::move(name)),
      label_(std::move(label)),
      field_(new QPushButton(this)),
      clear_(new QToolButton(this)),
      message_(new QLabel(this)) {
    setAccessibleName(label_);
    field_->setMinimumWidth(160);
    field_->setAccessibleName(label_ + QStringLiteral(" shortcut"));
    field_->installEventFilter(this);
    clear_->setText(QStringLiteral("✕"));
    clear_->setToolTip(QStringLiteral("Clear"));
    clear_->setAccessibleName(QStringLiteral("Clear ") + label_ + QStringLiteral(" shortcut"));
    message_->setWordWrap(true);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(field_, 1);
    row->addWidget(clear_);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(row);
    column->addWidget(message_);

    connect(field_, &QPushButton::clicked, this, [this] {
        if (recording_) {
            stopRecording();
        } else {
            startRecording();
        }
    });
    connect(clear_, &QToolButton::clicked, this, [this] {
        stopRecording();
        apply(std::nullopt);
    });
    connect(&shortcuts_, &KeyboardShortcuts::shortcutChanged, this, [this](const QString& raw) {
        if (raw == name_.rawValue) {
            refresh();
        }
    });
    refresh();
}

ShortcutRecorder::~ShortcutRecorder() {
    shortcuts_.setRecorderActive(this, false);
}

void ShortcutRecorder::startRecording() {
    if (recording_) {
        return;
    }
    recording_ = true;
    heldModifiers_ = 0;
    refusal_.clear();
    field_->setFocus(Qt::OtherFocusReason);
    shortcuts_.setRecorderActive(this, true);
    refresh();
}

void ShortcutRecorder::stopRecording() {
    if (!recording_) {
        return;
    }
    recording_ = false;
    refusal_.clear();
    shortcuts_.setRecorderActive(this, false);
    refresh();
}

void ShortcutRecorder::apply(const std::optional<Shortcut>& shortcut) {
    shortcuts_.setShortcut(shortcut, name_);
    refresh();
}

QString ShortcutRecorder::fieldText() const {
    return field_->text();
}

QString ShortcutRecorder::message() const {
    return message_->text();
}

bool ShortcutRecorder::eventFilter(QObject* watched, QEvent* event) {
    if (watched != field_ || !recording_) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // The window's own shortcuts must not take the keys being recorded.
            event->accept();
            return true;
        case QEvent::KeyPress:
            return handleKeyPress(static_cast<const QKeyEvent&>(*event));
        case QEvent::KeyRelease:
            heldModifiers_ = shortcutModifiers(static_cast<QKeyEvent*>(event)->modifiers());
            refresh();
            return true;
        case QEvent::FocusOut:
            stopRecording();
            return false;
        default:
            return QWidget::eventFilter(watched, event);
    }
}

bool ShortcutRecorder::handleKeyPress(const QKeyEvent& event) {
    const int modifiers = shortcutModifiers(event.modifiers());
    if (isModifierKey(event.key())) {
        heldModifiers_ = modifiers;
        refresh();
        return true;
    }
    if (modifiers == 0 && event.key() == Qt::Key_Escape) {
        stopRecording();
        return true;
    }
    if (modifiers == 0 && (event.key() == Qt::Key_Backspace || event.key() == Qt::Key_Delete)) {
        apply(std::nullopt);
        stopRecording();
        return true;
    }
    // The key as typed without Shift, so Super+Shift+Comma is not stored as Super+Shift+Less.
    std::optional<int> keysym = shortcuts_.unshiftedKeysymOfKey(event.nativeScanCode());
    if (!keysym && event.nativeVirtualKey() != 0) {
        keysym = unshiftedKeysym(static_cast<int>(event.nativeVirtualKey()));
    }
    if (!keysym) {
        return true;
    }
    const Shortcut shortcut{*keysym, modifiers};
    if (!shortcut.hasCommandModifier()) {
        refusal_ = shortcutText(shortcut) + QLatin1Char(' ') + needsCommandModifier;
    } else if (shortcuts_.nameUsing(shortcut, name_.rawValue)) {
        refusal_ =
            shortcutText(shortcut) + QStringLiteral(" is already used by another Vantrel shortcut");
    } else {
        // Stored while the hot keys rest: the end of recording registers the new one.
        apply(shortcut);
        stopRecording();
        return true;
    }
    refresh();
    return true;
}

QString ShortcutRecorder::standingMessage() const {
    if (!shortcuts_.hotKeysAvailable()) {
        return QStringLiteral("Global shortcuts are not available in this session");
    }
    const auto shortcut = shortcuts_.getShortcut(name_);
    const auto registration = shortcuts_.registration(name_.rawValue);
    if (!shortcut || !registration) {
        return {};
    }
    switch (registration->outcome) {
        case HotKeyOutcome::taken:
            return shortcutText(*shortcut) + QStringLiteral(" is taken by another program");
        case HotKeyOutcome::noKey:
            return QStringLiteral("No key of this keyboard types ") +
                   keyText(shortcut->carbonKeyCode);
        case HotKeyOutcome::failed:
            return shortcutText(*shortcut) + QStringLiteral(" could not be registered");
        case HotKeyOutcome::pending:
            return QStringLiteral("Waiting for the desktop to accept ") + shortcutText(*shortcut);
        case HotKeyOutcome::registered:
        case HotKeyOutcome::unavailable:
            break;
    }
    return {};
}

void ShortcutRecorder::refresh() {
    const auto shortcut = shortcuts_.getShortcut(name_);
    QString shown;
    if (recording_) {
        shown = heldModifiers_ != 0 ? modifiersText(heldModifiers_) + QStringLiteral("…")
                                    : QStringLiteral("Press a shortcut");
    } else {
        shown = shortcut ? shortcutText(*shortcut) : QStringLiteral("Record Shortcut");
    }
    field_->setText(shown);
    field_->setAccessibleDescription(shown);
    clear_->setEnabled(shortcut.has_value());
    const QString line = recording_ && !refusal_.isEmpty() ? refusal_ : standingMessage();
    message_->setText(line);
    message_->setAccessibleName(line);
    message_->setVisible(!line.isEmpty());
}

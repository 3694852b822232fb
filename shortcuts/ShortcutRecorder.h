#pragma once

#include "shortcuts/Shortcut.h"

#include <QString>
#include <QWidget>

class KeyboardShortcuts;
class QKeyEvent;
class QLabel;
class QPushButton;
class QToolButton;

// The control that shows and changes one name's combination. A click starts recording; the
// next combination with Ctrl, Alt or Super becomes the name's shortcut; Escape stops without a
// change; Backspace or Delete clears it, as does the clear button. A key without Ctrl, Alt
// or Super, or a combination another of the program's shortcuts has, is refused with a message
// and recording goes on. Every global shortcut rests while recording, so the control hears
// the combinations they hold. Below the control a line says what stands in the way of the
// shortcut: another program holding it, a keyboard without its key, a session without global
// shortcuts.
class ShortcutRecorder : public QWidget {
    Q_OBJECT
public:
    // `label` names the shortcut for screen readers ("Toggle Compact View").
    ShortcutRecorder(KeyboardShortcuts& shortcuts, ShortcutName name, QString label,
                     QWidget* parent = nullptr);
    ~ShortcutRecorder() override;

    bool isRecording() const { return recording_; }
    void startRecording();
    void stopRecording();

    // What the control shows, and the message line (empty when there is nothing to say).
    QString fieldText() const;
    QString message() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the key event was one the recorder takes.
    bool handleKeyPress(const QKeyEvent& event);
    void apply(const std::optional<Shortcut>& shortcut);
    void refresh();
    QString standingMessage() const;

    KeyboardShortcuts& shortcuts_;
    ShortcutName name_;
    QString label_;
    QPushButton* field_;
    QToolButton* clear_;
    QLabel* message_;
    bool recording_ = false;
    int heldModifiers_ = 0;
    QString refusal_;  // why the last key was refused, while recording goes on
};

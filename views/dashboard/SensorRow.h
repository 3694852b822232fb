#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

class QAction;
class QLineEdit;

// One reading of the Sensors card on one line: its name on the left, its value and, at the
// right, its session minimum and maximum in the secondary colour. Its context menu renames or
// hides it; a double-click renames it too, in an editor over the row where Enter applies the
// name and Escape (or leaving the editor) keeps the old one. The row changes nothing itself:
// it asks through its signals, and the settings' answer comes back through the card.
class SensorRow final : public QWidget {
    Q_OBJECT
public:
    explicit SensorRow(QWidget* parent = nullptr);

    // Each setter repaints only when the text differs from the one held.
    void setLabel(const QString& label);
    void setValue(const QString& value);
    void setExtremes(const QString& extremes);  // empty: no extremes yet
    void setSpokenName(const QString& name);    // what screen readers hear

    QString label() const { return label_; }
    QString value() const { return value_; }
    QString extremes() const { return extremes_; }

    QAction* renameAction() const { return rename_; }
    QAction* hideAction() const { return hide_; }
    // The open editor, or null.
    QLineEdit* editor() const { return editor_; }

    // Opens the editor over the row with the shown name selected.
    void startRenaming();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void renameRequested(const QString& name);
    void hideRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void finishRenaming(bool apply);

    QString label_;
    QString value_;
    QString extremes_;
    QFont labelFont_;
    QFont valueFont_;
    QFont extremesFont_;
    QAction* rename_;
    QAction* hide_;
    QLineEdit* editor_ = nullptr;
};

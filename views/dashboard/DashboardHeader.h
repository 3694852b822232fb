#pragma once

#include <QString>
#include <QVector>
#include <QWidget>

class AccentDot;
class AppSettings;
class QHBoxLayout;
class QLabel;
class QToolButton;
class SampleRecorder;

// The dashboard's top line: the title, the recording indicator with the recording's elapsed
// time while one runs, a dot per accent colour (a click makes it the accent), and the "Help",
// "Support", "Settings" and "Quit" buttons. The indicator follows the recorder's own change
// signals; nothing here runs a timer.
class DashboardHeader final : public QWidget {
    Q_OBJECT
public:
    DashboardHeader(const SampleRecorder& recorder, AppSettings& settings,
                    const QString& supportUrl, QWidget* parent = nullptr);

    // The recording indicator's text while it is shown ("REC 1m 5s"); empty while hidden.
    QString recordingText() const;
    const QVector<AccentDot*>& accentDots() const { return dots_; }
    QToolButton* button(const QString& text) const;

    QSize minimumSizeHint() const override;

signals:
    void helpRequested();
    void settingsRequested();
    void quitRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeControls();
    void updateRecording();
    void updateAccent();

    const SampleRecorder& recorder_;
    AppSettings& settings_;
    QLabel* recording_;
    QWidget* controls_;
    QHBoxLayout* top_;
    QHBoxLayout* bottom_;
    QVector<AccentDot*> dots_;
    QVector<QToolButton*> buttons_;
};

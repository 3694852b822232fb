#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QVector>
#include <QWidget>

class AppSettings;
class Clock;
class DashboardView;
class QSizeGrip;
class SystemMonitor;

// The dashboard's window: a frameless floating panel on the dashboard's near-black
// background, 960 × 860 and at least 600 × 500, moved by dragging its background and resized
// from its bottom-right corner. Escape, wherever the focus is inside it, asks to close it; the
// shell closes it, and a closed dashboard is destroyed.
class DashboardWindow final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize preferredSize{960, 860};
    static constexpr QSize minimumWindowSize{600, 500};

    DashboardWindow(SystemMonitor& monitor, AppSettings& settings, const Clock& clock,
                    const QString& supportUrl, QWidget* parent = nullptr);

    // Where the window goes in a screen's available area: centred, at its preferred size or
    // as much of it as the area holds (never below the minimum), and inside the area wherever
    // the area is large enough.
    static QRect placementIn(const QRect& available);
    // Centres the window on the screen under `pointer` (else the primary screen).
    void placeOnScreenAt(QPoint pointer);
    // Whether the middle of `window` lies on one of `screens`.
    static bool onAScreen(const QRect& window, const QVector<QRect>& screens);

    DashboardView* view() const { return view_; }

signals:
    void closeRequested();
    void helpRequested();
    void settingsRequested();
    void quitRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void keepOnAScreen();

    DashboardView* view_;
    QSizeGrip* grip_;
    QPoint dragOffset_;
    bool dragging_ = false;
};

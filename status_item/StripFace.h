#pragma once

#include "status_item/StatusFace.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>

class AppSettings;

// The status strip: a small frameless window above the others, out of the taskbar and the
// pager, that shows the renderer's image as it is: see-through around the pill under a
// compositing manager, on a backdrop of the pill's colour without one. Dragging moves it; the
// place is kept in the settings and brought back onto a screen when its screen goes away. As
// the picture grows or shrinks, the strip keeps the edge nearer its screen's border.
class StripWindow final : public QWidget {
    Q_OBJECT
public:
    explicit StripWindow(QWidget* parent = nullptr);
    void setPicture(const QImage& wide);
    // What fills the window around the picture where it cannot be see-through.
    void setBackdrop(const QColor& backdrop);

signals:
    void clicked(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint globalPos);
    void moved(QPoint topLeft);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    QColor backdrop_;
    bool seeThrough_ = false;
    QPoint pressGlobal_;
    QPoint pressTopLeft_;
    bool dragging_ = false;
    bool pressed_ = false;
};

class StripFace final : public StatusFace {
    Q_OBJECT
public:
    explicit StripFace(AppSettings& settings, QObject* parent = nullptr);
    ~StripFace() override;

    void show(const StatusPicture& picture) override;
    std::optional<QPoint> anchor() const override;
    Qt::KeyboardModifiers clickModifiers() const override { return clickModifiers_; }
    QRect geometry() const;
    StripWindow* window() const { return window_; }

private:
    void placeOnScreen();
    void keepNearerEdge(QRect before);

    AppSettings& settings_;
    QPointer<StripWindow> window_;
    Qt::KeyboardModifiers clickModifiers_;
    bool placed_ = false;
};

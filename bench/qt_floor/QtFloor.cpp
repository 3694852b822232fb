// A frameless label kept on top, like the status strip, whose text changes every 2 s: what any
// Qt Widgets program costs to stay on screen and repaint one small text.
#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label;
    label.setWindowTitle(QStringLiteral("Qt floor"));
    label.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool);
    label.setMinimumWidth(160);
    const auto update = [&label] {
        label.setText(QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss")));
    };
    update();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &label, update);
    timer.start(2000);
    label.show();
    return app.exec();
}

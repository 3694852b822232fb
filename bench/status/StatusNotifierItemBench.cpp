#include "status_item/sni/StatusNotifierItem.h"
#include "support/PrivateSessionBus.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/stat.h>

namespace {

// A bar-sized image like the renderer's at device-pixel ratio 2: text and a sparkline.
QImage barImage(int seed) {
    QImage image(400, 44, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(24);
    painter.setFont(font);
    painter.drawText(QRect(8, 0, 200, 44), Qt::AlignVCenter,
                     QStringLiteral("CPU %1%").arg(10 + seed));
    QPolygonF sparkline;
    for (int x = 0; x < 160; x += 4) {
        sparkline << QPointF(220 + x, 40 - ((x * 7 + seed * 13) % 36));
    }
    painter.setPen(QPen(QColor(0x4c, 0xaf, 0x50), 2));
    painter.drawPolyline(sparkline);
    return image;
}

StatusPicture benchPicture(int seed) {
    const QImage wide = barImage(seed);
    return {wide,
            wide.copy(0, 0, 44, 44),
            QStringLiteral("CPU %1%").arg(10 + seed),
            QStringLiteral("CPU 100%"),
            QStringLiteral("Vantrel\nCPU %1 %").arg(10 + seed),
            QStringLiteral("CPU %1 %").arg(10 + seed),
            QImage()};
}

// One new picture handed to the item: pixmap, PNG file (with a private runtime directory, or
// none at all), label and tool tip, and their change signals.
void BM_StatusNotifierItemHandOver(benchmark::State& state) {
    const PrivateSessionBus bus;
    if (bus.address().isEmpty()) {
        state.SkipWithError(bus.failure().toUtf8().constData());
        return;
    }
    // A runtime directory lives in memory, as /run/user/UID does.
    QTemporaryDir runtime(QStringLiteral("/dev/shm/vantrel-bench-XXXXXX"));
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
    const QDBusConnection connection =
        QDBusConnection::connectToBus(bus.address(), QStringLiteral("bench"));
    {
        StatusNotifierItem item(connection, [] { return std::make_unique<QMenu>(); },
                                {state.range(0) ? runtime.path() : QString(),
                                 QStringLiteral("/proc"), TrayShapeChoice::Wide});
        const StatusPicture pictures[2] = {benchPicture(1), benchPicture(2)};
        int turn = 0;
        for (auto _ : state) {
            item.show(pictures[turn ^= 1]);
        }
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("bench"));
}
BENCHMARK(BM_StatusNotifierItemHandOver)
    ->ArgName("file")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

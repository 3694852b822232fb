#include "core/Clock.h"
#include "core/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// The settings file as a crash, another version or a hand edit may have left it. A file that
// loads gives back every value, through the typed reads consistently, and keeps them all
// through the next rewrite; one that does not load is moved aside byte for byte by the first
// write, never lost.
namespace {

class FixedClock final : public Clock {
public:
    WallTime wallNow() const override { return WallTime(std::chrono::seconds(1'800'000'000)); }
    SteadyTime steadyNow() const override { return SteadyTime(); }
    void callAfter(std::chrono::nanoseconds, std::function<void()>) override {}
};

const QString kMarker = QStringLiteral("fuzz-marker");

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

QString settingsPath() {
    // Kept to the very end (never freed) for the clean-up at exit.
    static const QString* folder = [] {
        // Memory-backed where there is such a folder: every rewrite is synced to disk.
        const QString base = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm")
                                 : QDir::tempPath();
        auto* path = new QString(base + QStringLiteral("/vantrel-settings-fuzz-") +
                                 QString::number(::getpid()));
        QDir().mkpath(*path);
        std::atexit([] { QDir(*folder).removeRecursively(); });
        return path;
    }();
    return *folder + QStringLiteral("/settings.json");
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void checkTypedReads(const SettingsReader& store, const QString& key, const QJsonValue& stored) {
    require(store.value(key) == stored);
    require(store.boolValue(key).has_value() == stored.isBool());
    require(store.stringValue(key).has_value() == stored.isString());
    require(store.doubleValue(key).has_value() == stored.isDouble());
    if (const auto whole = store.integerValue(key)) {
        require(store.doubleValue(key) == static_cast<double>(*whole));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FixedClock clock;
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = settingsPath();
    {
        QFile file(path);
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == size);
    }
    QJsonParseError error{};
    const auto document = QJsonDocument::fromJson(text, &error);
    const bool loads = error.error == QJsonParseError::NoError && document.isObject();
    QJsonObject expected = loads ? document.object() : QJsonObject();
    {
        SettingsFile store(path, clock);
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            checkTypedReads(store, it.key(), it.value());
        }
        require(contentOf(path) == text);  // reading alone changes nothing
        require(store.set(kMarker, true));
        require(store.movedAsidePath().has_value() == !loads);
        if (const auto aside = store.movedAsidePath()) {
            require(contentOf(*aside) == text);
            QFile::remove(*aside);
        }
    }
    expected.insert(kMarker, true);
    {
        SettingsFile reread(path, clock);
        require(!reread.movedAsidePath());
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            checkTypedReads(reread, it.key(), it.value());
        }
    }
    QFile::remove(path);
    return 0;
}

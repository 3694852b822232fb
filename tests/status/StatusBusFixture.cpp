#include "status/StatusBusFixture.h"

#include <QDBusArgument>
#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>

namespace {

constexpr int hangLimitMs = 5000;

}  // namespace

QList<QDBusMessage> BusSignalLog::named(const QString& member) const {
    QList<QDBusMessage> found;
    for (const QDBusMessage& message : messages_) {
        if (message.member() == member) {
            found.append(message);
        }
    }
    return found;
}

void StatusBusTest::SetUp() {
    ASSERT_FALSE(bus_.address().isEmpty()) << bus_.failure().toStdString();
    ASSERT_TRUE(scratch_.isValid());
    ASSERT_TRUE(newConnection().isConnected());
}

void StatusBusTest::TearDown() {
    for (const QString& name : std::as_const(connectionNames_)) {
        QDBusConnection::disconnectFromBus(name);
    }
}

QDBusConnection StatusBusTest::newConnection() {
    static int count = 0;
    const QString name = QStringLiteral("status-test-%1").arg(++count);
    connectionNames_.append(name);
    return QDBusConnection::connectToBus(bus_.address(), name);
}

QDBusMessage StatusBusTest::call(const QString& service, const QString& path,
                                 const QString& interface, const QString& method,
                                 const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return QDBusConnection(connectionNames_.first())
        .call(message, QDBus::BlockWithGui, hangLimitMs);
}

QVariantMap StatusBusTest::properties(const QString& service, const QString& path,
                                      const QString& interface) {
    const QDBusMessage reply =
        call(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
             QStringLiteral("GetAll"), {interface});
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    return reply.arguments().isEmpty() ? QVariantMap()
                                       : qdbus_cast<QVariantMap>(reply.arguments().first());
}

void StatusBusTest::listen(const QString& path, const QString& interface, const QString& member,
                           BusSignalLog& log) {
    ASSERT_TRUE(QDBusConnection(connectionNames_.first())
                    .connect(QString(), path, interface, member, &log, SLOT(record(QDBusMessage))));
    // The bus has taken the match once it answers a later call on the same connection.
    const QString bus = QStringLiteral("org.freedesktop.DBus");
    ASSERT_EQ(
        call(bus, QStringLiteral("/org/freedesktop/DBus"), bus, QStringLiteral("GetId")).type(),
        QDBusMessage::ReplyMessage);
}

bool StatusBusTest::eventually(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, hangLimitMs);
}

QString StatusBusTest::privateRuntimeDirectory() {
    const QString path = scratch_.filePath(QStringLiteral("runtime"));
    EXPECT_TRUE(QDir().mkpath(path));
    EXPECT_EQ(::chmod(QFile::encodeName(path).constData(), 0700), 0);
    return path;
}

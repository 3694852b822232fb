#pragma once

#include "support/PrivateSessionBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

// Signals a client received, in order.
class BusSignalLog : public QObject {
    Q_OBJECT
public:
    QList<QDBusMessage> named(const QString& member) const;

public slots:
    void record(const QDBusMessage& message) { messages_.append(message); }

private:
    QList<QDBusMessage> messages_;
};

// Each test gets a session bus of its own and a client connection on it.
class StatusBusTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString address() const { return bus_.address(); }
    // A connection of its own, for one item or exporter.
    QDBusConnection newConnection();

    // Calls while the event loop turns: the objects called live on this thread.
    QDBusMessage call(const QString& service, const QString& path, const QString& interface,
                      const QString& method, const QVariantList& arguments = {});
    QVariantMap properties(const QString& service, const QString& path, const QString& interface);
    // Records the signal from any sender, from the moment this returns.
    void listen(const QString& path, const QString& interface, const QString& member,
                BusSignalLog& log);

    // Turns the event loop until the condition holds; the limit only guards against a hang.
    static bool eventually(const std::function<bool()>& condition);

    // A runtime directory as the login manager makes it: private to this user.
    QString privateRuntimeDirectory();

private:
    PrivateSessionBus bus_;
    QTemporaryDir scratch_;
    QStringList connectionNames_;
};

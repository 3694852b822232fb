#include "app/shell/SingleInstance.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace {
const QString objectPath = QStringLiteral("/io/github/vantrel/Vantrel");
}

SingleInstance::SingleInstance(QDBusConnection bus, QObject* parent) : QObject(parent), bus_(bus) {}

QString SingleInstance::serviceName() {
    return QStringLiteral("io.github.vantrel.Vantrel");
}

SingleInstance::Claim SingleInstance::claim() {
    if (!bus_.isConnected()) {
        failure_ = bus_.lastError().message();
        return Claim::noBus;
    }
    bus_.registerObject(objectPath, this, QDBusConnection::ExportScriptableSlots);
    const auto reply =
        bus_.interface()->registerService(serviceName(), QDBusConnectionInterface::DontQueueService,
                                          QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        return Claim::first;
    }
    bus_.unregisterObject(objectPath);
    const QDBusMessage ask = QDBusMessage::createMethodCall(
        serviceName(), objectPath, serviceName(), QStringLiteral("OpenCompactPanel"));
    const QDBusMessage answer = bus_.call(ask, QDBus::Block, 5000);
    if (answer.type() == QDBusMessage::ErrorMessage) {
        failure_ = answer.errorMessage();
    }
    return Claim::alreadyRunning;
}

void SingleInstance::OpenCompactPanel() {
    emit openCompactPanelRequested();
}

#include "app/shell/HelperPrompt.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

struct PromptTexts {
    QString title;
    QString body;
};

PromptTexts promptTexts(HelperInstallOutcome outcome) {
    if (outcome == HelperInstallOutcome::pkexecMissing) {
        return {QStringLiteral("Sensor Helper Cannot Be Installed"),
                QStringLiteral(
                    "Vantrel installs its sensor helper (temperature, fan speed, power) with "
                    "pkexec, and /usr/bin/pkexec is missing or cannot be run on this system.\n\n"
                    "Install the pkexec package (for example: sudo apt install pkexec), then "
                    "start Vantrel again. Everything else works without the helper.")};
    }
    return {QStringLiteral("Sensor Helper Not Installed"),
            QStringLiteral(
                "Vantrel needs a small helper tool to read hardware sensors (temperature, fan "
                "speed, power). Without it, sensor data won't be available.\n\nYou'll be asked "
                "for your administrator password to install it.")};
}

QPushButton* addNamedButton(QMessageBox& prompt, const QString& text,
                            QMessageBox::ButtonRole role) {
    QPushButton* button = prompt.addButton(text, role);
    button->setAccessibleName(text);
    return button;
}

}  // namespace

void askAfterFailedHelperInstall(HelperInstallOutcome outcome,
                                 const HelperInstallSteps::Answered& answered) {
    const PromptTexts texts = promptTexts(outcome);
    auto* prompt = new QMessageBox;
    prompt->setAttribute(Qt::WA_DeleteOnClose);
    prompt->setWindowModality(Qt::NonModal);
    prompt->setIcon(QMessageBox::Information);
    prompt->setWindowTitle(QStringLiteral("Vantrel"));
    prompt->setText(texts.title);
    prompt->setInformativeText(texts.body);
    prompt->setAccessibleName(texts.title);
    prompt->setAccessibleDescription(texts.body);
    QPushButton* tryAgain = nullptr;
    if (outcome == HelperInstallOutcome::pkexecMissing) {
        QPushButton* ok = addNamedButton(*prompt, QStringLiteral("OK"), QMessageBox::AcceptRole);
        prompt->setDefaultButton(ok);
        prompt->setEscapeButton(ok);
    } else {
        tryAgain = addNamedButton(*prompt, QStringLiteral("Try Again"), QMessageBox::AcceptRole);
        QPushButton* skip =
            addNamedButton(*prompt, QStringLiteral("Skip for Now"), QMessageBox::RejectRole);
        prompt->setDefaultButton(tryAgain);
        prompt->setEscapeButton(skip);
    }
    QObject::connect(prompt, &QMessageBox::finished, prompt, [prompt, tryAgain, answered] {
        answered(tryAgain != nullptr && prompt->clickedButton() == tryAgain
                     ? HelperPromptAnswer::tryAgain
                     : HelperPromptAnswer::skipForNow);
    });
    prompt->show();
    prompt->raise();
    prompt->activateWindow();
}

#include "app/shell/HelperPrompt.h"

#include <QMessageBox>
#include <QPushButton>

HelperPromptAnswer askAfterFailedHelperInstall() {
    QMessageBox prompt;
    prompt.setIcon(QMessageBox::Information);
    prompt.setWindowTitle(QStringLiteral("Vantrel"));
    prompt.setText(QStringLiteral("Sensor Helper Not Installed"));
    prompt.setInformativeText(QStringLiteral(
        "Vantrel needs a small helper tool to read hardware sensors (temperature, fan speed, "
        "power). Without it, sensor data won't be available.\n\nYou'll be asked for your "
        "administrator password to install it."));
    prompt.setAccessibleName(QStringLiteral("Sensor Helper Not Installed"));
    prompt.setAccessibleDescription(prompt.informativeText());
    QPushButton* tryAgain = prompt.addButton(QStringLiteral("Try Again"), QMessageBox::AcceptRole);
    QPushButton* skip = prompt.addButton(QStringLiteral("Skip for Now"), QMessageBox::RejectRole);
    tryAgain->setAccessibleName(tryAgain->text());
    skip->setAccessibleName(skip->text());
    prompt.setDefaultButton(tryAgain);
    prompt.setEscapeButton(skip);
    prompt.exec();
    return prompt.clickedButton() == tryAgain ? HelperPromptAnswer::tryAgain
                                              : HelperPromptAnswer::skipForNow;
}

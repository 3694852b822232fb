#include "views/settings/FileDialogs.h"

#include <QDir>
#include <QFileDialog>

FileDialogs FileDialogs::standard() {
    FileDialogs dialogs;
    dialogs.save = [](QWidget* parent, const QString& title, const QString& proposedName,
                      const QString& filter, const QString& suffix) {
        QFileDialog dialog(parent, title, QDir::homePath(), filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(suffix);
        dialog.selectFile(proposedName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return QString();
        }
        return dialog.selectedFiles().constFirst();
    };
    dialogs.open = [](QWidget* parent, const QString& title, const QString& filter) {
        return QFileDialog::getOpenFileName(parent, title, QDir::homePath(), filter);
    };
    return dialogs;
}

#pragma once

#include <QByteArray>
#include <QString>

// Starting the application at login through the desktop's autostart folder: enabling writes
// "vantrel.desktop" there, disabling removes it.
class LoginItem {
public:
    // `applicationPath` is the program the entry starts; `autostartDirectory` defaults to
    // $XDG_CONFIG_HOME/autostart.
    explicit LoginItem(QString applicationPath,
                       QString autostartDirectory = defaultAutostartDirectory());
    virtual ~LoginItem() = default;

    static QString defaultAutostartDirectory();

    QString desktopFilePath() const;

    // True when the autostart folder now matches the request.
    virtual bool setEnabled(bool enabled);

private:
    QString applicationPath_;
    QString autostartDirectory_;
};

// The autostart entry that starts `applicationPath` at login.
QByteArray autostartDesktopEntry(const QString& applicationPath);

// `argument` as one argument of a desktop entry's Exec key, quoted when it holds reserved
// characters and escaped for the key's string value.
QString desktopExecArgument(const QString& argument);

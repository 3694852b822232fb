#pragma once

#include <QObject>

// Whether a StatusNotifierItem host is there to show the status item, and when that changes.
class TrayHostProbe : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual bool statusNotifierHostPresent() const = 0;

signals:
    void hostChanged();
};

#pragma once

#include <QString>

// One notification for the user's desktop: shown at once, with the default sound, never
// replacing an earlier one.
struct DesktopNotification {
    QString title;
    QString body;
    bool operator==(const DesktopNotification&) const = default;
};

// Submits notifications to the desktop. Submission never waits for the desktop and never
// fails visibly: a desktop that refuses or cannot show it simply shows nothing.
class DesktopNotifier {
public:
    virtual ~DesktopNotifier() = default;
    virtual void post(const DesktopNotification& notification) = 0;
};

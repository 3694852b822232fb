#include "sensors/HelperPresence.h"

#include <sys/stat.h>

bool helperSocketPresent(const QString& socketPath) {
    struct stat status {};
    return ::stat(socketPath.toLocal8Bit().constData(), &status) == 0 && S_ISSOCK(status.st_mode);
}

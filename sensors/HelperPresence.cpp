#include "sensors/HelperPresence.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

bool helperSocketPresent(const QString& socketPath) {
    struct stat status {};
    return ::stat(socketPath.toLocal8Bit().constData(), &status) == 0 && S_ISSOCK(status.st_mode);
}

bool helperSocketAnswers(const QString& socketPath) {
    const QByteArray path = socketPath.toLocal8Bit();
    sockaddr_un address{};
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path) {
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const bool answered =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answered;
}

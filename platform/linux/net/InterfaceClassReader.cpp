#include "platform/linux/net/InterfaceClassReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QList>

#include <filesystem>

namespace {

// Small sysfs attributes fit one read; empty when absent or unreadable.
QByteArray readSmallFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    char buffer[1024];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    return got > 0 ? QByteArray(buffer, got) : QByteArray{};
}

// The entry itself counts, so a link to a device that is gone still marks a device.
bool entryExists(const std::string& path) {
    struct stat info {};
    return ::fstatat(AT_FDCWD, path.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

// Kernel interface names never contain '/' and are never "." or "..": anything else is not
// a name and must not reach a path.
bool isPlainName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0'));
}

QString deviceTypeOf(const QByteArray& uevent) {
    for (const QByteArray& line : uevent.split('\n')) {
        if (line.startsWith("DEVTYPE=")) {
            return QString::fromUtf8(line.mid(8).trimmed());
        }
    }
    return {};
}

}  // namespace

InterfaceClassReader::InterfaceClassReader(const std::string& root)
    : classDirectory_((std::filesystem::path(root) / "sys/class/net").string()) {}

InterfaceTraits InterfaceClassReader::readTraits(const QString& interfaceName) {
    InterfaceTraits traits;
    if (!isPlainName(interfaceName)) {
        return traits;
    }
    const std::string directory = classDirectory_ + '/' + interfaceName.toStdString() + '/';
    bool parsed = false;
    const int linkType = readSmallFile(directory + "type").trimmed().toInt(&parsed);
    traits.linkType = parsed ? linkType : -1;
    traits.deviceType = deviceTypeOf(readSmallFile(directory + "uevent"));
    traits.hasDevice = entryExists(directory + "device");
    traits.hasWirelessInfo =
        entryExists(directory + "phy80211") || entryExists(directory + "wireless");
    traits.hasTunFlags = entryExists(directory + "tun_flags");
    return traits;
}

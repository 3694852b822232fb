#include "installer/InstallerRun.h"

#include "installation/AllowedUsers.h"
#include "linux_io/AtomicFile.h"
#include "linux_io/SysfsText.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace {

constexpr const char* kName = "vantrel-helper-installer";

class Run {
public:
    explicit Run(const InstallerRun& run) : run_(run) {}

    bool fail(const std::string& what) {
        std::fprintf(run_.err, "%s: %s\n", kName, what.c_str());
        return false;
    }

    bool failErrno(const std::string& what, int error) {
        return fail(what + ": " + std::strerror(error));
    }

    void note(const std::string& what) { std::fprintf(run_.out, "%s: %s\n", kName, what.c_str()); }

    // A folder of the installation's own: root's, and writable by root alone.
    bool ownFolder(const std::filesystem::path& folder) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            return fail("cannot create " + folder.string() + ": " + error.message());
        }
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            return failErrno("cannot open the folder " + folder.string(), errno);
        }
        struct stat status {};
        bool ok = ::fstat(fd, &status) == 0;
        if (ok && (status.st_uid != 0 || status.st_gid != 0 || (status.st_mode & 07777) != 0755)) {
            ok = ::fchown(fd, 0, 0) == 0 && ::fchmod(fd, 0755) == 0;
        }
        const int lastError = errno;
        ::close(fd);
        return ok || failErrno("cannot give " + folder.string() + " to root", lastError);
    }

    bool write(const std::filesystem::path& target, std::string_view bytes, mode_t mode) {
        if (const int error = replaceFileAtomically(target, bytes, FileOwnership{mode, 0, 0})) {
            return failErrno("cannot write " + target.string(), error);
        }
        note("wrote " + target.string());
        return true;
    }

    bool systemctl(const std::vector<std::string>& arguments, bool quiet = false) {
        const int status = run_.systemctl(arguments);
        if (status == 0 || quiet) {
            return status == 0;
        }
        std::string command = "systemctl";
        for (const auto& argument : arguments) {
            command += " " + argument;
        }
        return fail(command + (status < 0
                                   ? " could not be run"
                                   : " failed (exit status " + std::to_string(status) + ")"));
    }

    bool installConfig() {
        const AllowedUsersUpdate update = allowUser(run_.paths.config(), run_.user);
        if (update.distrusted) {
            note(run_.paths.config().string() +
                 " was not root's alone (or not a plain file); none of its users are kept");
        }
        for (const auto& line : update.droppedLines) {
            note("left out a line the helper would refuse: " + line);
        }
        return write(run_.paths.config(), helperConfigText(update.config), 0644);
    }

    bool installHelper() {
        struct stat status {};
        if (::stat(run_.bundledHelper.c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
            status.st_size == 0) {
            return fail("there is no helper to install at " + run_.bundledHelper.string());
        }
        // Root will run this program: nobody but its owner may have changed it.
        if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
            return fail(run_.bundledHelper.string() + " is writable by others than its owner");
        }
        const auto bytes = readTextFile(run_.bundledHelper);
        if (!bytes) {
            return failErrno("cannot read " + run_.bundledHelper.string(), errno);
        }
        return ownFolder(run_.paths.helperFolder()) && write(run_.paths.helper(), *bytes, 0755);
    }

    bool installUnits() {
        std::error_code error;
        std::filesystem::create_directories(run_.paths.unitFolder(), error);
        if (error) {
            return fail("cannot create " + run_.paths.unitFolder().string() + ": " +
                        error.message());
        }
        for (const HelperUnit& unit : helperUnits()) {
            if (!write(run_.paths.unitFolder() / unit.name, unit.text, 0644)) {
                return false;
            }
        }
        return true;
    }

    bool run() {
        // Two users installing at once would each add themselves to the configuration they
        // read, and one would lose: one run at a time.
        if (!ownFolder(run_.paths.configFolder())) {
            return false;
        }
        const int lock =
            ::open(run_.paths.configFolder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (lock < 0 || ::flock(lock, LOCK_EX) != 0) {
            const int error = errno;
            if (lock >= 0) {
                ::close(lock);
            }
            return failErrno("cannot lock " + run_.paths.configFolder().string(), error);
        }
        const bool ok = runLocked();
        ::close(lock);
        return ok;
    }

    bool runLocked() {
        const HelperInstallationState state =
            inspectHelperInstallation(run_.paths, run_.bundledHelper, run_.user);
        if ((!state.configCurrent && !installConfig()) ||
            (!state.helperCurrent && !installHelper()) ||
            (!state.unitsCurrent && !installUnits())) {
            return false;
        }
        const std::string socket(helperSocketUnit());
        if (!state.unitsCurrent && !systemctl({"daemon-reload"})) {
            return false;
        }
        const bool listening = systemctl({"is-enabled", "--quiet", socket}, true) &&
                               systemctl({"is-active", "--quiet", socket}, true);
        if (!listening && !systemctl({"enable", "--now", socket})) {
            return false;
        }
        // A running helper keeps the program and the users it started with.
        if (!state.filesCurrent() &&
            !systemctl({"try-restart", std::string(helperServiceUnit())})) {
            return false;
        }
        note(state.filesCurrent() && listening
                 ? "the sensor helper was already installed; nothing changed"
                 : "the sensor helper is installed and answers user " + std::to_string(run_.user));
        return true;
    }

private:
    const InstallerRun& run_;
};

}  // namespace

bool runHelperInstallation(const InstallerRun& run) {
    return Run(run).run();
}

#include "installer/InstallerRun.h"

#include "installation/AllowedUsers.h"
#include "installer/BundledHelper.h"
#include "installer/InstallerLock.h"
#include "installer/RootFolder.h"
#include "linux_io/FileReplacement.h"
#include "linux_io/SysfsText.h"

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
        const auto why = makeRootFolder(folder, 0755);
        return !why || fail(*why);
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
        const BundledHelper helper = readBundledHelper(run_.bundledHelper);
        if (!helper.bytes) {
            return fail(helper.failure);
        }
        return ownFolder(run_.paths.helperFolder()) &&
               write(run_.paths.helper(), *helper.bytes, 0755);
    }

    // systemd prefers a unit in the unit folder to the package's: a copy left there from before
    // the package (or edited by hand) would run the helper without the package's sandbox.
    bool removeUnitsHidingPackage(const std::vector<std::string>& names) {
        const std::filesystem::path folder = run_.paths.unitFolder();
        for (const std::string& name : names) {
            const std::filesystem::path copy = folder / name;
            if (::unlink(copy.c_str()) != 0 && errno != ENOENT) {
                return failErrno(
                    "cannot remove " + copy.string() + ", which hides the package's unit", errno);
            }
            note("removed " + copy.string() + ": it hid the package's unit " +
                 (run_.paths.packageUnitFolder() / name).string());
            // An enabling link to the removed copy would keep systemctl from enabling the
            // package's unit.
            const std::filesystem::path wanted = folder / "sockets.target.wants" / name;
            std::error_code error;
            if (std::filesystem::read_symlink(wanted, error) == copy) {
                std::filesystem::remove(wanted, error);
            }
        }
        return true;
    }

    bool installUnits() {
        std::error_code error;
        std::filesystem::create_directories(run_.paths.unitFolder(), error);
        if (error) {
            return fail("cannot create " + run_.paths.unitFolder().string() + ": " +
                        error.message());
        }
        for (const HelperUnit& unit : helperUnits()) {
            const std::filesystem::path target = run_.paths.unitFolder() / unit.name;
            const auto former = readTextFile(target);
            const bool stale = former && *former != unit.text;
            if (!write(target, unit.text, 0644)) {
                return false;
            }
            if (stale) {
                note("replaced the former " + target.string() +
                     ", which was not this version's unit");
            }
        }
        return true;
    }

    bool run() {
        // Two users installing at once would each add themselves to the configuration they
        // read, and one would lose: one run at a time.
        const InstallerLock lock(run_.paths.lock(), run_.lockPatience);
        return lock.held() ? runLocked() : fail(lock.failure());
    }

    bool runLocked() {
        if (!ownFolder(run_.paths.configFolder())) {
            return false;
        }
        const HelperInstallationState state =
            inspectHelperInstallation(run_.paths, run_.bundledHelper, run_.user);
        if ((!state.configCurrent && !installConfig()) ||
            (!state.helperCurrent && !installHelper()) ||
            (!state.unitsCurrent &&
             !(state.packageUnits ? removeUnitsHidingPackage(state.unitsHidingPackage)
                                  : installUnits()))) {
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

    // Only the configuration: the package's own scripts allow its exporter's user this way,
    // leaving the helper, the units and systemd to the package.
    bool allowOnly() {
        const InstallerLock lock(run_.paths.lock(), run_.lockPatience);
        if (!lock.held()) {
            return fail(lock.failure());
        }
        if (!ownFolder(run_.paths.configFolder())) {
            return false;
        }
        const bool listed =
            inspectHelperInstallation(run_.paths, run_.bundledHelper, run_.user).configCurrent;
        if (!listed && !installConfig()) {
            return false;
        }
        note(listed ? "user " + std::to_string(run_.user) + " was already allowed; nothing changed"
                    : "the sensor helper answers user " + std::to_string(run_.user) +
                          " once it starts again");
        return true;
    }

private:
    const InstallerRun& run_;
};

}  // namespace

bool runHelperInstallation(const InstallerRun& run) {
    return Run(run).run();
}

bool allowHelperUser(const InstallerRun& run) {
    return Run(run).allowOnly();
}

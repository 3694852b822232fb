#include "installation/HelperInstallation.h"
#include "installer/InstallerRun.h"
#include "installer/Systemctl.h"

#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>

// vantrel-helper-installer: installs or updates the Vantrel sensor helper for the user who
// started it through pkexec. It runs as root, so it believes no argument and no environment
// variable but PKEXEC_UID, which pkexec sets to the uid of the user who asked.
// `--allow-exporter`, for the package's own scripts (root, never through pkexec), only adds the
// exporter's system user to the helper's configuration.

namespace {

int refuse(const char* why) {
    std::fprintf(stderr, "vantrel-helper-installer: %s\n", why);
    return 1;
}

std::optional<uid_t> parseUid(std::string_view text) {
    unsigned long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        value >= std::numeric_limits<uid_t>::max()) {
        return std::nullopt;
    }
    return static_cast<uid_t>(value);
}

constexpr const char* kAllowExporter = "--allow-exporter";
constexpr const char* kExporterUser = "vantrel-exporter";

// The package's postinst: the exporter's user, looked up by its fixed name, joins the list.
int allowExporter() {
    if (std::getenv("PKEXEC_UID") != nullptr) {
        return refuse("--allow-exporter is for the package's scripts, not for pkexec");
    }
    const passwd* account = ::getpwnam(kExporterUser);
    if (account == nullptr) {
        return refuse("there is no user vantrel-exporter; nothing changed");
    }
    InstallerRun run;
    run.user = account->pw_uid;
    ::clearenv();
    ::umask(022);
    return allowHelperUser(run) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const bool exporter = argc == 2 && std::strcmp(argv[1], kAllowExporter) == 0;
    if (argc > 1 && !exporter) {
        return refuse("takes no arguments; Vantrel starts it through pkexec");
    }
    if (::geteuid() != 0) {
        return refuse(
            "must run as root: Vantrel starts it through pkexec, which asks for an "
            "administrator's password");
    }
    if (exporter) {
        return allowExporter();
    }
    const char* invoking = std::getenv("PKEXEC_UID");
    if (invoking == nullptr) {
        return refuse(
            "was not started through pkexec (PKEXEC_UID is not set), so there is no user to "
            "allow; nothing changed");
    }
    const auto user = parseUid(invoking);
    if (!user) {
        return refuse("PKEXEC_UID is not a user id; nothing changed");
    }
    // The program that started pkexec may stop reading our output (it quit, or gave up
    // waiting): a run already under way still finishes rather than die writing a line.
    ::signal(SIGPIPE, SIG_IGN);
    // Nothing below, systemctl included, sees the caller's environment.
    ::clearenv();
    ::umask(022);
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        std::fprintf(stderr, "vantrel-helper-installer: cannot find its own program: %s\n",
                     error.message().c_str());
        return 1;
    }
    InstallerRun run;
    run.bundledHelper = bundledHelperBeside(self);
    run.user = *user;
    run.systemctl = runSystemctl;
    return runHelperInstallation(run) ? 0 : 1;
}

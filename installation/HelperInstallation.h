#pragma once

#include <sys/types.h>

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// What an installed sensor helper consists of, and whether this machine holds it as the
// installer would leave it. The installer (root, started through pkexec) writes what differs;
// the application asks for the administrator's password only when something does.

inline constexpr const char* kHelperInstallerName = "vantrel-helper-installer";
// Where the package puts the installer; the polkit action names this path.
inline constexpr const char* kInstalledHelperInstaller =
    "/usr/libexec/vantrel/vantrel-helper-installer";

// The files of an installation below `root` ("/" outside tests).
struct HelperInstallationPaths {
    std::filesystem::path root = "/";

    std::filesystem::path helperFolder() const { return root / "usr/libexec/vantrel"; }
    std::filesystem::path helper() const { return helperFolder() / "OrvikHelper"; }
    std::filesystem::path configFolder() const { return root / "etc/vantrel"; }
    std::filesystem::path config() const { return configFolder() / "helper.conf"; }
    // Where the installer writes the units when no package has put them in place.
    std::filesystem::path unitFolder() const { return root / "etc/systemd/system"; }
    std::filesystem::path packageUnitFolder() const { return root / "usr/lib/systemd/system"; }
    // The lock that keeps installer runs one at a time: a file only root may open, in a folder
    // only root may enter, so no other user can hold it.
    std::filesystem::path lockFolder() const { return root / "run/vantrel"; }
    std::filesystem::path lock() const { return lockFolder() / "installer.lock"; }
};

struct HelperUnit {
    std::string_view name;
    std::string_view text;
};

// The socket unit and the service unit, with the text of packaging/.
const std::array<HelperUnit, 2>& helperUnits();
std::string_view helperSocketUnit();
std::string_view helperServiceUnit();

// The helper an installer copies: the OrvikHelper in the installer's own folder.
std::filesystem::path bundledHelperBeside(const std::filesystem::path& installer);

struct HelperInstallationState {
    // The installed helper is the bundled one (the same file, or the same bytes), owned by
    // `trustedOwner` and writable by no one else.
    bool helperCurrent = false;
    // A package put both units into the package unit folder.
    bool packageUnits = false;
    // Plain files in the unit folder named like the package's units: systemd prefers them,
    // so they hide the package's units (only looked for where the package put its units).
    std::vector<std::string> unitsHidingPackage;
    // The package's units are there and nothing hides them, or the unit folder holds both with
    // the packaged text.
    bool unitsCurrent = false;
    // The configuration is usable by the helper and lists the user.
    bool configCurrent = false;

    bool filesCurrent() const { return helperCurrent && unitsCurrent && configCurrent; }
};

// Reads the installed files; changes nothing. Files count only when owned by `trustedOwner`
// (root outside tests) and writable by no one else, as the helper and systemd run them.
HelperInstallationState inspectHelperInstallation(const HelperInstallationPaths& paths,
                                                  const std::filesystem::path& bundledHelper,
                                                  uid_t user, uid_t trustedOwner = 0);

#include "installation/HelperInstallation.h"

#include "HelperUnitTexts.h"
#include "linux_io/SysfsText.h"
#include "shared/HelperConfig.h"
#include "shared/HelperService.h"
#include "shared/TrustedFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <string>

namespace {

const std::string socketUnitName = std::string(helper_service::kName) + ".socket";
const std::string serviceUnitName = std::string(helper_service::kName) + ".service";

std::optional<struct stat> trustedStatus(const std::filesystem::path& path, uid_t trustedOwner) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !isTrustedFile(status, trustedOwner)) {
        return std::nullopt;
    }
    return status;
}

bool holds(const std::filesystem::path& path, std::string_view expected, uid_t trustedOwner) {
    if (!trustedStatus(path, trustedOwner)) {
        return false;
    }
    const auto text = readTextFile(path);
    return text && *text == expected;
}

bool helperCurrent(const std::filesystem::path& installed, const std::filesystem::path& bundled,
                   uid_t trustedOwner) {
    const auto status = trustedStatus(installed, trustedOwner);
    struct stat bundledStatus {};
    if (!status || ::stat(bundled.c_str(), &bundledStatus) != 0) {
        return false;
    }
    // The package's installer sits beside the installed helper itself.
    if (status->st_dev == bundledStatus.st_dev && status->st_ino == bundledStatus.st_ino) {
        return true;
    }
    if (status->st_size != bundledStatus.st_size) {
        return false;
    }
    const auto bytes = readTextFile(bundled);
    return bytes && holds(installed, *bytes, trustedOwner);
}

bool configListsUser(const std::filesystem::path& config, uid_t user, uid_t trustedOwner) {
    const auto parsed = loadHelperConfig(config, trustedOwner);
    return parsed && std::find(parsed->allowedUids.begin(), parsed->allowedUids.end(), user) !=
                         parsed->allowedUids.end();
}

}  // namespace

const std::array<HelperUnit, 2>& helperUnits() {
    static const std::array<HelperUnit, 2> units{HelperUnit{socketUnitName, kSocketUnitText},
                                                 HelperUnit{serviceUnitName, kServiceUnitText}};
    return units;
}

std::string_view helperSocketUnit() {
    return socketUnitName;
}

std::string_view helperServiceUnit() {
    return serviceUnitName;
}

std::filesystem::path bundledHelperBeside(const std::filesystem::path& installer) {
    return installer.parent_path() / "OrvikHelper";
}

HelperInstallationState inspectHelperInstallation(const HelperInstallationPaths& paths,
                                                  const std::filesystem::path& bundledHelper,
                                                  uid_t user, uid_t trustedOwner) {
    HelperInstallationState state;
    state.helperCurrent = helperCurrent(paths.helper(), bundledHelper, trustedOwner);
    state.packageUnits =
        std::all_of(helperUnits().begin(), helperUnits().end(), [&](const HelperUnit& unit) {
            return trustedStatus(paths.packageUnitFolder() / unit.name, trustedOwner).has_value();
        });
    if (state.packageUnits) {
        for (const HelperUnit& unit : helperUnits()) {
            struct stat status {};
            if (::lstat((paths.unitFolder() / unit.name).c_str(), &status) == 0 &&
                S_ISREG(status.st_mode)) {
                state.unitsHidingPackage.emplace_back(unit.name);
            }
        }
    }
    state.unitsCurrent =
        state.packageUnits
            ? state.unitsHidingPackage.empty()
            : std::all_of(helperUnits().begin(), helperUnits().end(), [&](const HelperUnit& unit) {
                  return holds(paths.unitFolder() / unit.name, unit.text, trustedOwner);
              });
    state.configCurrent = configListsUser(paths.config(), user, trustedOwner);
    return state;
}

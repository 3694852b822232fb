#pragma once

// Where the application finds the sensor helper, and what the helper calls itself.
namespace helper_service {

// The systemd units and the socket are named after this label.
inline constexpr const char* kName = "org.vantrel.helper.smc";
inline constexpr const char* kSocketPath = "/run/org.vantrel.helper.smc.sock";
inline constexpr const char* kVersion = "2";

}  // namespace helper_service

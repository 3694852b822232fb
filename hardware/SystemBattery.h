#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

// Which power supplies under <root>/sys/class/power_supply are the system's, one rule for the
// application's battery reader and the helper. The texts are the attribute files' contents;
// surrounding blanks and the newline do not count.

// A supply of scope "Device" powers a peripheral (a mouse, a headset), not the system; any
// other scope, or none, is the system's.
bool powersTheSystem(std::string_view scope);

// A supply of type "Battery" that powers the system.
bool isSystemBattery(std::string_view type, std::string_view scope);

// A battery slot whose `present` says 0 is empty; a slot without the file is filled.
bool isEmptySlot(std::string_view present);

// The folder of the first system battery, by supply name, whose slot is not empty.
std::optional<std::filesystem::path> findSystemBattery(const std::filesystem::path& root);

#pragma once

#include "helper/FieldSource.h"

#include <filesystem>
#include <memory>
#include <optional>

class SmcReader;

// The field sources of an SMC: each key of a field's list is one source, read through
// `reader` (opened), which the sources keep.
FieldSources appleSmcFieldSources(std::shared_ptr<const SmcReader> reader);

// Opens the SMC of an Intel Mac through the applesmc driver's files in `deviceDirectory`;
// absent (after printing why) when it cannot be opened.
std::optional<FieldSources> openAppleSmcFieldSources(const std::filesystem::path& deviceDirectory);

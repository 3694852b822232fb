#pragma once

#include "shared/HelperService.h"

#include <QString>

// Whether a socket is there for the sensor helper, as the installation leaves it. Until the
// application installs the helper itself, this is how it decides that sensors can be asked
// for at all.
bool helperSocketPresent(
    const QString& socketPath = QString::fromUtf8(helper_service::kSocketPath));

#pragma once

#include "shared/HelperService.h"

#include <QString>

// Whether a socket is there for the sensor helper, as the installation leaves it. The sampler
// decides by this alone whether sensors can be asked for at all.
bool helperSocketPresent(
    const QString& socketPath = QString::fromUtf8(helper_service::kSocketPath));

// Whether something accepts connections on the helper's socket: systemd holds it open while
// the helper's socket unit runs, whether or not the helper itself does.
bool helperSocketAnswers(
    const QString& socketPath = QString::fromUtf8(helper_service::kSocketPath));

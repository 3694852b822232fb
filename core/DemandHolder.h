#pragma once

#include "core/SamplingDemand.h"

#include <QObject>

#include <functional>

// A token for what one view shows, alive as long as the holder: parented to a window, it is
// released when the window goes. `refresh` follows a change of what the view shows.
class DemandHolder final : public QObject {
    Q_OBJECT
public:
    DemandHolder(SamplingDemand& demand, std::function<SourceSet()> shown,
                 QObject* parent = nullptr);

    void refresh();
    SourceSet held() const { return token_.sources(); }

private:
    SamplingDemand& demand_;
    std::function<SourceSet()> shown_;
    SamplingDemand::Token token_;
};

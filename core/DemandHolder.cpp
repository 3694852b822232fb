#include "core/DemandHolder.h"

#include <utility>

DemandHolder::DemandHolder(SamplingDemand& demand, std::function<SourceSet()> shown,
                           QObject* parent)
    : QObject(parent),
      demand_(demand),
      shown_(std::move(shown)),
      token_(demand_.acquire(shown_())) {}

void DemandHolder::refresh() {
    const SourceSet shown = shown_();
    if (shown != token_.sources()) {
        // The new token is taken before the old one goes, so a source kept through the change
        // is never briefly unneeded.
        token_ = demand_.acquire(shown);
    }
}

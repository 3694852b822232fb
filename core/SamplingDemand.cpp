#include "core/SamplingDemand.h"

#include <utility>

namespace {

constexpr MonitorSource sourceAt(int index) {
    return static_cast<MonitorSource>(index);
}

}  // namespace

SamplingDemand::Token::Token(Token&& other) noexcept
    : counts_(std::move(other.counts_)), sources_(std::exchange(other.sources_, SourceSet{})) {}

SamplingDemand::Token& SamplingDemand::Token::operator=(Token&& other) noexcept {
    if (this != &other) {
        release();
        counts_ = std::move(other.counts_);
        sources_ = std::exchange(other.sources_, SourceSet{});
    }
    return *this;
}

void SamplingDemand::Token::release() {
    if (auto counts = counts_.lock()) {
        for (int i = 0; i < monitorSourceCount; ++i) {
            if (sources_.contains(sourceAt(i))) {
                --(*counts)[i];
            }
        }
    }
    counts_.reset();
    sources_ = SourceSet{};
}

SamplingDemand::SamplingDemand(QObject* parent)
    : QObject(parent), counts_(std::make_shared<Token::Counts>()) {}

SamplingDemand::Token SamplingDemand::acquire(SourceSet sources) {
    const SourceSet before = needed();
    for (int i = 0; i < monitorSourceCount; ++i) {
        if (sources.contains(sourceAt(i))) {
            ++(*counts_)[i];
        }
    }
    const SourceSet added = needed() - before;
    if (!added.isEmpty()) {
        emit sourcesAdded(added);
    }
    return Token(counts_, sources);
}

bool SamplingDemand::isNeeded(MonitorSource source) const {
    return (*counts_)[static_cast<int>(source)] > 0;
}

SourceSet SamplingDemand::needed() const {
    SourceSet set;
    for (int i = 0; i < monitorSourceCount; ++i) {
        if ((*counts_)[i] > 0) {
            set = set | SourceSet{sourceAt(i)};
        }
    }
    return set;
}

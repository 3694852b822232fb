#pragma once

#include "exposition/ExpositionWriter.h"
#include "exposition/MetricsSnapshot.h"

#include <charconv>
#include <string_view>

// The families of the exposition, one group per function, each in its own file; the
// rendering calls them in this order, which is the order of the output.

// The program: its release, its polls and whether the sensor helper answers.
void writeProgramFamilies(ExpositionWriter& writer, const MetricsSnapshot& snapshot);
// What the machine's samplers measured: CPU, memory, disks, network, GPU, battery, thermal state.
void writeMachineFamilies(ExpositionWriter& writer, const MetricsSnapshot& snapshot);
// The sensor helper's readings: named temperatures and powers, fans, every sensor channel.
void writeSensorFamilies(ExpositionWriter& writer, const MetricsSnapshot& snapshot);
// The session's peaks and its start.
void writeSessionFamilies(ExpositionWriter& writer, const MetricsSnapshot& snapshot);
// The busiest and the largest processes by rank.
void writeProcessFamilies(ExpositionWriter& writer, const MetricsSnapshot& snapshot);

// A whole number as a label value ("0", "1", …), without allocating.
class NumberLabelText {
public:
    explicit NumberLabelText(long long number) {
        length_ = std::to_chars(digits_, digits_ + sizeof digits_, number).ptr - digits_;
    }
    std::string_view view() const { return {digits_, static_cast<std::size_t>(length_)}; }

private:
    char digits_[24] = {};
    long length_ = 0;
};

#include "core/RingBuffer.h"

#include <gtest/gtest.h>

namespace {

QVector<double> appended(int count, int capacity) {
    RingBuffer buffer(capacity, -1.0);
    for (int i = 1; i <= count; ++i) {
        buffer.append(i);
    }
    return buffer.values();
}

QVector<double> range(int first, int last) {
    QVector<double> values;
    for (int i = first; i <= last; ++i) {
        values.append(i);
    }
    return values;
}

TEST(RingBuffer, ReadsOutOnlyWhatWasWrittenOldestFirst) {
    const struct {
        int appends;
        int capacity;
        QVector<double> expected;
    } cases[] = {
        {0, 60, {}},                // a new buffer is empty, not 60 fill values
        {59, 60, range(1, 59)},     //
        {61, 60, range(2, 61)},     // the oldest value is gone
        {120, 60, range(61, 120)},  // wrapped exactly twice: slot order again
        {145, 60, range(86, 145)},  //
        {5, 1, {5}},                //
    };
    for (const auto& c : cases) {
        EXPECT_EQ(appended(c.appends, c.capacity), c.expected) << c.appends << " appends";
    }
}

TEST(RingBuffer, ValuesHandedOutDoNotChangeWithLaterAppends) {
    RingBuffer buffer(3, 0.0);
    buffer.append(1);
    buffer.append(2);
    const auto before = buffer.values();
    buffer.append(3);
    buffer.append(4);
    EXPECT_EQ(before, (QVector<double>{1, 2}));
}

}  // namespace

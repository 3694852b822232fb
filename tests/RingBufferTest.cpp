#include "core/RingBuffer.h"

#include <gtest/gtest.h>

namespace {

QVector<double> appended(int count, int capacity = 60) {
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
    struct Case {
        int appends;
        QVector<double> expected;
    };
    const Case cases[] = {
        {0, {}},                // a new buffer is empty, not 60 fill values
        {1, {1}},               //
        {59, range(1, 59)},     //
        {60, range(1, 60)},     // full, in append order
        {61, range(2, 61)},     // the oldest value is gone
        {120, range(61, 120)},  // wrapped exactly twice: slot order again
        {145, range(86, 145)},  //
    };
    for (const auto& c : cases) {
        EXPECT_EQ(appended(c.appends), c.expected) << c.appends << " appends";
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
    EXPECT_EQ(buffer.values(), (QVector<double>{2, 3, 4}));
    EXPECT_EQ(buffer.writeIndex(), 4);
    EXPECT_EQ(buffer.storage().size(), 3);
}

TEST(RingBuffer, CapacityOfOneKeepsTheLatestValue) {
    EXPECT_EQ(appended(5, 1), (QVector<double>{5}));
}

}  // namespace

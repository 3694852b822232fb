#pragma once

#include <QVector>

#include <cstdint>

// A fixed-capacity history that overwrites its oldest value once full and reads out oldest
// first. Slot k holds the value of the latest write count w with w mod capacity == k.
class RingBuffer {
public:
    static constexpr int kHistoryLength = 60;

    RingBuffer() : RingBuffer(kHistoryLength, 0.0) {}
    RingBuffer(int capacity, double fill)
        : storage_(capacity < 1 ? 1 : capacity, fill), capacity_(capacity < 1 ? 1 : capacity) {}

    void append(double value) {
        storage_[static_cast<int>(writeIndex_ % capacity_)] = value;
        ++writeIndex_;
    }

    // The values written so far, oldest first; a copy the caller may keep.
    QVector<double> values() const {
        if (writeIndex_ < capacity_) {
            return storage_.mid(0, static_cast<int>(writeIndex_));
        }
        const int start = static_cast<int>(writeIndex_ % capacity_);
        QVector<double> ordered;
        ordered.reserve(capacity_);
        ordered.append(storage_.mid(start));
        ordered.append(storage_.mid(0, start));
        return ordered;
    }

    int capacity() const { return capacity_; }
    std::int64_t writeIndex() const { return writeIndex_; }
    const QVector<double>& storage() const { return storage_; }

private:
    QVector<double> storage_;
    std::int64_t writeIndex_ = 0;
    int capacity_;
};

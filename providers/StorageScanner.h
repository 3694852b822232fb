#pragma once

#include "providers/StorageScan.h"

#include <functional>

// Runs the storage scan away from the caller and hands the result back to it.
class StorageScanner {
public:
    using Completion = std::function<void(StorageScanResult)>;

    virtual ~StorageScanner() = default;
    // Begins one scan and returns at once. `done` runs once, on the calling thread's event
    // loop; once the scanner is destroyed it never runs.
    virtual void start(Completion done) = 0;
};

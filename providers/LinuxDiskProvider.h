#pragma once

#include "providers/DiskProvider.h"

#include <memory>

class NotificationCenter;

// The disk provider the poll loop uses on Linux: statvfs of "/", /proc/diskstats, and the
// storage scan of this user's folders and the mounted volumes on a background thread at
// nice 19 and idle I/O priority. Create it on the main thread; `clock` and `center` must
// outlive it.
std::unique_ptr<DiskProvider> makeLinuxDiskProvider(Clock& clock, NotificationCenter& center);

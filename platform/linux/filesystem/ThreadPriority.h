#pragma once

// The scheduling of the calling thread alone; Linux keeps both per thread.
struct ThreadPriority {
    int nice = 0;
    int ioClass = 0;  // IOPRIO_CLASS_NONE 0, RT 1, BE 2, IDLE 3
};

inline constexpr int kBackgroundNice = 19;
inline constexpr int kIdleIoClass = 3;

// Moves the calling thread to nice 19 and the idle I/O class, so it only gets the processor
// and the disks when nothing else wants them. There is no way back without privileges: use
// it on threads that end with their job. Returns whether both took effect.
bool moveCurrentThreadToBackground();

ThreadPriority currentThreadPriority();

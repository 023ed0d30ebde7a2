#pragma once

#include <QRecursiveMutex>

// The results table's lock. Recursive, so that a slot reacting to a change
// notification may call back into the table without deadlocking the main
// thread, which is the only thread that ever takes it.
using TCriticalSection = QRecursiveMutex;

// Holds a critical section for the lifetime of the guard, also when an error
// leaves the block.
class TCriticalSectionLock final
{
public:
    explicit TCriticalSectionLock(TCriticalSection& section) : section_(section) { section_.lock(); }
    ~TCriticalSectionLock() { section_.unlock(); }
    TCriticalSectionLock(const TCriticalSectionLock&) = delete;
    TCriticalSectionLock& operator=(const TCriticalSectionLock&) = delete;

private:
    TCriticalSection& section_;
};

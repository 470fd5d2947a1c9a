// A named mutex: one holder at a time among all processes, released when the holder ends.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include "win32.h"

MachineLock::MachineLock(const char* name, unsigned long waitMs)
    : mutex_(CreateMutexA(nullptr, FALSE, name)), owned_(false) {
    if (mutex_ == nullptr) return;
    // An abandoned mutex (its holder ended without releasing it) is ours now all the same.
    const DWORD result = WaitForSingleObject(mutex_, waitMs);
    owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

MachineLock::~MachineLock() {
    if (mutex_ == nullptr) return;
    if (owned_) ReleaseMutex(mutex_);
    CloseHandle(mutex_);
}

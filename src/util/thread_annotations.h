#pragma once

// Qt's own locks and waits (the blocking call into the main thread, the end
// of a QThread) are invisible to ThreadSanitizer, because Qt itself is not
// built with it. Where our threads hand data over through them, these marks
// tell the sanitizer the order that Qt guarantees. They cost nothing in
// other builds.

#if defined(__SANITIZE_THREAD__)
#define QUILLMOOR_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QUILLMOOR_TSAN 1
#endif
#endif

#ifdef QUILLMOOR_TSAN
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
// Everything before this on this thread ...
inline void MarkHandOver(const void* token) { __tsan_release(const_cast<void*>(token)); }
// ... happens before everything after this on the thread that takes it over.
inline void MarkTakeOver(const void* token) { __tsan_acquire(const_cast<void*>(token)); }
#else
inline void MarkHandOver(const void*) {}
inline void MarkTakeOver(const void*) {}
#endif

#ifndef THREADANNOTATIONS_H
#define THREADANNOTATIONS_H

// Qt's event queue and mutexes live in a library that ThreadSanitizer does not instrument,
// so the happens-before edge of a posted event is invisible to it. The sender marks the
// object it hands over with handoffRelease() just before posting it, the receiver marks it
// with handoffAcquire() on arrival, and ThreadSanitizer then sees the real ordering.
// Outside ThreadSanitizer builds both are no-ops.

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ZELVAR_TSAN 1
#endif
#endif
#if !defined(ZELVAR_TSAN) && defined(__SANITIZE_THREAD__)
#define ZELVAR_TSAN 1
#endif

#ifdef ZELVAR_TSAN
extern "C" void __tsan_acquire(void *addr);
extern "C" void __tsan_release(void *addr);
#endif

namespace ThreadAnnotations {

inline void handoffRelease(const void *object)
{
#ifdef ZELVAR_TSAN
    __tsan_release(const_cast<void *>(object));
#else
    (void)object;
#endif
}

inline void handoffAcquire(const void *object)
{
#ifdef ZELVAR_TSAN
    __tsan_acquire(const_cast<void *>(object));
#else
    (void)object;
#endif
}

} // namespace ThreadAnnotations

#endif

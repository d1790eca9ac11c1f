// Proves that processBlock allocates nothing and takes no lock, by counting every
// allocation and every mutex lock made on the calling thread while it runs.
// Sanitizer runtimes replace these same functions, so the check runs only in the
// plain build.

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    #define SNAPWELL_SANITIZED 1
#elif defined(__has_feature)
    #if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
        #define SNAPWELL_SANITIZED 1
    #endif
#endif

#include "plugin/BasaltProcessor.h"
#include "support/RecordingPorts.h"

#include <gtest/gtest.h>

#ifndef SNAPWELL_SANITIZED
    #include <dlfcn.h>
    #include <pthread.h>

    #include <cstdlib>
    #include <new>

namespace
{
thread_local bool counting = false;
thread_local int allocations = 0;
thread_local int lockAttempts = 0;
} // namespace

void* operator new (std::size_t size)
{
    if (counting)
        ++allocations;

    if (auto* p = std::malloc (size == 0 ? 1 : size))
        return p;

    throw std::bad_alloc();
}

void* operator new[] (std::size_t size) { return operator new (size); }
void operator delete (void* p) noexcept { std::free (p); }
void operator delete[] (void* p) noexcept { std::free (p); }
void operator delete (void* p, std::size_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept { std::free (p); }

extern "C" int pthread_mutex_lock (pthread_mutex_t* mutex)
{
    using Lock = int (*) (pthread_mutex_t*);
    static const auto next = reinterpret_cast<Lock> (dlsym (RTLD_NEXT, "pthread_mutex_lock"));

    if (counting)
        ++lockAttempts;

    return next (mutex);
}

extern "C" int pthread_mutex_trylock (pthread_mutex_t* mutex)
{
    using Lock = int (*) (pthread_mutex_t*);
    static const auto next = reinterpret_cast<Lock> (dlsym (RTLD_NEXT, "pthread_mutex_trylock"));

    if (counting)
        ++lockAttempts;

    return next (mutex);
}
#endif

namespace
{
TEST (ProcessBlock, AllocatesNothingAndTakesNoLock)
{
#ifdef SNAPWELL_SANITIZED
    GTEST_SKIP() << "the sanitizer runtime owns operator new and pthread_mutex_lock";
#else
    auto calls = std::make_shared<RecordingPorts::Calls>();
    BasaltProcessor processor { std::make_unique<RecordingPorts> (calls) };
    processor.prepareToPlay (48000.0, 512);
    ASSERT_TRUE (processor.initMidiThread.waitForThreadToExit (5000));

    juce::AudioBuffer<float> buffer (2, 512);
    buffer.clear();
    juce::MidiBuffer midi;
    midi.ensureSize (64);

    // The counters themselves work: a lock and an allocation on this thread are seen.
    {
        counting = true;
        std::mutex m;
        m.lock();
        m.unlock();
        auto probe = std::make_unique<int> (1);
        counting = false;
        ASSERT_EQ (lockAttempts, 1);
        ASSERT_EQ (allocations, 1);
        lockAttempts = allocations = 0;
    }

    counting = true;

    for (int block = 0; block < 100; ++block)
        processor.processBlock (buffer, midi);

    counting = false;

    EXPECT_EQ (allocations, 0);
    EXPECT_EQ (lockAttempts, 0);
#endif
}
} // namespace

#pragma once
// An event that releases one waiter and then resets itself, with a timed wait. The animation painter
// sleeps on one between frames; a stop request sets it so that the wait ends at once.

#include <condition_variable>
#include <cstdint>
#include <mutex>

class TAutoResetEvent {
  public:
    // Wait without a time limit.
    static constexpr std::int64_t Infinite = -1;

    explicit TAutoResetEvent(bool initiallySet = false) : Set_(initiallySet) {}
    TAutoResetEvent(const TAutoResetEvent&) = delete;
    TAutoResetEvent& operator=(const TAutoResetEvent&) = delete;

    void SetEvent();
    void ResetEvent();
    // Takes the signal when it is set, without waiting.
    bool TryWait();
    // Waits until the event is set (true, and the event is reset again) or until ms milliseconds have
    // passed (false). A negative ms waits without a limit; 0 only looks.
    bool WaitFor(std::int64_t ms);

  private:
    std::mutex Mutex_;
    std::condition_variable Cond_;
    bool Set_;
};

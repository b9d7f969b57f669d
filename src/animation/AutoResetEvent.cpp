#include "AutoResetEvent.h"

#include <chrono>

void TAutoResetEvent::SetEvent() {
    {
        std::lock_guard<std::mutex> lock(Mutex_);
        Set_ = true;
    }
    Cond_.notify_one();
}

void TAutoResetEvent::ResetEvent() {
    std::lock_guard<std::mutex> lock(Mutex_);
    Set_ = false;
}

bool TAutoResetEvent::TryWait() {
    return WaitFor(0);
}

bool TAutoResetEvent::WaitFor(std::int64_t ms) {
    std::unique_lock<std::mutex> lock(Mutex_);
    if (ms < 0) {
        Cond_.wait(lock, [this] { return Set_; });
    } else if (!Cond_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return Set_; })) {
        return false;
    }
    Set_ = false;
    return true;
}

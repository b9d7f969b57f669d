#include "TimeSource.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "AutoResetEvent.h"

namespace {
std::atomic<TTimeSource*> InstalledSource{nullptr};
}

TTimeSource& TTimeSource::Current() {
    static TSystemTimeSource systemSource;
    TTimeSource* source = InstalledSource.load();
    return source ? *source : systemSource;
}

void TTimeSource::Install(TTimeSource* source) {
    InstalledSource.store(source);
}

std::int64_t TSystemTimeSource::NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void TSystemTimeSource::SleepMs(std::int64_t ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void TSystemTimeSource::YieldThread() {
    std::this_thread::yield();
}

bool TSystemTimeSource::WaitEvent(TAutoResetEvent& event, std::int64_t ms) {
    return event.WaitFor(ms);
}

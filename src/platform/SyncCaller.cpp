#include "SyncCaller.h"

#include <atomic>
#include <chrono>
#include <utility>

namespace {
std::atomic<TSyncCaller*> InstalledCaller{nullptr};
}

TSyncCaller& TSyncCaller::Current() {
    static TQueuedSyncCaller defaultCaller;
    TSyncCaller* caller = InstalledCaller.load();
    return caller ? *caller : defaultCaller;
}

void TSyncCaller::Install(TSyncCaller* caller) { InstalledCaller.store(caller); }

TQueuedSyncCaller::TQueuedSyncCaller() : MainThread_(std::this_thread::get_id()) {}

TQueuedSyncCaller::~TQueuedSyncCaller() {
    // Nobody may still wait on us; run what is left so that no worker stays blocked.
    RunPending();
}

bool TQueuedSyncCaller::InMainThread() const { return std::this_thread::get_id() == MainThread_; }

void TQueuedSyncCaller::Synchronize(const TCall& call) {
    if (InMainThread()) {
        call();
        return;
    }
    auto entry = std::make_shared<TEntry>();
    entry->Call = call;
    {
        std::lock_guard<std::mutex> lock(Mutex_);
        Queue_.push_back(entry);
    }
    QueuedCond_.notify_all();
    CallQueued();
    std::unique_lock<std::mutex> lock(Mutex_);
    DoneCond_.wait(lock, [&] { return entry->Done; });
    if (entry->Failed) throw ESyncCallError(entry->Message);
}

bool TQueuedSyncCaller::RunPending() {
    std::deque<std::shared_ptr<TEntry>> batch;
    {
        std::lock_guard<std::mutex> lock(Mutex_);
        batch.swap(Queue_);
    }
    for (auto& entry : batch) {
        bool failed = false;
        std::string message;
        try {
            entry->Call();
        } catch (const std::exception& e) {
            failed = true;
            message = e.what();
        } catch (...) {
            failed = true;
            message = "Synchronised call failed";
        }
        std::lock_guard<std::mutex> lock(Mutex_);
        entry->Failed = failed;
        entry->Message = std::move(message);
        entry->Done = true;
    }
    if (!batch.empty()) DoneCond_.notify_all();
    return !batch.empty();
}

bool TQueuedSyncCaller::ProcessMessages() {
    RunPending();
    return true;
}

std::size_t TQueuedSyncCaller::PendingCount() const {
    std::lock_guard<std::mutex> lock(Mutex_);
    return Queue_.size();
}

bool TQueuedSyncCaller::WaitForPending(std::int64_t ms) {
    std::unique_lock<std::mutex> lock(Mutex_);
    return QueuedCond_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !Queue_.empty(); });
}

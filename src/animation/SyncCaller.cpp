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

void TSyncCaller::Install(TSyncCaller* caller) {
    InstalledCaller.store(caller);
}

TQueuedSyncCaller::TQueuedSyncCaller()
    : MainThread_(std::this_thread::get_id()), State_(std::make_shared<TState>()) {}

TQueuedSyncCaller::~TQueuedSyncCaller() {
    // An installed caller that goes uninstalls itself, so nobody calls into a dead one.
    TSyncCaller* self = this;
    InstalledCaller.compare_exchange_strong(self, nullptr);
    Close();
    // Nobody should still wait on us; run what is left so that no worker stays blocked.
    RunPending();
}

void TQueuedSyncCaller::Close() {
    std::lock_guard<std::mutex> lock(State_->Mutex);
    State_->Closed = true;
}

bool TQueuedSyncCaller::InMainThread() const {
    return std::this_thread::get_id() == MainThread_;
}

void TQueuedSyncCaller::Synchronize(const TCall& call) {
    if (InMainThread()) {
        call();
        return;
    }
    const std::shared_ptr<TState> state = State_; // outlives this object while we wait
    auto entry = std::make_shared<TEntry>();
    entry->Call = call;
    std::unique_lock<std::mutex> lock(state->Mutex);
    state->Queue.push_back(entry);
    state->QueuedCond.notify_all();
    if (!state->Closed) CallQueued();
    state->DoneCond.wait(lock, [&] { return entry->Done; });
    if (entry->Failed) throw ESyncCallError(entry->Message);
}

bool TQueuedSyncCaller::RunPending() {
    TState& state = *State_;
    std::deque<std::shared_ptr<TEntry>> batch;
    {
        std::lock_guard<std::mutex> lock(state.Mutex);
        batch.swap(state.Queue);
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
        std::lock_guard<std::mutex> lock(state.Mutex);
        entry->Failed = failed;
        entry->Message = std::move(message);
        entry->Done = true;
        state.DoneCond.notify_all();
    }
    return !batch.empty();
}

bool TQueuedSyncCaller::ProcessMessages() {
    RunPending();
    return true;
}

std::size_t TQueuedSyncCaller::PendingCount() const {
    std::lock_guard<std::mutex> lock(State_->Mutex);
    return State_->Queue.size();
}

bool TQueuedSyncCaller::WaitForPending(std::int64_t ms) {
    std::unique_lock<std::mutex> lock(State_->Mutex);
    return State_->QueuedCond.wait_for(lock, std::chrono::milliseconds(ms),
                                       [this] { return !State_->Queue.empty(); });
}

#pragma once
// Synchronised calls: a worker thread hands a piece of work to the user-interface thread and waits
// until it has run there. The animation painter does all its drawing and calls all its callbacks
// this way. While the user-interface thread waits for such a worker to end, it runs the calls that
// are waiting (RunPending), so neither side blocks the other.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

// A synchronised call failed on the user-interface thread. Only the text crosses between the
// threads: each exception object stays on the thread that made it.
class ESyncCallError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TSyncCaller {
  public:
    using TCall = std::function<void()>;

    virtual ~TSyncCaller() = default;

    // Runs the call on the user-interface thread and returns after it has run; an exception it
    // raises comes back to the calling thread as an ESyncCallError with the same text. On the
    // user-interface thread it runs at once (and its exceptions pass unchanged).
    virtual void Synchronize(const TCall& call) = 0;
    // On the user-interface thread: runs every call that is waiting now. True when any ran.
    virtual bool RunPending() = 0;
    // True on the user-interface thread.
    virtual bool InMainThread() const = 0;
    // Lets the user-interface thread handle its waiting events while a long operation runs in it
    // (unthreaded painting). False when the application is quitting.
    virtual bool ProcessMessages() = 0;

    // The caller in use: the installed one, otherwise a queue bound to the first thread that asked.
    static TSyncCaller& Current();
    // Installs a caller (nullptr: back to the default). A queued caller uninstalls itself when it is
    // destroyed.
    static void Install(TSyncCaller* caller);
};

// Synchronised calls through a plain queue: the thread that creates it is the user-interface
// thread, and calls from other threads wait in the queue until that thread runs RunPending.
//
// The queue, its lock and its conditions live in a shared state that a waiting worker keeps alive:
// a worker whose last call has run may still be returning from Synchronize when the owner drops
// this object.
class TQueuedSyncCaller : public TSyncCaller {
  public:
    TQueuedSyncCaller();
    ~TQueuedSyncCaller() override;

    void Synchronize(const TCall& call) override;
    bool RunPending() override;
    bool InMainThread() const override;
    bool ProcessMessages() override;

    std::size_t PendingCount() const;
    // Waits until a call is queued or ms milliseconds have passed; true when one is waiting.
    bool WaitForPending(std::int64_t ms);

  protected:
    // A call has been queued (from a worker thread, under the queue's lock). A subclass posts a
    // wake-up to its event loop.
    virtual void CallQueued() {}
    // No more CallQueued from here on; a subclass calls this first in its destructor.
    void Close();

  private:
    struct TEntry {
        TCall Call;
        bool Done = false;
        bool Failed = false;
        std::string Message;
    };
    struct TState {
        std::mutex Mutex;
        std::condition_variable QueuedCond;
        std::condition_variable DoneCond;
        std::deque<std::shared_ptr<TEntry>> Queue;
        bool Closed = false;
    };

    std::thread::id MainThread_;
    std::shared_ptr<TState> State_;
};

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <thread>

#include "AutoResetEvent.h"
#include "SyncCaller.h"

TEST(AutoResetEvent, ReleasesOneWaitAndResets) {
    TAutoResetEvent event;
    EXPECT_FALSE(event.WaitFor(0));
    event.SetEvent();
    event.SetEvent(); // setting twice still releases only one wait
    EXPECT_TRUE(event.TryWait());
    EXPECT_FALSE(event.TryWait());
    TAutoResetEvent initiallySet(true);
    initiallySet.ResetEvent();
    EXPECT_FALSE(initiallySet.TryWait());
}

TEST(AutoResetEvent, SetFromAnotherThreadEndsAnEndlessWait) {
    TAutoResetEvent event;
    std::thread setter([&] { event.SetEvent(); });
    EXPECT_TRUE(event.WaitFor(TAutoResetEvent::Infinite));
    setter.join();
}

TEST(QueuedSyncCaller, RunsOnTheMainThreadAndWaits) {
    TQueuedSyncCaller caller;
    EXPECT_TRUE(caller.InMainThread());
    std::thread::id ranOn;
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        EXPECT_FALSE(caller.InMainThread());
        caller.Synchronize([&] { ranOn = std::this_thread::get_id(); });
        returned = true;
    });
    ASSERT_TRUE(caller.WaitForPending(10000));
    EXPECT_FALSE(returned.load()); // the worker waits until the call has run
    EXPECT_EQ(caller.PendingCount(), 1u);
    EXPECT_TRUE(caller.RunPending());
    worker.join();
    EXPECT_TRUE(returned.load());
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_FALSE(caller.RunPending());
}

TEST(QueuedSyncCaller, CallOnMainThreadRunsAtOnceAndErrorsReachTheCaller) {
    TQueuedSyncCaller caller;
    int runs = 0;
    caller.Synchronize([&] { ++runs; });
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(caller.PendingCount(), 0u);

    std::string caught;
    std::thread worker([&] {
        try {
            caller.Synchronize([] { throw std::runtime_error("drawing failed"); });
        } catch (const std::runtime_error& e) {
            caught = e.what();
        }
    });
    while (!caller.RunPending())
        caller.WaitForPending(100);
    worker.join();
    EXPECT_EQ(caught, "drawing failed");
}

TEST(QueuedSyncCaller, ManyWorkersAllGetServed) {
    TQueuedSyncCaller caller;
    constexpr int Workers = 4, CallsEach = 50;
    int total = 0; // touched only on the main thread
    std::atomic<int> finished{0};
    std::vector<std::thread> workers;
    for (int w = 0; w < Workers; ++w)
        workers.emplace_back([&] {
            for (int i = 0; i < CallsEach; ++i)
                caller.Synchronize([&] { ++total; });
            ++finished;
        });
    while (finished.load() < Workers) {
        caller.WaitForPending(50);
        caller.RunPending();
    }
    for (auto& t : workers)
        t.join();
    EXPECT_EQ(total, Workers * CallsEach);
}

TEST(QueuedSyncCaller, UninstallsItselfWhenDestroyed) {
    auto caller = std::make_unique<TQueuedSyncCaller>();
    TSyncCaller::Install(caller.get());
    EXPECT_EQ(&TSyncCaller::Current(), caller.get());
    const auto gone = reinterpret_cast<std::uintptr_t>(caller.get());
    caller.reset();
    EXPECT_NE(reinterpret_cast<std::uintptr_t>(&TSyncCaller::Current()), gone);
    EXPECT_TRUE(TSyncCaller::Current().InMainThread()); // the default caller, alive
}

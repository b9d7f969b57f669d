#pragma once
// The clock and the sleeping that timed code uses: a millisecond clock, sleeping, yielding the
// processor and waiting on an event with a time limit. The animation painter takes these through a
// TTimeSource so that its timing can be driven by a simulated clock.

#include <cstdint>

class TAutoResetEvent;

class TTimeSource {
  public:
    virtual ~TTimeSource() = default;

    // Milliseconds from an arbitrary start; never goes back.
    virtual std::int64_t NowMs() = 0;
    virtual void SleepMs(std::int64_t ms) = 0;
    virtual void YieldThread() = 0;
    // Waits on the event for ms milliseconds (TAutoResetEvent::Infinite: without a limit). True when
    // the event was set, false when the time ran out.
    virtual bool WaitEvent(TAutoResetEvent& event, std::int64_t ms) = 0;

    // The source in use: the installed one, otherwise the system clock.
    static TTimeSource& Current();
    // Installs a source (nullptr: back to the system clock). The caller keeps it alive while installed.
    static void Install(TTimeSource* source);
};

// The real clock (a steady clock) and real sleeping.
class TSystemTimeSource : public TTimeSource {
  public:
    std::int64_t NowMs() override;
    void SleepMs(std::int64_t ms) override;
    void YieldThread() override;
    bool WaitEvent(TAutoResetEvent& event, std::int64_t ms) override;
};

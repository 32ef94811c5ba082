#pragma once
// At most one refresh runs and at most one waits. A timer event that finds a
// refresh waiting merges into it (a notifying event makes it notifying)
// instead of starting another worker, so refreshes slower than the timer
// never pile up threads. Nothing is lost: the waiting refresh reads the list
// only when its turn comes.
#include <condition_variable>
#include <cstddef>
#include <mutex>

class RefreshQueue {
public:
    // At a timer event: true when a worker must be started for it (it waits
    // its turn in `begin`), false when it merged into the refresh waiting.
    bool admit(bool notify);
    // The admitted worker could not be started: the next event admits afresh.
    void withdraw();
    // The admitted worker waits until no refresh runs, then runs; returns
    // whether it notifies, merged events included.
    bool begin();
    void end();
    // Workers admitted so far, less those withdrawn: what the tests wait for.
    size_t admittedCount();

    // A scoped run: `begin` on construction, `end` on destruction.
    class Turn {
    public:
        explicit Turn(RefreshQueue& queue) : queue_(queue), notify_(queue.begin()) {}
        ~Turn() { queue_.end(); }
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;
        bool notify() const { return notify_; }

    private:
        RefreshQueue& queue_;
        bool notify_;
    };

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool running_ = false;
    bool waiting_ = false;
    bool waitingNotifies_ = false;
    size_t admitted_ = 0;
};

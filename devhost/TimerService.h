#pragma once
// "WTW/Timer/Create" and "WTW/Timer/Destroy". A running timer sends one
// silent event (code 1) as soon as it is created, so a first start does not
// announce every old item, then a notifying event (code 3) at each interval.
// In manual mode timers only fire when the devhost asks (--once, tests).
#include <atomic>
#include <condition_variable>
#include <functional>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "devhost/ServiceDispatcher.h"
#include "host/HostProtocol.h"

class TimerService {
public:
    enum class Mode { Manual, Running };

    explicit TimerService(Mode mode) : mode_(mode) {}
    ~TimerService();
    TimerService(const TimerService&) = delete;
    TimerService& operator=(const TimerService&) = delete;

    void install(ServiceDispatcher& dispatcher);

    // Sends one event with this code to every timer, on the calling thread;
    // returns how many timers got it.
    size_t fire(int32_t code);
    std::vector<std::pair<std::wstring, uint32_t>> timers() const; // id, interval in ms
    // Refresh events (codes 1 and 3) sent so far, by fire() and by running timers.
    size_t refreshEventsSent() const { return refreshEvents_.load(); }

    intptr_t create(intptr_t record);
    intptr_t destroy(intptr_t timerId);

private:
    class Ticker;
    struct Timer {
        HostCallback callback = nullptr;
        uint32_t intervalMs = 0;
        std::shared_ptr<Ticker> ticker; // running mode only; shared_ptr: Ticker is defined in the .cpp
    };

    void send(HostCallback callback, int32_t code);

    Mode mode_;
    std::atomic<size_t> refreshEvents_{0};
    mutable std::mutex mutex_;
    std::map<std::wstring, Timer> timers_;
};

// Sends one timer event record with the given code to a callback.
void sendTimerEvent(HostCallback callback, int32_t code);

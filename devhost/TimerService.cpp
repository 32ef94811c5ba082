#include "devhost/TimerService.h"

#include <chrono>
#include <cstring>

#include "host/HostProtocol.h"

void sendTimerEvent(HostCallback callback, int32_t code)
{
    TimerEvent event{};
    const uint32_t size = sizeof event;
    memcpy(event.hostData, &size, sizeof size); // like every host record: its size first
    event.code = code;
    callback(reinterpret_cast<intptr_t>(&event), 0, nullptr);
}

// One thread per running timer: the first event at once, then one per interval.
class TimerService::Ticker {
public:
    Ticker(std::function<void(int32_t)> fire, uint32_t intervalMs)
        : thread_([this, fire, intervalMs] { run(fire, intervalMs); })
    {
    }
    ~Ticker()
    {
        {
            std::lock_guard<std::mutex> hold(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

private:
    void run(const std::function<void(int32_t)>& fire, uint32_t intervalMs)
    {
        fire(kSilentRefreshEvent);
        std::unique_lock<std::mutex> hold(mutex_);
        while (!wake_.wait_for(hold, std::chrono::milliseconds(intervalMs), [this] { return stopping_; })) {
            hold.unlock();
            fire(kNotifyingRefreshEvent);
            hold.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_; // last: starts once the members above exist
};

TimerService::~TimerService()
{
    std::map<std::wstring, Timer> stopping;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        stopping.swap(timers_);
    }
}

void TimerService::install(ServiceDispatcher& dispatcher)
{
    dispatcher.add(Service::kTimerCreate, [this](intptr_t w, intptr_t) { return create(w); });
    dispatcher.add(Service::kTimerDestroy, [this](intptr_t w, intptr_t) { return destroy(w); });
}

intptr_t TimerService::create(intptr_t address)
{
    auto record = recordAt<const TimerRecord>(address);
    if (record == nullptr || record->timerId == nullptr || record->callback == nullptr)
        return 0;
    Timer timer;
    timer.callback = record->callback;
    timer.intervalMs = record->intervalMs > 0 ? record->intervalMs : 1; // a zero interval would spin
    if (mode_ == Mode::Running)
        timer.ticker = std::make_shared<Ticker>(
            [this, callback = timer.callback](int32_t code) { send(callback, code); }, timer.intervalMs);
    Timer replaced;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        replaced = std::move(timers_[record->timerId]);
        timers_[record->timerId] = std::move(timer);
    }
    return 1; // a replaced timer's thread stops here, outside the lock
}

intptr_t TimerService::destroy(intptr_t timerId)
{
    auto id = reinterpret_cast<const wchar_t*>(timerId);
    if (id == nullptr)
        return 0;
    Timer removed;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        auto found = timers_.find(id);
        if (found == timers_.end())
            return 0;
        removed = std::move(found->second);
        timers_.erase(found);
    }
    return 1; // its thread is stopped and joined as removed goes
}

size_t TimerService::fire(int32_t code)
{
    std::vector<HostCallback> callbacks;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        for (const auto& entry : timers_)
            callbacks.push_back(entry.second.callback);
    }
    for (HostCallback callback : callbacks)
        send(callback, code);
    return callbacks.size();
}

std::vector<std::pair<std::wstring, uint32_t>> TimerService::timers() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    std::vector<std::pair<std::wstring, uint32_t>> found;
    for (const auto& entry : timers_)
        found.emplace_back(entry.first, entry.second.intervalMs);
    return found;
}

void TimerService::send(HostCallback callback, int32_t code)
{
    if (code == kSilentRefreshEvent || code == kNotifyingRefreshEvent)
        ++refreshEvents_;
    sendTimerEvent(callback, code);
}

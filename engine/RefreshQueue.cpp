#include "engine/RefreshQueue.h"

bool RefreshQueue::admit(bool notify)
{
    std::lock_guard<std::mutex> hold(mutex_);
    if (waiting_) {
        waitingNotifies_ = waitingNotifies_ || notify;
        return false;
    }
    waiting_ = true;
    waitingNotifies_ = notify;
    ++admitted_;
    return true;
}

void RefreshQueue::withdraw()
{
    std::lock_guard<std::mutex> hold(mutex_);
    waiting_ = false;
    --admitted_;
}

bool RefreshQueue::begin()
{
    std::unique_lock<std::mutex> hold(mutex_);
    ended_.wait(hold, [this] { return !running_; });
    running_ = true;
    waiting_ = false;
    return waitingNotifies_;
}

void RefreshQueue::end()
{
    {
        std::lock_guard<std::mutex> hold(mutex_);
        running_ = false;
    }
    ended_.notify_all();
}

size_t RefreshQueue::admittedCount()
{
    std::lock_guard<std::mutex> hold(mutex_);
    return admitted_;
}

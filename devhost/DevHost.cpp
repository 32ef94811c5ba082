#include "devhost/DevHost.h"

DevHost::DevHost(DevHostSetup setup)
    : report_(setup.report ? setup.report : [](const std::wstring&) {}),
      dispatcher_([this](const std::wstring& service) { report_(L"unknown service " + service + L" (answered 0)"); }),
      settings_(setup.configPath, report_), timers_(setup.timers)
{
    settings_.install(dispatcher_);
    events_.install(dispatcher_);
    look_.install(dispatcher_);
    panels_.install(dispatcher_);
    pages_.install(dispatcher_);
    timers_.install(dispatcher_);
}

DevHost::~DevHost()
{
    unload();
}

bool DevHost::checkConfig(std::wstring& error) const
{
    SettingsFile file(settings_.configPath());
    return file.load(error);
}

bool DevHost::readFeedList(std::optional<std::wstring>& list, std::wstring& error) const
{
    SettingsFile file(settings_.configPath());
    if (!file.load(error))
        return false;
    list = file.get(kFeedsKey);
    return true;
}

bool DevHost::storeFeedList(const std::wstring& list, std::wstring& error)
{
    SettingsFile file(settings_.configPath());
    if (!file.load(error))
        return false;
    file.set(kFeedsKey, list);
    return file.save(error);
}

bool DevHost::load(const std::wstring& dllPath, std::wstring& error)
{
    if (loaded_) {
        error = L"a plug-in is loaded already";
        return false;
    }
    if (!plugin_.open(dllPath, error))
        return false;
    // Counted before the load: a running timer's first event may come during it.
    eventsAtLoad_ = timers_.refreshEventsSent();
    endedAtLoad_ = events_.workersEnded();
    plugin_.load(dispatcher_.api());
    loaded_ = true;
    return true;
}

bool DevHost::refresh(bool notify, DWORD timeoutMs)
{
    const size_t before = events_.workersEnded();
    const size_t timers = timers_.fire(notify ? kNotifyingRefreshEvent : kSilentRefreshEvent);
    if (timers == 0)
        return false;
    return events_.waitForWorkersEnded(before + timers, timeoutMs);
}

void DevHost::unload()
{
    if (!loaded_)
        return;
    panels_.detach();
    plugin_.unload();
    loaded_ = false;
    // A refresh still running would run on in unmapped code: keep it mapped.
    const size_t started = timers_.refreshEventsSent() - eventsAtLoad_;
    if (events_.workersEnded() - endedAtLoad_ >= started)
        plugin_.close();
    else
        plugin_.abandon();
}

#include "devhost/SettingsService.h"

#include <algorithm>
#include <cwchar>

#include "host/HostProtocol.h"

namespace {

} // namespace

SettingsService::SettingsService(std::wstring configPath, Reporter report)
    : configPath_(std::move(configPath)), report_(std::move(report))
{
}

void SettingsService::install(ServiceDispatcher& dispatcher)
{
    dispatcher.add(Service::kSettingsGetMyConfigFile, [this](intptr_t w, intptr_t) { return getMyConfigFile(w); });
    dispatcher.add(Service::kSettingsInit, [this](intptr_t w, intptr_t) { return init(w); });
    dispatcher.add(Service::kSettingsRead, [this](intptr_t w, intptr_t) { return read(w); });
    dispatcher.add(Service::kSettingsGet, [this](intptr_t w, intptr_t) { return get(w); });
    dispatcher.add(Service::kSettingsSet, [this](intptr_t w, intptr_t) { return set(w); });
    dispatcher.add(Service::kSettingsWrite, [this](intptr_t w, intptr_t) { return write(w); });
    dispatcher.add(Service::kSettingsDestroy, [this](intptr_t w, intptr_t) { return destroy(w); });
}

size_t SettingsService::openHandles() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return open_.size();
}

intptr_t SettingsService::getMyConfigFile(intptr_t address)
{
    auto record = recordAt<ConfigPathRecord>(address);
    if (record == nullptr || record->buffer == nullptr || record->capacity == 0)
        return 0;
    // A path that does not fit would name another file: hand out nothing.
    if (configPath_.size() + 1 > record->capacity) {
        record->buffer[0] = L'\0';
        return 0;
    }
    wmemcpy(record->buffer, configPath_.c_str(), configPath_.size() + 1);
    return 1;
}

intptr_t SettingsService::init(intptr_t pathAddress)
{
    auto path = reinterpret_cast<const wchar_t*>(pathAddress);
    if (path == nullptr || *path == L'\0')
        return 0;
    auto open = std::make_unique<Open>(path);
    std::wstring error;
    if (!open->file.load(error)) {
        // Without a handle the plug-in runs without settings and writes nothing.
        report_(error + L"; the plug-in gets no settings and the file is left as it is");
        return 0;
    }
    std::lock_guard<std::mutex> hold(mutex_);
    const intptr_t handle = nextHandle_++;
    open_[handle] = std::move(open);
    return handle;
}

SettingsService::Open* SettingsService::find(intptr_t handle)
{
    auto found = open_.find(handle);
    return found != open_.end() ? found->second.get() : nullptr;
}

void SettingsService::reportOnce(Open& open, const std::wstring& problem)
{
    if (problem == open.lastProblem)
        return;
    open.lastProblem = problem;
    if (!problem.empty())
        report_(problem);
}

intptr_t SettingsService::read(intptr_t handle)
{
    std::lock_guard<std::mutex> hold(mutex_);
    Open* open = find(handle);
    if (open == nullptr)
        return 0;
    std::wstring error;
    const bool loaded = open->file.load(error);
    reportOnce(*open, loaded ? std::wstring() : error + L"; keeping the values read before");
    return loaded ? 1 : 0;
}

intptr_t SettingsService::get(intptr_t address)
{
    auto record = recordAt<SettingsValueRecord>(address);
    if (record == nullptr || record->key == nullptr || record->valueType != kSettingsTextValue || record->text == nullptr ||
        record->length == 0)
        return 0;
    std::lock_guard<std::mutex> hold(mutex_);
    Open* open = find(record->settings);
    if (open == nullptr)
        return 0;
    auto value = open->file.get(record->key);
    if (!value)
        return 0;
    // Like the messenger: copy what fits and always end with a NUL.
    const size_t count = std::min<size_t>(value->size(), record->length - 1);
    wmemcpy(record->text, value->c_str(), count);
    record->text[count] = L'\0';
    return 1;
}

intptr_t SettingsService::set(intptr_t address)
{
    auto record = recordAt<SettingsValueRecord>(address);
    if (record == nullptr || record->key == nullptr || record->valueType != kSettingsTextValue)
        return 0;
    const std::wstring value = record->text ? std::wstring(record->text, record->length) : std::wstring();
    std::lock_guard<std::mutex> hold(mutex_);
    Open* open = find(record->settings);
    if (open == nullptr)
        return 0;
    open->file.set(record->key, value);
    return 1;
}

intptr_t SettingsService::write(intptr_t handle)
{
    std::lock_guard<std::mutex> hold(mutex_);
    Open* open = find(handle);
    if (open == nullptr)
        return 0;
    std::wstring error;
    if (!open->file.save(error)) {
        report_(error);
        return 0;
    }
    return 1;
}

intptr_t SettingsService::destroy(intptr_t handle)
{
    std::lock_guard<std::mutex> hold(mutex_);
    return open_.erase(handle) > 0 ? 1 : 0;
}

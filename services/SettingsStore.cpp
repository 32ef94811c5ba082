#include "services/SettingsStore.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "host/HostProtocol.h"

namespace {

constexpr uint32_t kFirstReadChars = 4096;
// A feed list this long is no longer a list anyone typed; stop growing there.
constexpr uint32_t kMaxReadChars = 1u << 22;

intptr_t asParam(const void* record)
{
    return reinterpret_cast<intptr_t>(record);
}

} // namespace

intptr_t SettingsStore::handle() const
{
    return settings_.load();
}

// One "WTW/Settings/Get" into a zeroed buffer; false when the host has no value.
bool SettingsStore::getValue(const wchar_t* key, intptr_t settings, wchar_t* buffer, uint32_t capacity) const
{
    std::fill(buffer, buffer + capacity, L'\0');
    SettingsValueRecord record;
    record.key = key;
    record.valueType = kSettingsTextValue;
    record.text = buffer;
    record.length = capacity;
    record.settings = settings;
    return callHost(host_.load(), Service::kSettingsGet, asParam(&record), 0) != 0;
}

void SettingsStore::open(const HostApi* host, void* module)
{
    if (settings_.load() != 0)
        return;
    host_ = host;
    module_ = reinterpret_cast<intptr_t>(module);
    std::vector<wchar_t> path(kConfigPathChars, L'\0');
    ConfigPathRecord record;
    record.buffer = path.data();
    record.capacity = kConfigPathChars;
    callHost(host, Service::kSettingsGetMyConfigFile, asParam(&record), module_.load());
    path.back() = L'\0'; // whatever the host wrote, the path ends inside our buffer
    configFile_ = path.data();
    settings_ = callHost(host, Service::kSettingsInit, asParam(path.data()), module_.load());
}

std::wstring SettingsStore::read(const wchar_t* key) const
{
    const intptr_t settings = settings_.load();
    if (settings == 0)
        return std::wstring();
    callHost(host_.load(), Service::kSettingsRead, settings, 0);

    // A host cuts a value to the buffer it is given; a full buffer means the
    // list may be longer, and saving a cut list would lose the user's feeds.
    std::vector<wchar_t> buffer(kFirstReadChars);
    for (;;) {
        if (!getValue(key, settings, buffer.data(), static_cast<uint32_t>(buffer.size())))
            return std::wstring();
        const size_t length = wcsnlen(buffer.data(), buffer.size());
        if (length + 1 < buffer.size() || buffer.size() >= kMaxReadChars)
            return std::wstring(buffer.data(), std::min(length, buffer.size() - 1));
        buffer.resize(buffer.size() * 2);
    }
}

intptr_t SettingsStore::writeFeeds(const std::wstring& text) const
{
    const intptr_t settings = settings_.load();
    if (settings == 0)
        return 0;
    const HostApi* host = host_.load();
    SettingsValueRecord record;
    record.key = kFeedsKey;
    record.valueType = kSettingsTextValue;
    record.text = const_cast<wchar_t*>(text.c_str());
    record.length = static_cast<uint32_t>(text.size());
    record.settings = settings;
    callHost(host, Service::kSettingsSet, asParam(&record), 0);
    return callHost(host, Service::kSettingsWrite, settings, 0);
}

void SettingsStore::close()
{
    const intptr_t settings = settings_.exchange(0);
    if (settings != 0)
        callHost(host_.load(), Service::kSettingsDestroy, settings, module_.load());
}

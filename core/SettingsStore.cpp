#include "core/SettingsStore.h"

#include <atomic>
#include <cwchar>
#include <vector>

#include "core/HostRecords.h"
#include "core/Plugin.h"

const wchar_t* const kFeedsKey = L"cfg/quillFeed/feeds";

namespace {

constexpr uint32_t kValueTypeText = 3;
constexpr uint32_t kConfigPathChars = 261;
constexpr uint32_t kFirstReadChars = 4096;
// A feed list this long is no longer a list anyone typed; stop growing there.
constexpr uint32_t kMaxReadChars = 1u << 22;

std::atomic<intptr_t> g_settings{0};

intptr_t moduleHandle()
{
    return reinterpret_cast<intptr_t>(Plugin::instance().module);
}

// One "WTW/Settings/Get" into a zeroed buffer; nullopt when the host has no value.
bool getValue(const wchar_t* key, intptr_t settings, std::vector<wchar_t>& buffer)
{
    std::fill(buffer.begin(), buffer.end(), L'\0');
    SettingsValueRecord record;
    record.key = key;
    record.valueType = kValueTypeText;
    record.text = buffer.data();
    record.length = static_cast<uint32_t>(buffer.size());
    record.settings = settings;
    return callHost(Plugin::instance().host, L"WTW/Settings/Get", reinterpret_cast<intptr_t>(&record), 0) != 0;
}

} // namespace

namespace SettingsStore {

intptr_t handle()
{
    return g_settings.load();
}

void open()
{
    if (g_settings.load() != 0)
        return;
    const HostApi* host = Plugin::instance().host;
    std::vector<wchar_t> path(kConfigPathChars, L'\0');
    ConfigPathRecord record;
    record.buffer = path.data();
    record.capacity = kConfigPathChars;
    callHost(host, L"WTW/Settings/GetMyConfigFile", reinterpret_cast<intptr_t>(&record), moduleHandle());
    path.back() = L'\0'; // whatever the host wrote, the path ends inside our buffer
    g_settings = callHost(host, L"WTW/Settings/Init", reinterpret_cast<intptr_t>(path.data()), moduleHandle());
}

std::wstring read(const wchar_t* key)
{
    const intptr_t settings = g_settings.load();
    if (settings == 0)
        return std::wstring();
    callHost(Plugin::instance().host, L"WTW/Settings/Read", settings, 0);

    // A host cuts a value to the buffer it is given; a full buffer means the
    // list may be longer, and saving a cut list would lose the user's feeds.
    std::vector<wchar_t> buffer(kFirstReadChars);
    for (;;) {
        if (!getValue(key, settings, buffer))
            return std::wstring();
        const size_t length = wcsnlen(buffer.data(), buffer.size());
        if (length + 1 < buffer.size() || buffer.size() >= kMaxReadChars)
            return std::wstring(buffer.data(), std::min(length, buffer.size() - 1));
        buffer.resize(buffer.size() * 2);
    }
}

intptr_t writeFeeds(const std::wstring& text)
{
    const intptr_t settings = g_settings.load();
    if (settings == 0)
        return 0;
    const HostApi* host = Plugin::instance().host;
    SettingsValueRecord record;
    record.key = kFeedsKey;
    record.valueType = kValueTypeText;
    record.text = const_cast<wchar_t*>(text.c_str());
    record.length = static_cast<uint32_t>(text.size());
    record.settings = settings;
    callHost(host, L"WTW/Settings/Set", reinterpret_cast<intptr_t>(&record), 0);
    return callHost(host, L"WTW/Settings/Write", settings, 0);
}

void close()
{
    const intptr_t settings = g_settings.exchange(0);
    if (settings != 0)
        callHost(Plugin::instance().host, L"WTW/Settings/Destroy", settings, moduleHandle());
}

} // namespace SettingsStore

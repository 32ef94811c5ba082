#include "RecordingHost.h"

#include <cstring>

#include "host/HostRecords.h"

namespace {

RecordingHost* g_active = nullptr;
std::mutex g_activeMutex;

struct ServiceShape {
    const wchar_t* name;
    bool recordInLParam;
    std::vector<size_t> textOffsets;
};

const std::vector<ServiceShape>& shapes()
{
    static const std::vector<ServiceShape> known = {
        {L"WTW/Graph/Load", false, {8}},
        {L"WTW/AddOptionsPage", true, {8, 16, 24, 48}},
        {L"WTW/PanelAdd", false, {16, 32, 40}},
        {L"WTW/PanelDel", false, {16, 32, 40}},
        {L"WTW/Timer/Create", false, {8}},
        {L"WTW/Settings/GetMyConfigFile", false, {}},
        {L"WTW/Settings/Get", false, {8}},
        {L"WTW/Settings/Set", false, {8}},
        {L"WTW/Log", false, {8, 16}},
        {L"WTW/ShowStandardNotify", false, {8, 16, 32}},
        {L"News/AddEntry", false, {8, 16, 40, 48, 56}},
    };
    return known;
}

const ServiceShape* shapeOf(const std::wstring& service)
{
    for (const auto& shape : shapes())
        if (service == shape.name)
            return &shape;
    return nullptr;
}

std::optional<std::wstring> textAt(const uint8_t* record, size_t offset)
{
    const wchar_t* text = nullptr;
    memcpy(&text, record + offset, sizeof text);
    if (text == nullptr)
        return std::nullopt;
    return std::wstring(text);
}

} // namespace

std::wstring RecordedCall::text(size_t offset) const
{
    auto it = texts.find(offset);
    return it != texts.end() && it->second ? *it->second : std::wstring();
}

bool RecordedCall::isNullText(size_t offset) const
{
    auto it = texts.find(offset);
    return it == texts.end() || !it->second;
}

RecordingHost::RecordingHost()
{
    table_.callService = &RecordingHost::dispatch;
    std::lock_guard<std::mutex> hold(g_activeMutex);
    g_active = this;
}

RecordingHost::~RecordingHost()
{
    std::lock_guard<std::mutex> hold(g_activeMutex);
    if (g_active == this)
        g_active = nullptr;
}

intptr_t RecordingHost::dispatch(const wchar_t* service, intptr_t wParam, intptr_t lParam)
{
    RecordingHost* host;
    {
        std::lock_guard<std::mutex> hold(g_activeMutex);
        host = g_active;
    }
    if (host == nullptr)
        return 0;
    RecordedCall call;
    call.service = service ? service : L"";
    call.threadId = GetCurrentThreadId();
    call.wParam = wParam;
    call.lParam = lParam;
    if (const ServiceShape* shape = shapeOf(call.service)) {
        auto record = reinterpret_cast<const uint8_t*>(shape->recordInLParam ? lParam : wParam);
        if (record != nullptr) {
            uint32_t size = 0;
            memcpy(&size, record, sizeof size);
            call.record.assign(record, record + size);
            for (size_t offset : shape->textOffsets)
                if (offset + sizeof(void*) <= size)
                    call.texts[offset] = textAt(record, offset);
        }
    }
    if (call.service == L"WTW/RemoveOptionsPage" && lParam != 0)
        call.textArgument = reinterpret_cast<const wchar_t*>(lParam);
    if ((call.service == L"WTW/Timer/Destroy" || call.service == L"WTW/Settings/Init") && wParam != 0)
        call.textArgument = reinterpret_cast<const wchar_t*>(wParam);
    if (call.service == L"WTW/Settings/Set" && call.record.size() >= sizeof(SettingsValueRecord)) {
        // The value is given with its length; keep exactly that many characters.
        auto set = reinterpret_cast<const SettingsValueRecord*>(wParam);
        call.texts[24] = std::wstring(set->text ? set->text : L"", set->text ? set->length : 0);
    }
    return host->handle(std::move(call));
}

intptr_t RecordingHost::handle(RecordedCall call)
{
    intptr_t result = 0;
    std::function<std::optional<intptr_t>(const RecordedCall&)> responder;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        result = answerSettings(call, call.wParam);
        if (call.service == L"WTW/GetThemeColor") {
            auto it = themeColors_.find(call.wParam);
            result = it != themeColors_.end() ? it->second : 0;
        }
        calls_.push_back(call);
        responder = responder_;
    }
    changed_.notify_all();
    if (responder)
        if (auto answer = responder(call))
            result = *answer;
    return result;
}

intptr_t RecordingHost::answerSettings(const RecordedCall& call, intptr_t wParam)
{
    if (call.service == L"WTW/Settings/GetMyConfigFile") {
        auto record = reinterpret_cast<ConfigPathRecord*>(wParam);
        const std::wstring path = configPath_; // under the lock already
        if (record && record->buffer && record->capacity > 0) {
            size_t n = std::min<size_t>(path.size(), record->capacity - 1);
            wmemcpy(record->buffer, path.c_str(), n);
            record->buffer[n] = L'\0';
        }
        return 1;
    }
    if (call.service == L"WTW/Settings/Init")
        return settingsHandle_;
    if (call.service == L"WTW/Settings/Get") {
        auto record = reinterpret_cast<SettingsValueRecord*>(wParam);
        auto it = values_.find(call.text(8));
        if (it == values_.end() || !record || !record->text || record->length == 0)
            return 0;
        // Like a real host: copy what fits, always terminated.
        size_t n = std::min<size_t>(it->second.size(), record->length - 1);
        wmemcpy(record->text, it->second.c_str(), n);
        record->text[n] = L'\0';
        return 1;
    }
    if (call.service == L"WTW/Settings/Set") {
        values_[call.text(8)] = call.text(24);
        return 1;
    }
    return 0;
}

std::vector<RecordedCall> RecordingHost::calls() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return calls_;
}

std::vector<RecordedCall> RecordingHost::callsTo(const std::wstring& service) const
{
    std::vector<RecordedCall> found;
    for (auto& call : calls())
        if (call.service == service)
            found.push_back(call);
    return found;
}

std::vector<std::wstring> RecordingHost::serviceNames(size_t from) const
{
    const auto recorded = calls();
    std::vector<std::wstring> names;
    for (size_t i = from; i < recorded.size(); ++i)
        names.push_back(recorded[i].service);
    return names;
}

HostCallback RecordingHost::registeredCallback(const std::wstring& service, size_t offset) const
{
    const auto registrations = callsTo(service);
    return registrations.empty() ? nullptr
                                 : reinterpret_cast<HostCallback>(registrations.back().field<intptr_t>(offset));
}

size_t RecordingHost::count(const std::wstring& service) const
{
    return callsTo(service).size();
}

void RecordingHost::clearCalls()
{
    std::lock_guard<std::mutex> hold(mutex_);
    calls_.clear();
}

bool RecordingHost::waitUntil(const std::function<bool(const std::vector<RecordedCall>&)>& done,
                              std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> hold(mutex_);
    return changed_.wait_for(hold, timeout, [&] { return done(calls_); });
}

void RecordingHost::setSettingsHandle(intptr_t handle)
{
    std::lock_guard<std::mutex> hold(mutex_);
    settingsHandle_ = handle;
}

void RecordingHost::setValue(const std::wstring& key, const std::wstring& value)
{
    std::lock_guard<std::mutex> hold(mutex_);
    values_[key] = value;
}

void RecordingHost::eraseValue(const std::wstring& key)
{
    std::lock_guard<std::mutex> hold(mutex_);
    values_.erase(key);
}

std::wstring RecordingHost::configPath() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return configPath_;
}

void RecordingHost::setConfigPath(std::wstring path)
{
    std::lock_guard<std::mutex> hold(mutex_);
    configPath_ = std::move(path);
}

std::optional<std::wstring> RecordingHost::value(const std::wstring& key) const
{
    std::lock_guard<std::mutex> hold(mutex_);
    auto it = values_.find(key);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

void RecordingHost::setThemeColor(intptr_t index, intptr_t color)
{
    std::lock_guard<std::mutex> hold(mutex_);
    themeColors_[index] = color;
}

void RecordingHost::setResponder(std::function<std::optional<intptr_t>(const RecordedCall&)> responder)
{
    std::lock_guard<std::mutex> hold(mutex_);
    responder_ = std::move(responder);
}

#include "devhost/PluginModule.h"

#include <cstring>

namespace {

std::wstring systemMessage(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 && text ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return L"error " + std::to_wstring(code) + (message.empty() ? L"" : L": " + message);
}

// The identity record: its size, then pointers to wide texts at fixed offsets.
std::wstring textAt(const void* record, size_t offset)
{
    const wchar_t* text = nullptr;
    memcpy(&text, static_cast<const char*>(record) + offset, sizeof text);
    return text ? std::wstring(text) : std::wstring();
}

constexpr size_t kNameOffset = 8;
constexpr size_t kDescriptionOffset = 16;
constexpr size_t kGuidOffset = 96;
constexpr uint32_t kInfoSize = 128;

} // namespace

PluginModule::~PluginModule()
{
    close();
}

bool PluginModule::open(const std::wstring& path, std::wstring& error)
{
    close();
    module_ = LoadLibraryW(path.c_str());
    if (module_ == nullptr) {
        error = L"cannot load " + path + L" (" + systemMessage(GetLastError()) + L")";
        return false;
    }
    query_ = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(module_, "queryPlugInfo")));
    load_ = reinterpret_cast<LoadFn>(reinterpret_cast<void*>(GetProcAddress(module_, "pluginLoad")));
    unload_ = reinterpret_cast<UnloadFn>(reinterpret_cast<void*>(GetProcAddress(module_, "pluginUnload")));
    if (query_ == nullptr || load_ == nullptr || unload_ == nullptr) {
        error = path + L" is not a plug-in: it lacks queryPlugInfo, pluginLoad or pluginUnload";
        close();
        return false;
    }
    return true;
}

PluginIdentity PluginModule::identity() const
{
    PluginIdentity identity;
    const void* info = query_ ? query_() : nullptr;
    uint32_t size = 0;
    if (info != nullptr)
        memcpy(&size, info, sizeof size);
    if (size < kInfoSize)
        return identity;
    identity.name = textAt(info, kNameOffset);
    identity.description = textAt(info, kDescriptionOffset);
    identity.guid = textAt(info, kGuidOffset);
    return identity;
}

int PluginModule::load(const HostApi* host)
{
    return load_ ? load_(0, host) : -1;
}

int PluginModule::unload()
{
    return unload_ ? unload_() : -1;
}

void PluginModule::close()
{
    if (module_ != nullptr)
        FreeLibrary(module_);
    abandon();
}

void PluginModule::abandon()
{
    module_ = nullptr;
    query_ = nullptr;
    load_ = nullptr;
    unload_ = nullptr;
}

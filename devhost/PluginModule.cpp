#include "devhost/PluginModule.h"

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

std::wstring textOf(const wchar_t* text)
{
    return text ? std::wstring(text) : std::wstring();
}

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
    query_ = reinterpret_cast<QueryPlugInfoFn>(reinterpret_cast<void*>(GetProcAddress(module_, kQueryPlugInfoExport)));
    load_ = reinterpret_cast<PluginLoadFn>(reinterpret_cast<void*>(GetProcAddress(module_, kPluginLoadExport)));
    unload_ = reinterpret_cast<PluginUnloadFn>(reinterpret_cast<void*>(GetProcAddress(module_, kPluginUnloadExport)));
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
    const PluginInfo* info = query_ ? query_() : nullptr;
    if (info == nullptr || info->size < sizeof(PluginInfo))
        return identity;
    identity.name = textOf(info->name);
    identity.description = textOf(info->description);
    identity.guid = textOf(info->guid);
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

#include "PluginLibrary.h"

#include "TestPaths.h"

namespace {

template <typename Fn>
Fn exportOf(HMODULE module, const char* name)
{
    return module == nullptr ? nullptr : reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

PluginLibrary::PluginLibrary() : path_(dllPath()), module_(LoadLibraryW(path_.c_str()))
{
    load_ = exportOf<decltype(load_)>(module_, "pluginLoad");
    unload_ = exportOf<decltype(unload_)>(module_, "pluginUnload");
}

PluginLibrary::~PluginLibrary()
{
    if (module_ != nullptr)
        FreeLibrary(module_);
}

bool PluginLibrary::release()
{
    const bool freed = module_ != nullptr && FreeLibrary(module_);
    module_ = nullptr;
    load_ = nullptr;
    unload_ = nullptr;
    return freed;
}

#include "devhost/LookService.h"

#include "host/HostProtocol.h"

namespace {

std::string resourceBytes(HMODULE module, intptr_t id)
{
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    return data && size > 0 ? std::string(static_cast<const char*>(data), size) : std::string();
}

} // namespace

void LookService::install(ServiceDispatcher& dispatcher)
{
    dispatcher.add(Service::kGraphLoad, [this](intptr_t w, intptr_t) { return loadImage(w); });
    dispatcher.add(Service::kGetThemeColor, [](intptr_t w, intptr_t) { return themeColor(w); });
}

intptr_t LookService::loadImage(intptr_t address)
{
    auto record = recordAt<const ImageLoadRecord>(address);
    if (record == nullptr || record->imageId == nullptr)
        return 0;
    LoadedImage image;
    image.module = static_cast<HMODULE>(record->module);
    image.resourceId = record->resourceId;
    image.png = resourceBytes(image.module, image.resourceId);
    std::lock_guard<std::mutex> hold(mutex_);
    images_[record->imageId] = image;
    return image.png.empty() ? 0 : 1;
}

bool LookService::image(const std::wstring& id, LoadedImage& found) const
{
    std::lock_guard<std::mutex> hold(mutex_);
    auto it = images_.find(id);
    if (it == images_.end())
        return false;
    found = it->second;
    return true;
}

intptr_t LookService::themeColor(intptr_t index)
{
    if (index == kThemeIndexText)
        return kThemeTextColor;
    if (index == kThemeIndexBackground)
        return kThemeBackgroundColor;
    return 0;
}

HICON iconFromPng(const std::string& png, int size)
{
    if (png.empty())
        return nullptr;
    // Icon resources may hold PNG data; this call accepts the bytes as they are.
    auto bytes = reinterpret_cast<PBYTE>(const_cast<char*>(png.data()));
    return CreateIconFromResourceEx(bytes, static_cast<DWORD>(png.size()), TRUE, 0x00030000, size, size,
                                    LR_DEFAULTCOLOR);
}

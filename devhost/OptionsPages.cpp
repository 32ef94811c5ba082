#include "devhost/OptionsPages.h"

#include <cstring>
#include <cwchar>
#include <memory>

#include "host/HostProtocol.h"

void OptionsPages::install(ServiceDispatcher& dispatcher)
{
    dispatcher.add(Service::kAddOptionsPage, [this](intptr_t w, intptr_t l) { return add(w, l); });
    dispatcher.add(Service::kRemoveOptionsPage, [this](intptr_t w, intptr_t) { return remove(w); });
}

intptr_t OptionsPages::add(intptr_t module, intptr_t address)
{
    auto record = recordAt<const OptionsPageRecord>(address);
    if (record == nullptr || record->pageId == nullptr || record->callback == nullptr)
        return 0;
    OptionsPageInfo page;
    page.module = reinterpret_cast<HMODULE>(module);
    page.id = record->pageId;
    page.group = record->parentGroupId ? record->parentGroupId : L"";
    page.caption = record->caption ? record->caption : L"";
    page.callback = record->callback;
    page.data = record->callbackData;
    pages_.push_back(page);
    return 1;
}

// Pages are removed by their module; the second argument is the plug-in's GUID.
intptr_t OptionsPages::remove(intptr_t module)
{
    const size_t before = pages_.size();
    for (auto it = pages_.begin(); it != pages_.end();)
        it = it->module == reinterpret_cast<HMODULE>(module) ? pages_.erase(it) : it + 1;
    return before != pages_.size() ? 1 : 0;
}

OptionsPageSession::OptionsPageSession(OptionsPageInfo page, HWND parent, const RECT& area)
    : page_(std::move(page)), parent_(parent), area_(area)
{
}

void OptionsPageSession::send(int32_t code)
{
    auto event = std::make_unique<OptionsPageEvent>(); // over 1 KiB: not on the stack of a dialog procedure
    memset(event.get(), 0, sizeof(OptionsPageEvent));
    const uint32_t size = sizeof(OptionsPageEvent);
    memcpy(event->hostData, &size, sizeof size);
    event->code = code;
    event->parent = parent_;
    event->x = area_.left;
    event->y = area_.top;
    event->width = area_.right - area_.left;
    event->height = area_.bottom - area_.top;
    page_.callback(reinterpret_cast<intptr_t>(event.get()), 0, page_.data);
    caption_.assign(event->caption, wcsnlen(event->caption, kOptionsCaptionChars));
    hint_.assign(event->hint, wcsnlen(event->hint, kOptionsHintChars));
}

HWND OptionsPageSession::editor() const
{
    return FindWindowExW(parent_, nullptr, L"Edit", nullptr);
}

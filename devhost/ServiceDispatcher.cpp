#include "devhost/ServiceDispatcher.h"

#include <atomic>
#include <stdexcept>

namespace {
std::atomic<ServiceDispatcher*> g_active{nullptr};
}

ServiceDispatcher::ServiceDispatcher(UnknownHandler unknown) : unknown_(std::move(unknown))
{
    table_.api.callService = &ServiceDispatcher::callService;
    ServiceDispatcher* expected = nullptr;
    if (!g_active.compare_exchange_strong(expected, this))
        throw std::logic_error("only one host may run in a process");
}

ServiceDispatcher::~ServiceDispatcher()
{
    ServiceDispatcher* expected = this;
    g_active.compare_exchange_strong(expected, nullptr);
}

void ServiceDispatcher::add(const std::wstring& service, ServiceHandler handler)
{
    handlers_[service] = std::move(handler);
}

intptr_t ServiceDispatcher::callService(const wchar_t* service, intptr_t wParam, intptr_t lParam)
{
    ServiceDispatcher* active = g_active.load();
    return active ? active->call(service, wParam, lParam) : 0;
}

intptr_t ServiceDispatcher::call(const wchar_t* service, intptr_t wParam, intptr_t lParam)
{
    const std::wstring name = service ? service : L"";
    auto found = handlers_.find(name);
    if (found != handlers_.end())
        return found->second(wParam, lParam);
    bool first = false;
    {
        std::lock_guard<std::mutex> hold(unknownMutex_);
        first = reported_.insert(name).second;
    }
    if (first && unknown_)
        unknown_(name);
    return 0;
}

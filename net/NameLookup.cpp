#include "net/NameLookup.h"

#include <cstring>
#include <memory>

#include "base/ModuleRef.h"
#include "base/RSSException.h"
#include "base/UniqueHandle.h"
#include "net/WinsockSession.h"

namespace {

constexpr DWORD kSliceMs = 100; // how late a cancel may be seen

// Shared by the fetch and the lookup thread; the last of them frees it.
struct Lookup {
    std::string host;
    UniqueHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    in_addr address{};
    const wchar_t* failure = nullptr; // null once an address was found
    int error = 0;
};

[[noreturn]] void fail(const wchar_t* message, int code)
{
    throw RSS::NetException(message, code);
}

// gethostbyname, as the fetch has always resolved; its result lives in this
// thread's own storage, so it is copied out at once.
void resolve(Lookup& lookup)
{
    const hostent* entry = gethostbyname(lookup.host.c_str());
    if (entry == nullptr || entry->h_addr_list[0] == nullptr) {
        lookup.failure = L"Could not resolve host name";
    } else if (entry->h_addrtype != AF_INET || entry->h_length != sizeof(in_addr)) {
        lookup.failure = L"Received host adress is not in IPv4 format";
    } else {
        memcpy(&lookup.address, entry->h_addr_list[0], sizeof lookup.address);
        return;
    }
    lookup.error = WSAGetLastError();
}

DWORD WINAPI lookupThread(LPVOID parameter)
{
    {
        const std::unique_ptr<std::shared_ptr<Lookup>> handedOver(static_cast<std::shared_ptr<Lookup>*>(parameter));
        Lookup& lookup = **handedOver;
        try {
            WinsockSession session; // the fetch's own may end before this lookup
            resolve(lookup);
        } catch (...) {
            lookup.failure = L"Could not resolve host name";
            lookup.error = WSANOTINITIALISED;
        }
        SetEvent(lookup.done.get());
    }
    ModuleRef::releaseAndExitThread(0);
}

// Starts the thread; false when it could not be started (nothing is left behind).
bool startLookup(const std::shared_ptr<Lookup>& lookup)
{
    HMODULE module = ModuleRef::acquire();
    if (module == nullptr)
        return false;
    auto* handedOver = new std::shared_ptr<Lookup>(lookup);
    UniqueHandle thread(CreateThread(nullptr, 0, &lookupThread, handedOver, 0, nullptr));
    if (!thread) {
        delete handedOver;
        ModuleRef::release(module);
        return false;
    }
    return true;
}

// A lookup that is done is taken even when the time is up: the look comes first.
void awaitLookup(const Lookup& lookup, uint64_t until, const FetchControl& control)
{
    for (;;) {
        control.throwIfCancelled();
        const uint64_t now = GetTickCount64();
        const DWORD wait = now >= until ? 0 : static_cast<DWORD>(until - now < kSliceMs ? until - now : kSliceMs);
        if (WaitForSingleObject(lookup.done.get(), wait) == WAIT_OBJECT_0)
            return;
        if (GetTickCount64() >= until)
            fail(L"Could not resolve host name", WSAETIMEDOUT);
    }
}

} // namespace

in_addr lookUpHost(const std::string& host, uint64_t until, const FetchControl& control)
{
    auto lookup = std::make_shared<Lookup>();
    lookup->host = host;
    if (!lookup->done || !startLookup(lookup))
        resolve(*lookup); // no thread to spare: the lookup waits as it always did
    else
        awaitLookup(*lookup, until, control);
    if (lookup->failure != nullptr)
        fail(lookup->failure, lookup->error);
    return lookup->address;
}

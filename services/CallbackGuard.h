#pragma once
// The one guard around every host callback and thread body: nothing the body
// throws reaches the host or ends the process; what it swallows goes to the
// host log, and the caller gets the result the host expects on failure.
#include <exception>
#include <memory>
#include <utility>

class HostLink;

// Writes "<where>: <what>" to the log of `link`'s load while it is open;
// nowhere when there is no link (before the first load).
void logSwallowed(const HostLink* link, const wchar_t* where, const char* what) noexcept;

// `linkOf` names the link to log through once something was swallowed.
template <typename LinkOf, typename Result, typename Body>
Result guardedLogging(LinkOf&& linkOf, const wchar_t* where, Result onFailure, Body&& body) noexcept
{
    try {
        return std::forward<Body>(body)();
    } catch (const std::exception& error) {
        logSwallowed(linkOf(), where, error.what());
    } catch (...) {
        logSwallowed(linkOf(), where, "unknown exception");
    }
    return onFailure;
}

template <typename Result, typename Body>
Result guarded(const HostLink* link, const wchar_t* where, Result onFailure, Body&& body) noexcept
{
    return guardedLogging([link] { return link; }, where, onFailure, std::forward<Body>(body));
}

// For a body that replaces the link (load makes its own): the one it left.
template <typename Result, typename Body>
Result guarded(const std::shared_ptr<HostLink>& link, const wchar_t* where, Result onFailure, Body&& body) noexcept
{
    return guardedLogging([&link] { return static_cast<const HostLink*>(link.get()); }, where, onFailure,
                          std::forward<Body>(body));
}

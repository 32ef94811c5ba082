#include <windows.h>

#include <optional>

#include "devhost/Console.h"
#include "devhost/FeedList.h"
#include "devhost/Modes.h"
#include "devhost/PanelFrame.h"
#include "devhost/Report.h"
#include "devhost/Startup.h"
#include "host/HostProtocol.h"

namespace {

const RECT kPanelArea{0, 0, 360, 600};

void printHeader(const DevHost& host, const std::wstring& dll)
{
    const PluginIdentity identity = host.identity();
    std::wstring text = L"Plug-in: " + identity.name + L" (" + identity.description + L") " + identity.guid + L"\n" +
                        L"Library: " + dll + L"\n" + L"Configuration: " + host.configPath() + L"\n";
    std::optional<std::wstring> list;
    std::wstring error;
    host.readFeedList(list, error);
    if (!list) {
        Console::out(text + L"Feed list: none stored (give addresses or --feeds FILE)\n");
        return;
    }
    const std::vector<std::wstring> lines = splitFeedList(*list);
    text += L"Feed list (" + Report::counted(lines.size(), L"line") + L"):\n";
    for (const std::wstring& line : lines)
        text += L"  " + line + L"\n";
    Console::out(text);
}

void printResults(DevHost& host)
{
    HostEvents& events = host.events();
    Console::out(L"\n" + Report::notifications(events.notifications()) + L"\n" +
                 Report::newsEntries(events.newsEntries()) + L"\n" +
                 Report::panel(host.panels().caption(), host.panels().outline()));
}

} // namespace

int runOnce(const CommandLine& options)
{
    const ResolvedPaths paths = resolvePaths(options);
    DevHost host({paths.config, TimerService::Mode::Manual, reportProblem});
    LogOutput log(!options.quietLog, options.logFile);
    if (const int failed = prepareHost(options, host, log))
        return failed;

    // Headless: the panel still needs a window, hidden, for its tree view.
    WindowHandle frame = createPanelFrame(nullptr, kPanelArea);
    host.panels().attach(frame.get(), kPanelArea);
    std::wstring error;
    if (!host.load(paths.dll, error)) {
        reportProblem(error);
        return kExitNoPlugin;
    }
    printHeader(host, paths.dll);

    const bool notify = !options.silent;
    const ULONGLONG started = GetTickCount64();
    const bool ended = host.refresh(notify, options.timeoutMs);
    const ULONGLONG took = GetTickCount64() - started;
    Console::out(std::wstring(notify ? L"Notifying" : L"Silent") + L" refresh " +
                 (ended ? L"ended after " + std::to_wstring(took) + L" ms\n"
                        : L"did not end within " + std::to_wstring(options.timeoutMs) + L" ms\n"));
    printResults(host);
    host.unload();
    if (!ended)
        reportProblem(L"the refresh did not end within " + std::to_wstring(options.timeoutMs) + L" ms");
    return ended ? kExitOk : kExitRefreshTimeout;
}

#include <windows.h>

#include "devhost/MainWindow.h"
#include "devhost/Modes.h"
#include "devhost/Startup.h"

int runInteractive(const CommandLine& options)
{
    const ResolvedPaths paths = resolvePaths(options);
    DevHost host({paths.config, TimerService::Mode::Running, reportProblem});
    LogOutput log(!options.quietLog, options.logFile);
    if (const int failed = prepareHost(options, host, log)) {
        MessageBoxW(nullptr, L"The devhost cannot start; standard error says why.", L"quillFeed devhost",
                    MB_ICONERROR | MB_OK);
        return failed;
    }
    MainWindow window(host);
    std::wstring error;
    if (!window.create(error)) {
        reportProblem(error);
        return kExitUsage;
    }
    host.events().setListener([&log, &window](const HostEvent& event) {
        if (event.kind == HostEvent::Kind::Log)
            log.write(event.log);
        window.eventArrived();
    });
    // The panel's place is known before load: the timer's first refresh
    // already fills it.
    host.panels().attach(window.panelFrame(), window.panelRect());
    if (!host.load(paths.dll, error)) {
        reportProblem(error);
        MessageBoxW(nullptr, error.c_str(), L"quillFeed devhost", MB_ICONERROR | MB_OK);
        return kExitNoPlugin;
    }
    window.show();
    const int result = window.runMessageLoop();
    host.events().setListener(nullptr);
    host.unload();
    return result;
}

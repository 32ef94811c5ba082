#include "devhost/Startup.h"

#include "devhost/Console.h"
#include "devhost/FeedList.h"
#include "host/HostProtocol.h"

namespace {

// The path must fit the plug-in's buffer with its NUL.
constexpr size_t kMaxConfigPath = kConfigPathChars - 1;

int storeFeeds(const CommandLine& options, DevHost& host)
{
    std::vector<std::wstring> addresses = options.addresses;
    std::wstring error;
    if (!options.feedsFile.empty() && !FeedList::readFile(absolutePath(options.feedsFile), addresses, error)) {
        reportProblem(error);
        return kExitUsage;
    }
    if (options.feedsFile.empty() && addresses.empty())
        return kExitOk; // keep the stored list
    if (!host.storeFeedList(FeedList::join(addresses), error)) {
        reportProblem(error);
        return kExitConfig;
    }
    return kExitOk;
}

} // namespace

void reportProblem(const std::wstring& problem)
{
    Console::err(L"devhost: " + problem + L"\n");
}

ResolvedPaths resolvePaths(const CommandLine& options)
{
    ResolvedPaths paths;
    paths.config = options.configPath.empty() ? defaultConfigPath() : absolutePath(options.configPath);
    paths.dll = options.dllPath.empty() ? defaultDllPath() : absolutePath(options.dllPath);
    return paths;
}

int prepareHost(const CommandLine& options, DevHost& host, LogOutput& log)
{
    std::wstring error;
    if (!log.ready(error)) {
        reportProblem(error);
        return kExitUsage;
    }
    if (host.configPath().size() > kMaxConfigPath) {
        reportProblem(L"the configuration path is longer than the plug-in's 260 characters: " + host.configPath());
        return kExitConfig;
    }
    if (!host.checkConfig(error)) {
        reportProblem(error);
        reportProblem(L"the file was left as it is; repair or remove it, or choose another with --config");
        return kExitConfig;
    }
    host.events().setListener([&log](const HostEvent& event) {
        if (event.kind == HostEvent::Kind::Log)
            log.write(event.log);
    });
    return storeFeeds(options, host);
}

#pragma once
// What both modes do before the plug-in is loaded: check the configuration
// file, store a feed list given on the command line, route log lines.
#include <string>

#include "devhost/CommandLine.h"
#include "devhost/DevHost.h"
#include "devhost/LogOutput.h"

struct ResolvedPaths {
    std::wstring config;
    std::wstring dll;
};

ResolvedPaths resolvePaths(const CommandLine& options);
// Prints the reason and returns a non-zero exit code when the host cannot start.
int prepareHost(const CommandLine& options, DevHost& host, LogOutput& log);
void reportProblem(const std::wstring& problem);

#pragma once
// The two ways the devhost runs; each returns the process exit code.
#include "devhost/CommandLine.h"

int runOnce(const CommandLine& options);
int runInteractive(const CommandLine& options);

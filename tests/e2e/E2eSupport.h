#pragma once
// Helpers of the end-to-end tests: the sample feeds and
// devhost.exe run as a child process with its output captured.
#include <windows.h>

#include <string>
#include <vector>

#include "ScratchFolder.h"

// The bytes of a file in the repository's samples/ folder.
std::string sampleBytes(const std::string& name);
std::wstring devhostPath();

struct ChildResult {
    bool finished = false; // false: killed after the time limit
    DWORD exitCode = 0;
    std::wstring out;
    std::wstring err;
    DWORD elapsedMs = 0;
};
// Runs devhost.exe with these arguments, reading its standard output and error.
ChildResult runDevhost(const std::vector<std::wstring>& arguments, DWORD limitMs);

// The lines of a text, without their line ends.
std::vector<std::wstring> linesOf(const std::wstring& text);

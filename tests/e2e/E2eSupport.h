#pragma once
// Helpers of the end-to-end tests: the sample feeds, scratch folders, and
// devhost.exe run as a child process with its output captured.
#include <windows.h>

#include <string>
#include <vector>

// The bytes of a file in the repository's samples/ folder.
std::string sampleBytes(const std::string& name);
std::wstring devhostPath();

// A fresh folder under the temporary folder, removed with its files.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::wstring path(const std::wstring& name) const { return folder_ + L"\\" + name; }

private:
    std::wstring folder_;
};

bool writeFileBytes(const std::wstring& path, const std::string& bytes);
std::string readFileBytes(const std::wstring& path);
bool fileExists(const std::wstring& path);

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

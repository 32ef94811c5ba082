#pragma once
// Scratch folders and whole-file reads and writes, for tests that need files
// of their own (configurations, state files) that no other test sees.
#include <string>

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
std::string readFileBytes(const std::wstring& path); // empty when it cannot be read
bool fileExists(const std::wstring& path);

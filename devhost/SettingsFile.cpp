#include "devhost/SettingsFile.h"

#include <windows.h>

#include "base/UniqueHandle.h"

namespace {

std::wstring lastError(const wchar_t* what, const std::wstring& path)
{
    return std::wstring(what) + L" " + path + L" (error " + std::to_wstring(GetLastError()) + L")";
}

bool writeWhole(const std::wstring& path, const std::string& bytes, std::wstring& error)
{
    UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = lastError(L"cannot create", path);
        return false;
    }
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size() || !FlushFileBuffers(file.get())) {
        error = lastError(L"cannot write", path);
        return false;
    }
    return true;
}

} // namespace

namespace FileBytes {

Result read(const std::wstring& path, std::string& bytes, std::wstring& error)
{
    bytes.clear();
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
            return Result::Missing;
        error = L"cannot open " + path + L" (error " + std::to_wstring(code) + L")";
        return Result::Failed;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > (64 << 20)) {
        error = L"cannot read " + path + L" (missing or larger than 64 MiB)";
        return Result::Failed;
    }
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size())) {
        error = lastError(L"cannot read", path);
        return Result::Failed;
    }
    return Result::Read;
}

bool makeParentFolders(const std::wstring& path, std::wstring& error)
{
    // Each prefix that ends before a separator is a folder; drive roots exist.
    for (size_t at = path.find_first_of(L"\\/", 1); at != std::wstring::npos; at = path.find_first_of(L"\\/", at + 1)) {
        const std::wstring folder = path.substr(0, at);
        if (folder.empty() || folder.back() == L':')
            continue;
        if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            error = lastError(L"cannot create the folder", folder);
            return false;
        }
    }
    return true;
}

} // namespace FileBytes

bool SettingsFile::load(std::wstring& error)
{
    std::string bytes;
    switch (FileBytes::read(path_, bytes, error)) {
    case FileBytes::Result::Missing:
        values_.clear();
        return true;
    case FileBytes::Result::Failed:
        return false;
    case FileBytes::Result::Read:
        break;
    }
    SettingsFormat::Values parsed;
    std::wstring problem;
    if (!SettingsFormat::parse(bytes, parsed, problem)) {
        error = L"the configuration file " + path_ + L" is damaged: " + problem;
        return false;
    }
    values_.swap(parsed);
    return true;
}

bool SettingsFile::save(std::wstring& error) const
{
    // Someone may have damaged the file since it was read: keep it for them to see.
    std::string existing;
    std::wstring readError;
    const FileBytes::Result found = FileBytes::read(path_, existing, readError);
    if (found == FileBytes::Result::Failed) {
        error = readError;
        return false;
    }
    SettingsFormat::Values ignored;
    std::wstring problem;
    if (found == FileBytes::Result::Read && !SettingsFormat::parse(existing, ignored, problem)) {
        error = L"the configuration file " + path_ + L" is damaged (" + problem + L"); it was not overwritten";
        return false;
    }
    if (!FileBytes::makeParentFolders(path_, error))
        return false;
    const std::wstring temporary = path_ + L".tmp" + std::to_wstring(GetCurrentProcessId());
    if (!writeWhole(temporary, SettingsFormat::serialize(values_), error)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    if (!MoveFileExW(temporary.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = lastError(L"cannot replace", path_);
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

std::optional<std::wstring> SettingsFile::get(const std::wstring& key) const
{
    auto found = values_.find(key);
    if (found == values_.end())
        return std::nullopt;
    return found->second;
}

void SettingsFile::set(const std::wstring& key, const std::wstring& value)
{
    values_[key] = value;
}

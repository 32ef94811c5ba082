#include "engine/FeedStateFile.h"

#include <windows.h>

#include <map>
#include <string>

#include "base/UniqueHandle.h"
#include "engine/FeedStateText.h"
#include "engine/FeedStore.h"
#include "services/HostLink.h"

namespace {

constexpr int32_t kLogLevel = 1;
const wchar_t* const kLogModule = L"RSS";
const wchar_t kStateFileName[] = L"quillFeed.state";
// A state of 200 feeds with a month of identities each stays under a few
// MiB; a file far larger is no state of ours.
constexpr DWORD kMaxStateBytes = 256u << 20;

enum class ReadResult { Missing, Read, Unreadable };

ReadResult readWhole(const std::wstring& path, std::string& text)
{
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadResult::Missing
                                                                              : ReadResult::Unreadable;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxStateBytes)
        return ReadResult::Unreadable;
    text.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!text.empty() && (!ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr) ||
                          read != text.size()))
        return ReadResult::Unreadable;
    return ReadResult::Read;
}

bool writeWhole(const std::wstring& path, const std::string& text)
{
    UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size() && FlushFileBuffers(file.get());
}

void setAside(const std::wstring& path, const std::string& why, const HostLink& link)
{
    const std::wstring aside = path + L".damaged";
    MoveFileExW(path.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    const std::wstring reason(why.begin(), why.end()); // ASCII
    link.log(kLogLevel, kLogModule, L"State file %ls could not be read (%ls): set aside as %ls, starting afresh",
             path.c_str(), reason.c_str(), aside.c_str());
}

} // namespace

std::wstring feedStatePath(const std::wstring& configFile)
{
    const size_t slash = configFile.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return std::wstring();
    const std::wstring folder = configFile.substr(0, slash + 1);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::wstring();
    return folder + kStateFileName;
}

void loadFeedState(FeedStore& store, const std::wstring& path, const HostLink& link) noexcept
{
    try {
        if (path.empty() || !store.feeds.empty())
            return; // nowhere to keep it, or this library already knows more
        store.savedState.clear(); // whatever is on disk now, nothing of ours is
        std::string text;
        const ReadResult result = readWhole(path, text);
        if (result == ReadResult::Missing)
            return;
        std::map<std::wstring, FeedMemory> feeds;
        std::string why = "cannot be opened";
        if (result == ReadResult::Read && readFeedState(text, feeds, why)) {
            store.feeds = std::move(feeds);
            store.savedState = std::move(text);
            return;
        }
        setAside(path, why, link);
    } catch (...) {
        store.feeds.clear(); // no memory for it: start afresh rather than half-read
    }
}

void saveFeedState(FeedStore& store, const std::wstring& path, const HostLink& link) noexcept
{
    try {
        if (path.empty() || (store.feeds.empty() && store.savedState.empty()))
            return; // nowhere to keep it, or nothing known and nothing kept
        std::string text = writeFeedState(store.feeds);
        if (text == store.savedState)
            return;
        const std::wstring fresh = path + L".new";
        if (!writeWhole(fresh, text) ||
            !MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            link.log(kLogLevel, kLogModule, L"State file %ls could not be written (error %lu)", path.c_str(),
                     GetLastError());
            return;
        }
        store.savedState = std::move(text);
    } catch (...) {
    }
}

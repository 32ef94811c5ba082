#include "devhost/FeedList.h"

#include "devhost/SettingsFile.h"
#include "devhost/Text.h"

namespace FeedList {

namespace {

std::wstring trimmed(const std::wstring& line)
{
    const size_t first = line.find_first_not_of(L" \t\r");
    if (first == std::wstring::npos)
        return std::wstring();
    const size_t last = line.find_last_not_of(L" \t\r");
    return line.substr(first, last - first + 1);
}

} // namespace

std::vector<std::wstring> parseLines(const std::wstring& text)
{
    std::vector<std::wstring> addresses;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring line = trimmed(text.substr(start, end - start));
        if (!line.empty() && line[0] != L'#')
            addresses.push_back(line);
        start = end + 1;
    }
    return addresses;
}

std::wstring join(const std::vector<std::wstring>& addresses)
{
    std::wstring list;
    for (size_t i = 0; i < addresses.size(); ++i)
        list += (i > 0 ? L"\r\n" : L"") + addresses[i];
    return list;
}

bool readFile(const std::wstring& path, std::vector<std::wstring>& addresses, std::wstring& error)
{
    std::string bytes;
    switch (FileBytes::read(path, bytes, error)) {
    case FileBytes::Result::Missing:
        error = L"no feed list file " + path;
        return false;
    case FileBytes::Result::Failed:
        return false;
    case FileBytes::Result::Read:
        break;
    }
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3); // a byte order mark from a Windows editor
    std::wstring text;
    if (!Text::fromUtf8(bytes, text)) {
        error = L"the feed list file " + path + L" is not UTF-8 text";
        return false;
    }
    addresses = parseLines(text);
    return true;
}

} // namespace FeedList

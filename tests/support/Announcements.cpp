#include "Announcements.h"

std::vector<std::wstring> announcements(const std::vector<RecordedCall>& calls)
{
    std::vector<std::wstring> lines;
    for (const RecordedCall& call : calls) {
        if (call.service == L"WTW/ShowStandardNotify") {
            if (call.field<uint32_t>(40) == 3 && call.isNullText(8))
                lines.push_back(notifyLine(call.text(16)));
            else
                lines.push_back(L"error " + call.text(16) + L" | " + call.text(8));
        } else if (call.service == L"News/AddEntry") {
            lines.push_back(newsLine(call.text(8)));
        }
    }
    return lines;
}

std::wstring notifyLine(const std::wstring& title)
{
    return L"notify " + title;
}

std::wstring newsLine(const std::wstring& id)
{
    return L"news " + id;
}

std::wstring errorLine(const std::wstring& kind, const std::wstring& address, const std::wstring& text)
{
    return L"error " + kind + L" error - " + address + L" | " + text;
}

#include "devhost/LogOutput.h"

#include "devhost/Console.h"
#include "devhost/Report.h"
#include "devhost/Text.h"

LogOutput::LogOutput(bool toStandardError, const std::wstring& filePath) : toStandardError_(toStandardError)
{
    if (filePath.empty())
        return;
    file_ = CreateFileW(filePath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE)
        error_ = L"cannot open the log file " + filePath + L" (error " + std::to_wstring(GetLastError()) + L")";
}

LogOutput::~LogOutput()
{
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
}

bool LogOutput::ready(std::wstring& error) const
{
    error = error_;
    return error_.empty();
}

void LogOutput::write(const LogLine& line)
{
    const std::wstring text = Report::logLine(line);
    if (toStandardError_)
        Console::err(text);
    if (file_ == INVALID_HANDLE_VALUE)
        return;
    const std::string bytes = Text::toUtf8(text);
    std::lock_guard<std::mutex> hold(mutex_);
    DWORD written = 0;
    WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

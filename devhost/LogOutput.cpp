#include "devhost/LogOutput.h"

#include "devhost/Console.h"
#include "devhost/Report.h"
#include "devhost/Text.h"

LogOutput::LogOutput(bool toStandardError, const std::wstring& filePath) : toStandardError_(toStandardError)
{
    if (filePath.empty())
        return;
    file_.reset(CreateFileW(filePath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_)
        error_ = L"cannot open the log file " + filePath + L" (error " + std::to_wstring(GetLastError()) + L")";
}

LogOutput::~LogOutput() = default;

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
    if (!file_)
        return;
    const std::string bytes = Text::toUtf8(text);
    std::lock_guard<std::mutex> hold(mutex_);
    DWORD written = 0;
    WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

#pragma once
// Where the plug-in's log lines go: standard error and, if asked, a file.
#include <windows.h>

#include <mutex>
#include <string>

#include "base/UniqueHandle.h"
#include "devhost/HostEvents.h"

class LogOutput {
public:
    LogOutput(bool toStandardError, const std::wstring& filePath);
    ~LogOutput();
    LogOutput(const LogOutput&) = delete;
    LogOutput& operator=(const LogOutput&) = delete;

    // False when the file was asked for and cannot be opened.
    bool ready(std::wstring& error) const;
    void write(const LogLine& line);

private:
    bool toStandardError_;
    UniqueHandle file_;
    std::wstring error_;
    std::mutex mutex_;
};

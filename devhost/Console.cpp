#include "devhost/Console.h"

#include <windows.h>

#include <mutex>

#include "devhost/Text.h"

namespace {

std::mutex g_writeMutex; // lines from worker threads must not interleave

void write(DWORD which, const std::wstring& text)
{
    std::lock_guard<std::mutex> hold(g_writeMutex);
    HANDLE stream = GetStdHandle(which);
    if (stream == nullptr || stream == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(stream, &mode)) {
        WriteConsoleW(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string bytes = Text::toUtf8(text);
    WriteFile(stream, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

} // namespace

namespace Console {

void out(const std::wstring& text)
{
    write(STD_OUTPUT_HANDLE, text);
}

void err(const std::wstring& text)
{
    write(STD_ERROR_HANDLE, text);
}

} // namespace Console

#include "E2eSupport.h"

#include <atomic>
#include <fstream>
#include <iterator>

#include "ManualEvent.h"
#include "TestPaths.h"
#include "devhost/Text.h"

#ifndef QF_SAMPLES_DIR
#define QF_SAMPLES_DIR ""
#endif
#ifndef QF_DEVHOST_PATH
#define QF_DEVHOST_PATH ""
#endif

namespace {

// Reads what the pipe holds now, without waiting; true when it held anything.
bool takeAvailable(HANDLE pipe, std::string& bytes)
{
    DWORD available = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0)
        return false;
    std::string chunk(available, '\0');
    DWORD got = 0;
    if (!ReadFile(pipe, &chunk[0], available, &got, nullptr) || got == 0)
        return false;
    bytes.append(chunk, 0, got);
    return true;
}

std::wstring quoted(const std::wstring& argument)
{
    return L"\"" + argument + L"\"";
}

std::wstring decoded(const std::string& bytes)
{
    std::wstring text;
    if (!Text::fromUtf8(bytes, text))
        text = L"(output is not UTF-8)";
    return text;
}

} // namespace

std::string sampleBytes(const std::string& name)
{
    std::ifstream file(std::string(QF_SAMPLES_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::wstring devhostPath()
{
    return windowsPath(QF_DEVHOST_PATH);
}

ChildResult runDevhost(const std::vector<std::wstring>& arguments, DWORD limitMs)
{
    ChildResult result;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueHandle outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(outRead.put(), outWrite.put(), &inherit, 0) ||
        !CreatePipe(errRead.put(), errWrite.put(), &inherit, 0))
        return result;
    SetHandleInformation(outRead.get(), HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead.get(), HANDLE_FLAG_INHERIT, 0);

    std::wstring command = quoted(devhostPath());
    for (const std::wstring& argument : arguments)
        command += L" " + quoted(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite.get();
    startup.hStdError = errWrite.get();
    PROCESS_INFORMATION process{};
    const ULONGLONG started = GetTickCount64();
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return result;
    UniqueHandle processHandle{process.hProcess}, threadHandle{process.hThread};
    outWrite.reset();
    errWrite.reset();

    // Both pipes are emptied as data comes, so a full one never blocks the
    // child; the end is the child's exit, not the pipes' end, which a process
    // holding an inherited copy of the write end could delay.
    std::string outBytes, errBytes;
    const ULONGLONG deadline = started + limitMs;
    bool killed = false;
    for (;;) {
        const bool exited = WaitForSingleObject(processHandle.get(), 0) == WAIT_OBJECT_0;
        const bool got = takeAvailable(outRead.get(), outBytes) | takeAvailable(errRead.get(), errBytes);
        if (exited && !got)
            break;
        if (!exited && GetTickCount64() >= deadline) {
            TerminateProcess(processHandle.get(), 99);
            WaitForSingleObject(processHandle.get(), INFINITE);
            killed = true;
            break;
        }
        if (!got) // the pipes are read in turn; the exit ends this wait at once
            WaitForSingleObject(processHandle.get(), 5);
    }
    result.finished = !killed;
    GetExitCodeProcess(processHandle.get(), &result.exitCode);
    result.elapsedMs = static_cast<DWORD>(GetTickCount64() - started);
    result.out = decoded(outBytes);
    result.err = decoded(errBytes);
    return result;
}

std::vector<std::wstring> linesOf(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

#pragma once
// A stand-in host table for tests: records every service call and answers
// the settings services from an in-memory store. One may be active at a time.
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "host/HostApi.h"

struct RecordedCall {
    std::wstring service;
    DWORD threadId = 0;
    intptr_t wParam = 0;
    intptr_t lParam = 0;
    std::vector<uint8_t> record;                         // byte copy of the record passed
    std::map<size_t, std::optional<std::wstring>> texts; // text field offset -> text (nullopt: null pointer)
    std::wstring textArgument;                           // wParam or lParam passed as text itself

    // The text at a record offset; empty when absent or null.
    std::wstring text(size_t offset) const;
    bool isNullText(size_t offset) const;
    template <typename T>
    T field(size_t offset) const
    {
        T value{};
        if (offset + sizeof(T) <= record.size())
            memcpy(&value, record.data() + offset, sizeof(T));
        return value;
    }
};

class RecordingHost {
public:
    RecordingHost();
    ~RecordingHost();
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    const HostApi* api() const { return &table_; }

    std::vector<RecordedCall> calls() const;
    std::vector<RecordedCall> callsTo(const std::wstring& service) const;
    // Services called, from the call at index `from` on.
    std::vector<std::wstring> serviceNames(size_t from = 0) const;
    // The callback pointer at `offset` of the last record passed to the service; nullptr without one.
    HostCallback registeredCallback(const std::wstring& service, size_t offset) const;
    HostCallback timerCallback() const { return registeredCallback(L"WTW/Timer/Create", 24); }
    size_t count(const std::wstring& service) const;
    void clearCalls();
    // Waits until the predicate holds over the recorded calls, or the timeout passes.
    bool waitUntil(const std::function<bool(const std::vector<RecordedCall>&)>& done,
                   std::chrono::milliseconds timeout) const;

    // Settings: the handle "WTW/Settings/Init" returns (0: no settings) and stored values.
    void setSettingsHandle(intptr_t handle);
    intptr_t settingsHandle() const { return settingsHandle_; }
    void setValue(const std::wstring& key, const std::wstring& value);
    void eraseValue(const std::wstring& key);
    std::optional<std::wstring> value(const std::wstring& key) const;
    // A folder that does not exist unless a test names one of its own, so that
    // no remembered state passes from one test to the next.
    std::wstring configPath() const;
    void setConfigPath(std::wstring path);

    void setThemeColor(intptr_t index, intptr_t color);
    // Called (outside the lock) after a call is recorded; its result, when set, is returned.
    void setResponder(std::function<std::optional<intptr_t>(const RecordedCall&)> responder);

private:
    static intptr_t dispatch(const wchar_t* service, intptr_t wParam, intptr_t lParam);
    intptr_t handle(RecordedCall call);
    intptr_t answerSettings(const RecordedCall& call, intptr_t wParam);

    HostApi table_{};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<RecordedCall> calls_;
    std::map<std::wstring, std::wstring> values_;
    std::map<intptr_t, intptr_t> themeColors_;
    intptr_t settingsHandle_ = 0x5E77;
    std::wstring configPath_ = L"C:\\quillFeed-test\\quillFeed.ini";
    std::function<std::optional<intptr_t>(const RecordedCall&)> responder_;
};

#pragma once
// quillFeed.dll as a host has it: LoadLibraryW, pluginLoad with a recording
// host table, the panel created in a window of this thread, the timer
// callback fired with a code; pluginUnload and FreeLibrary at the end.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "PluginLibrary.h"
#include "RecordingHost.h"
#include "base/UniqueHandle.h"
#include "host/HostApi.h"

// When each phase of one refresh ended, in milliseconds from the timer event.
struct RefreshTimeline {
    double listRead = 0;     // the worker asked for the feed list
    double rebuildStart = 0; // the tree was told to drop every node
    double lastInsert = 0;   // the rebuild's last node
    double ended = 0;        // the cleaner saw the worker thread end
    size_t inserts = 0;      // nodes the rebuild inserted
    double hostMs = 0;       // spent inside the recording host's callService
    bool completed = false;
};

class RealPlugin {
public:
    // Loads and starts the plug-in; its tree view lives in `parent`.
    RealPlugin(RecordingHost& host, HWND parent);
    ~RealPlugin(); // unloads; waits until the library is unmapped
    RealPlugin(const RealPlugin&) = delete;
    RealPlugin& operator=(const RealPlugin&) = delete;

    bool loaded() const { return timer_ != nullptr && tree_ != nullptr; }
    HWND tree() const { return tree_; }

    // Fires the timer event and pumps this thread's messages (the rebuild
    // sends them) until the cleaner logs the worker's end.
    RefreshTimeline refresh(int32_t code, std::chrono::milliseconds limit);

private:
    // The table the DLL gets: each call timed, then handed to the recording host.
    static intptr_t timedCall(const wchar_t* service, intptr_t wParam, intptr_t lParam);
    static LRESULT CALLBACK watchTree(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);
    double now() const;

    RecordingHost& host_;
    PluginLibrary library_;
    HostCallback timer_ = nullptr;
    HostCallback panel_ = nullptr;
    void* panelData_ = nullptr;
    HWND tree_ = nullptr;
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER start_{};
    UniqueHandle ended_; // set by the responder when the worker's end is logged
    RefreshTimeline timeline_;
};

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
    double listRead = 0;    // the worker asked for the feed list
    double updateStart = 0; // the panel's first update step reached this thread
    double updateEnd = 0;   // its last step was done
    double ended = 0;       // the cleaner saw the worker thread end
    size_t inserts = 0;     // tree nodes inserted, deleted and given a new text
    size_t deletes = 0;
    size_t texts = 0;
    double hostMs = 0;      // spent inside the recording host's callService
    double panelMs = 0;     // this (the host's) thread inside the panel's windows
    size_t peakAtUpdate = 0; // the process's peak working set when the update began
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
    // Opens the first `count` channels as the reader would; this thread's milliseconds.
    double openChannels(size_t count);

    // Fires the timer event and pumps this thread's messages (the rebuild
    // sends them) until the cleaner logs the worker's end.
    RefreshTimeline refresh(int32_t code, std::chrono::milliseconds limit);

private:
    // The table the DLL gets: each call timed, then handed to the recording host.
    static intptr_t timedCall(const wchar_t* service, intptr_t wParam, intptr_t lParam);
    // Times what the panel's window and its tree make this thread do.
    static LRESULT CALLBACK watchPanel(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    double now() const;

    RecordingHost& host_;
    PluginLibrary library_;
    HostCallback timer_ = nullptr;
    HostCallback panel_ = nullptr;
    void* panelData_ = nullptr;
    HWND frame_ = nullptr; // the plug-in's own window, the tree's parent
    HWND tree_ = nullptr;
    WNDPROC procs_[2] = {}; // the frame's and the tree's own, while watched
    int depth_ = 0;           // of the watched windows' messages on this thread
    LARGE_INTEGER entered_{}; // when the outermost began
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER start_{};
    UniqueHandle ended_; // set by the responder when the worker's end is logged
    RefreshTimeline timeline_;
};

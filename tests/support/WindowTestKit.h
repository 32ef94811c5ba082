#pragma once
// Windows for tests: a parent window on the test thread, message pumping while
// other threads send to it, and reading a tree view back node by node.
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Registers the tree view and the other common control classes once.
void initCommonControls();

// A hidden top-level window owned by the creating thread; destroyed with this
// object. It answers WM_APP with 42 and counts them, to tell whether its thread
// handled a message another thread sent it.
class TestWindow {
public:
    explicit TestWindow(int width = 640, int height = 480);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND handle() const { return window_; }
    // Shows and activates it, so that it and its children can take keyboard focus.
    void activate() const;
    int handled() const { return handled_.load(); }

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    std::atomic<int> handled_{0};
};

// Handles every message waiting for this thread.
void pumpMessages();
// Pumps until the condition holds or the timeout passes; true when it held.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Runs work on a new thread while this thread pumps (so the work may SendMessage
// to this thread's windows); true when the work ended within the timeout.
bool runOnWorkerPumping(const std::function<void()>& work, std::chrono::milliseconds timeout);

struct TreeNode {
    std::wstring text;
    int image = 0; // I_IMAGECALLBACK (-1) for a detail line, which has no picture
    int selectedImage = 0;
    LPARAM data = 0;
    HTREEITEM item = nullptr;
    std::vector<TreeNode> children;
};

// Every node of the tree in display order, with nesting, as expanding every
// node shows it; each is left expanded or not as it was.
std::vector<TreeNode> readTree(HWND tree);
size_t countNodes(const std::vector<TreeNode>& nodes);
std::vector<std::wstring> texts(const std::vector<TreeNode>& nodes);
bool isExpanded(HWND tree, HTREEITEM item);

// Counts, while it lives, the messages sent to a tree view (of this thread)
// that change its nodes: inserts, deletes and new texts.
class TreeChanges {
public:
    explicit TreeChanges(HWND tree);
    ~TreeChanges();
    TreeChanges(const TreeChanges&) = delete;
    TreeChanges& operator=(const TreeChanges&) = delete;

    size_t inserts = 0, deletes = 0, texts = 0;
    size_t all() const { return inserts + deletes + texts; }

private:
    static LRESULT CALLBACK watch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                  DWORD_PTR self);
    HWND tree_;
};

// What CreateWindowExW was asked for, as a CBT hook on this thread sees it.
struct CreatedWindow {
    HWND window = nullptr;
    std::wstring className;
    bool titleIsNull = true;
    std::wstring title;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    HWND parent = nullptr;
    HMENU menu = nullptr;
    HINSTANCE instance = nullptr;
    void* createParams = nullptr;
};

// Records every window created on this thread while it lives.
class CreationRecorder {
public:
    CreationRecorder();
    ~CreationRecorder();
    CreationRecorder(const CreationRecorder&) = delete;
    CreationRecorder& operator=(const CreationRecorder&) = delete;

    const std::vector<CreatedWindow>& created() const { return created_; }
    // The windows of one class (compared without regard to case).
    std::vector<CreatedWindow> ofClass(const std::wstring& className) const;

private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_ = nullptr;
    CreationRecorder* previous_ = nullptr;
    std::vector<CreatedWindow> created_;
};

// Key strokes as the input queue delivers them to the focused window: the
// thread's key state is set for each, its WM_KEYDOWN or WM_KEYUP posted, and
// the message pumped through TranslateMessage, which adds the WM_CHAR. Unlike
// SendInput this stays within the thread, so tests running in parallel on the
// same Wine desktop cannot take the strokes.
struct KeyStroke {
    WORD key; // virtual-key code
    bool down;
};
void typeInto(HWND window, const std::vector<KeyStroke>& strokes);

// The window's text as WM_GETTEXT gives it.
std::wstring windowText(HWND window);
// A window's rectangle in its parent's client coordinates.
RECT rectInParent(HWND window);

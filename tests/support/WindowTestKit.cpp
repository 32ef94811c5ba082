#include "WindowTestKit.h"

#include <atomic>
#include <cwchar>
#include <memory>
#include <thread>

namespace {

thread_local CreationRecorder* t_recorder = nullptr;

const wchar_t kClassName[] = L"quillFeedTestWindow";

ATOM registerClass()
{
    static ATOM atom = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass);
    }();
    return atom;
}

// Text of one item, growing the buffer until the text fits.
std::wstring itemText(HWND tree, HTREEITEM item)
{
    for (int capacity = 256;; capacity *= 4) {
        std::wstring buffer(static_cast<size_t>(capacity), L'\0');
        TVITEMW query{};
        query.mask = TVIF_TEXT;
        query.hItem = item;
        query.pszText = buffer.data();
        query.cchTextMax = capacity;
        if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)))
            return L"<unreadable>";
        size_t length = wcsnlen(query.pszText, static_cast<size_t>(capacity));
        if (static_cast<int>(length) < capacity - 1 || capacity > (1 << 20))
            return std::wstring(query.pszText, length);
    }
}

TreeNode readNode(HWND tree, HTREEITEM item)
{
    TreeNode node;
    node.item = item;
    node.text = itemText(tree, item);
    TVITEMW query{};
    query.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    query.hItem = item;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    node.image = query.iImage;
    node.selectedImage = query.iSelectedImage;
    node.data = query.lParam;
    return node;
}

std::vector<TreeNode> readLevel(HWND tree, HTREEITEM first)
{
    std::vector<TreeNode> nodes;
    for (HTREEITEM item = first; item != nullptr;
         item = reinterpret_cast<HTREEITEM>(
             SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        TreeNode node = readNode(tree, item);
        // Children may be inserted when a node is first expanded: opened to be
        // read, and closed again as it was.
        const bool open = isExpanded(tree, item);
        if (!open)
            SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        auto child = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
        node.children = readLevel(tree, child);
        if (!open)
            SendMessageW(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item));
        nodes.push_back(std::move(node));
    }
    return nodes;
}

} // namespace

void initCommonControls()
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
}

TestWindow::TestWindow(int width, int height)
{
    initCommonControls();
    registerClass();
    window_ = CreateWindowExW(0, kClassName, L"quillFeed test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, width,
                              height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TestWindow::proc));
    }
}

TestWindow::~TestWindow()
{
    if (window_ != nullptr)
        DestroyWindow(window_);
    pumpMessages();
}

void TestWindow::activate() const
{
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetActiveWindow(window_);
    pumpMessages();
}

LRESULT CALLBACK TestWindow::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_APP && self != nullptr) {
        ++self->handled_;
        return 42;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void pumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        pumpMessages();
        if (done())
            return true;
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return false;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
        // Wakes for sent and posted messages alike; the short slice re-checks the condition.
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left < 20 ? left : 20), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

bool runOnWorkerPumping(const std::function<void()>& work, std::chrono::milliseconds timeout)
{
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::thread worker([work, finished] {
        work();
        finished->store(true);
    });
    bool ended = pumpUntil([&] { return finished->load(); }, timeout);
    if (ended)
        worker.join();
    else
        worker.detach(); // still blocked on this thread; the test fails, the process ends it
    return ended;
}

std::vector<TreeNode> readTree(HWND tree)
{
    auto root = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    return readLevel(tree, root);
}

size_t countNodes(const std::vector<TreeNode>& nodes)
{
    size_t count = nodes.size();
    for (const TreeNode& node : nodes)
        count += countNodes(node.children);
    return count;
}

std::vector<std::wstring> texts(const std::vector<TreeNode>& nodes)
{
    std::vector<std::wstring> result;
    for (const TreeNode& node : nodes)
        result.push_back(node.text);
    return result;
}

bool isExpanded(HWND tree, HTREEITEM item)
{
    auto state = SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED);
    return (state & TVIS_EXPANDED) != 0;
}

std::wstring windowText(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

RECT rectInParent(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

CreationRecorder::CreationRecorder() : previous_(t_recorder)
{
    t_recorder = this;
    hook_ = SetWindowsHookExW(WH_CBT, &CreationRecorder::hook, nullptr, GetCurrentThreadId());
}

CreationRecorder::~CreationRecorder()
{
    if (hook_ != nullptr)
        UnhookWindowsHookEx(hook_);
    t_recorder = previous_;
}

std::vector<CreatedWindow> CreationRecorder::ofClass(const std::wstring& className) const
{
    std::vector<CreatedWindow> found;
    for (const CreatedWindow& window : created_)
        if (_wcsicmp(window.className.c_str(), className.c_str()) == 0)
            found.push_back(window);
    return found;
}

LRESULT CALLBACK CreationRecorder::hook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_recorder != nullptr) {
        const CREATESTRUCTW& create = *reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        CreatedWindow window;
        window.window = reinterpret_cast<HWND>(wParam);
        wchar_t className[256] = {};
        GetClassNameW(window.window, className, 256);
        window.className = className;
        window.titleIsNull = create.lpszName == nullptr;
        if (create.lpszName != nullptr && !IS_INTRESOURCE(create.lpszName))
            window.title = create.lpszName;
        window.style = static_cast<DWORD>(create.style);
        window.exStyle = create.dwExStyle;
        window.x = create.x;
        window.y = create.y;
        window.width = create.cx;
        window.height = create.cy;
        window.parent = create.hwndParent;
        window.menu = create.hMenu;
        window.instance = create.hInstance;
        window.createParams = create.lpCreateParams;
        t_recorder->created_.push_back(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void typeInto(HWND window, const std::vector<KeyStroke>& strokes)
{
    for (const KeyStroke& stroke : strokes) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[stroke.key] = stroke.down ? 0x80 : 0;
        SetKeyboardState(state);
        auto scanCode = static_cast<LPARAM>(MapVirtualKeyW(stroke.key, MAPVK_VK_TO_VSC));
        LPARAM flags = 1 | (scanCode << 16) | (stroke.down ? 0 : (LPARAM{1} << 30) | (LPARAM{1} << 31));
        PostMessageW(window, stroke.down ? WM_KEYDOWN : WM_KEYUP, stroke.key, flags);
        pumpMessages();
    }
}

TreeChanges::TreeChanges(HWND tree) : tree_(tree)
{
    SetWindowSubclass(tree_, &TreeChanges::watch, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));
}

TreeChanges::~TreeChanges()
{
    RemoveWindowSubclass(tree_, &TreeChanges::watch, reinterpret_cast<UINT_PTR>(this));
}

LRESULT CALLBACK TreeChanges::watch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
{
    auto* changes = reinterpret_cast<TreeChanges*>(self);
    if (message == TVM_INSERTITEMW)
        ++changes->inserts;
    else if (message == TVM_DELETEITEM)
        ++changes->deletes;
    else if (message == TVM_SETITEMW && (reinterpret_cast<const TVITEMW*>(lParam)->mask & TVIF_TEXT))
        ++changes->texts;
    return DefSubclassProc(window, message, wParam, lParam);
}

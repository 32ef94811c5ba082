#include "devhost/MainWindow.h"

#include "devhost/OptionsDialog.h"
#include "devhost/Report.h"
#include "host/HostProtocol.h"

namespace {

const wchar_t* const kMainClass = L"quillFeedDevhostMain";
constexpr UINT kEventMessage = WM_APP + 1;
constexpr int kRefreshCommand = 101;
constexpr int kOptionsCommand = 102;
constexpr int kQuitCommand = 103;
constexpr int kMargin = 8;
constexpr int kTitleHeight = 20;

HMENU buildMenu()
{
    HMENU feeds = CreatePopupMenu();
    AppendMenuW(feeds, MF_STRING, kRefreshCommand, L"&Refresh now\tF5");
    AppendMenuW(feeds, MF_STRING, kOptionsCommand, L"&Options...\tCtrl+O");
    AppendMenuW(feeds, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(feeds, MF_STRING, kQuitCommand, L"&Quit\tCtrl+Q");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(feeds), L"&Feeds");
    return bar;
}

HACCEL buildAccelerators()
{
    ACCEL keys[] = {{FVIRTKEY, VK_F5, kRefreshCommand},
                    {FVIRTKEY | FCONTROL, 'O', kOptionsCommand},
                    {FVIRTKEY | FCONTROL, 'Q', kQuitCommand}};
    return CreateAcceleratorTableW(keys, 3);
}

HWND child(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style)
{
    HWND control = CreateWindowExW(windowClass == std::wstring(L"LISTBOX") ? WS_EX_CLIENTEDGE : 0, windowClass, text,
                                   WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return control;
}

} // namespace

MainWindow::MainWindow(DevHost& host) : host_(host)
{
}

MainWindow::~MainWindow()
{
    if (window_ != nullptr && IsWindow(window_))
        DestroyWindow(window_);
    if (accelerators_ != nullptr)
        DestroyAcceleratorTable(accelerators_);
    if (icon_ != nullptr)
        DestroyIcon(icon_);
}

bool MainWindow::create(std::wstring& error)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &MainWindow::windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainClass;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        error = L"cannot register the main window class (error " + std::to_wstring(GetLastError()) + L")";
        return false;
    }
    window_ = CreateWindowExW(0, kMainClass, L"quillFeed devhost", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                              CW_USEDEFAULT, 960, 620, nullptr, buildMenu(), GetModuleHandleW(nullptr), this);
    if (window_ == nullptr) {
        error = L"cannot create the main window (error " + std::to_wstring(GetLastError()) + L")";
        return false;
    }
    accelerators_ = buildAccelerators();
    frame_ = createPanelFrame(window_, RECT{0, 0, 10, 10});
    listTitle_ = child(window_, L"STATIC", L"Notifications and news entries", SS_LEFT);
    list_ = child(window_, L"LISTBOX", L"", WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL);
    SendMessageW(list_, LB_SETHORIZONTALEXTENT, 2000, 0);
    layOut();
    return frame_ != nullptr && list_ != nullptr;
}

RECT MainWindow::panelRect() const
{
    RECT client{};
    GetClientRect(frame_.get(), &client);
    return client;
}

void MainWindow::show()
{
    LoadedImage image;
    if (host_.look().image(kPluginImageId, image) && (icon_ = iconFromPng(image.png, 16)) != nullptr)
        SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    const PluginIdentity identity = host_.identity();
    SetWindowTextW(window_,
                   (L"quillFeed devhost \u2014 " + identity.name + L" (" + identity.description + L")").c_str());
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    showNewEvents();
}

int MainWindow::runMessageLoop()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(window_, accelerators_, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

void MainWindow::eventArrived()
{
    PostMessageW(window_, kEventMessage, 0, 0);
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        layOut();
        return 0;
    case WM_COMMAND:
        command(LOWORD(wParam));
        return 0;
    case kEventMessage:
        showNewEvents();
        return 0;
    case WM_CLOSE:
        close();
        return 0;
    case WM_DESTROY:
        (void)frame_.release(); // destroyed with its parent
        window_ = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::command(int id)
{
    switch (id) {
    case kRefreshCommand:
        host_.timers().fire(kNotifyingRefreshEvent);
        break;
    case kOptionsCommand: {
        const auto pages = host_.optionsPages().pages();
        if (!pages.empty())
            OptionsDialog::run(window_, pages.front());
        break;
    }
    case kQuitCommand:
        close();
        break;
    }
}

void MainWindow::layOut()
{
    if (frame_ == nullptr || list_ == nullptr)
        return;
    RECT client{};
    GetClientRect(window_, &client);
    const int split = client.right * 9 / 20;
    MoveWindow(frame_.get(), kMargin, kMargin, split - 2 * kMargin, client.bottom - 2 * kMargin, TRUE);
    MoveWindow(listTitle_, split, kMargin, client.right - split - kMargin, kTitleHeight, TRUE);
    MoveWindow(list_, split, kMargin + kTitleHeight, client.right - split - kMargin,
               client.bottom - 2 * kMargin - kTitleHeight, TRUE);
    host_.panels().move(panelRect());
}

void MainWindow::showNewEvents()
{
    const std::vector<HostEvent> events = host_.events().all();
    for (; shownEvents_ < events.size(); ++shownEvents_) {
        const HostEvent& event = events[shownEvents_];
        if (event.kind == HostEvent::Kind::Log)
            continue; // log lines go to standard error
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Report::listLine(event).c_str()));
    }
    const LRESULT count = SendMessageW(list_, LB_GETCOUNT, 0, 0);
    if (count > 0)
        SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(count - 1), 0);
}

void MainWindow::close()
{
    host_.unload(); // the panel leaves while its window still exists
    DestroyWindow(window_);
}

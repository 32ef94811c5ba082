#include "TreeProbe.h"

#include <commctrl.h>

#include <atomic>
#include <thread>

namespace {

constexpr DWORD kTreeStyle = WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_FULLROWSELECT;
constexpr int kChannelDetails = 5; // description, link, category, copyright, language
constexpr int kItemDetails = 5;    // link, description, author, date, category

HTREEITEM insert(HWND tree, HTREEITEM parent, const std::wstring& text)
{
    TVINSERTSTRUCTW data{};
    data.hParent = parent;
    data.hInsertAfter = TVI_LAST;
    data.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    data.item.pszText = const_cast<wchar_t*>(text.c_str());
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&data)));
}

void fill(HWND tree, size_t channels, size_t items, bool quiet)
{
    const std::wstring detail(120, L'd');
    if (quiet)
        SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    for (size_t c = 0; c < channels; ++c) {
        HTREEITEM channel = insert(tree, TVI_ROOT, L"Channel " + std::to_wstring(c));
        for (int d = 0; d < kChannelDetails; ++d)
            insert(tree, channel, detail);
        for (size_t i = 0; i < items; ++i) {
            HTREEITEM item = insert(tree, channel, L"Item " + std::to_wstring(i));
            for (int d = 0; d < kItemDetails; ++d)
                insert(tree, item, detail);
        }
    }
    if (quiet) {
        SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(tree, nullptr, TRUE);
    }
}

double now()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Runs the fill on a new thread while this one handles the messages it sends.
double fillFromWorker(HWND tree, size_t channels, size_t items, bool quiet)
{
    std::atomic<bool> done{false};
    const double start = now();
    std::thread worker([&] {
        fill(tree, channels, items, quiet);
        done = true;
    });
    while (!done) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    const double ms = now() - start;
    worker.join();
    return ms;
}

} // namespace

std::vector<TreeProbeRow> probeTreeInserts(HWND parent, size_t channels, size_t items)
{
    HWND tree =
        CreateWindowExW(0, WC_TREEVIEWW, nullptr, kTreeStyle, 0, 0, 320, 600, parent, nullptr, nullptr, nullptr);
    std::vector<TreeProbeRow> rows;
    if (tree == nullptr)
        return rows;
    auto count = [tree] { return static_cast<size_t>(SendMessageW(tree, TVM_GETCOUNT, 0, 0)); };
    double start = now();
    fill(tree, channels, items, false);
    rows.push_back({"same_thread", now() - start, count()});
    start = now();
    fill(tree, channels, items, true);
    rows.push_back({"same_thread_redraw_off", now() - start, count()});
    rows.push_back({"other_thread", fillFromWorker(tree, channels, items, false), count()});
    rows.push_back({"other_thread_redraw_off", fillFromWorker(tree, channels, items, true), count()});
    DestroyWindow(tree);
    return rows;
}

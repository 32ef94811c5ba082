#pragma once
// The plug-in's own window inside the host's panel, the tree's parent: the
// tree's notifications (texts, expanding, selection, drawing) reach the
// plug-in whatever window the host makes the panel's parent, and the steps of
// a refresh's update are sent to it. The tree fills it.
#include <windows.h>

class FeedPanel;

namespace PanelWindow {

// The steps of an update (ui/ShownTree.h), each with the PanelUpdate's address.
enum Step : UINT {
    kSyncList = WM_APP + 1,
    kSyncChannel, // wParam: the channel's index in the content
    kEndUpdate,
};

// A child of `parent` at `rect`, hidden until the panel is shown.
HWND create(HINSTANCE module, HWND parent, const RECT& rect, FeedPanel* panel);
// Once its last window is gone: the class must not outlive the library.
void unregister(HINSTANCE module);

} // namespace PanelWindow

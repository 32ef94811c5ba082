#pragma once
// The options page in a modal dialog with OK, Apply and Cancel.
#include <windows.h>

#include "devhost/OptionsPages.h"

namespace OptionsDialog {
constexpr int kApplyButton = 1001;
constexpr int kHintLabel = 1002;

// Returns once the dialog is closed: OK confirms, Cancel and the close box cancel.
void run(HWND owner, const OptionsPageInfo& page);
} // namespace OptionsDialog

#pragma once
// The user interface's share of the plug-in state. The plug-in record derives
// from it and registers itself as the callback data of the panel and of the
// options page, whose callbacks find their own part here.
#include "ui/FeedPanel.h"
#include "ui/OptionsPage.h"

struct UiParts {
    FeedPanel panel;
    OptionsPage optionsPage;
};

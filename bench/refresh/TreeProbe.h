#pragma once
// Where a rebuild's time goes: the same number and shape of tree-view inserts
// as a rebuild of 200 channels of 50 items, made (a) on the tree's own thread,
// (b) from another thread through SendMessageW, as the rebuild does, and
// (c) like (b) with redrawing switched off meanwhile.
#include <windows.h>

#include <string>
#include <vector>

struct TreeProbeRow {
    std::string name;
    double ms = 0;
    size_t nodes = 0;
};

std::vector<TreeProbeRow> probeTreeInserts(HWND parent, size_t channels, size_t items);

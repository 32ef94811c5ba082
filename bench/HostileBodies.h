#pragma once
// Bodies a hostile server would send to make a small answer cost a large
// tree: each shape filled to the size asked, within every limit but the one
// it tests. Used by the native reading harness and by the refresh benchmark
// through the DLL.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct HostileShape {
    const char* name;
    std::function<std::string(size_t bytes)> make;
};

const std::vector<HostileShape>& hostileShapes();

#pragma once
// A feed address split into the host to connect to and the path to request.
#include <string>

struct Url {
    std::wstring host;
    std::wstring path;

    // Throws std::out_of_range when no '/' follows the host.
    static Url parse(const wchar_t* address);
};

#pragma once
// A web link as it is handed to the shell to open.
#include <string>

// The link with each character that the shell, or the command line of the
// program it starts, would read as more than a part of the address written
// as %XX; everything else, '%' and its escapes among it, stays as written.
std::wstring linkForShell(const std::wstring& link);

#pragma once
// 8-bit element text to wide text in the document's declared encoding.
#include <string>

// The text ends at its first NUL byte; bytes that are not valid in the code
// page are replaced as the platform's conversion replaces them.
std::wstring decodeText(const std::string& text, const std::string& encodingName);

#pragma once
// Paths the tests need, in the form Windows calls accept under Wine too.
#include <string>

// A build-time path ("/work/x" under Wine becomes "Z:\work\x").
std::wstring windowsPath(const char* buildPath);
std::wstring dllPath();

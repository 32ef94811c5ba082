// The identity record, read through the real DLL's export as the host reads it.
#include <objbase.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "PluginLibrary.h"
#include "TestPaths.h"

namespace {

template <typename T>
T at(const uint8_t* bytes, size_t offset)
{
    T value;
    memcpy(&value, bytes + offset, sizeof value);
    return value;
}

std::wstring textAt(const uint8_t* bytes, size_t offset)
{
    const wchar_t* text = at<const wchar_t*>(bytes, offset);
    return text ? std::wstring(text) : std::wstring(L"<null>");
}

TEST(PluginInfo, RecordBytesAsTheHostReadsThem)
{
    PluginLibrary dll;
    ASSERT_NE(dll.module(), nullptr) << "LoadLibrary failed: " << GetLastError();
    using Query = const void* (*)();
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(dll.exported("queryPlugInfo")));
    ASSERT_NE(query, nullptr);
    auto bytes = static_cast<const uint8_t*>(query());

    EXPECT_EQ(at<uint32_t>(bytes, 0), 128u);
    EXPECT_EQ(at<uint32_t>(bytes, 4), 0u);
    EXPECT_EQ(textAt(bytes, 8), L"quillFeed");
    EXPECT_EQ(textAt(bytes, 16), L"RSS");
    for (size_t offset : {24, 32, 40, 48}) {
        std::wstring text = textAt(bytes, offset);
        EXPECT_FALSE(text.empty()) << offset;
        EXPECT_NE(text, L"<null>") << offset;
    }
    EXPECT_NE(textAt(bytes, 24).find(L"quillFeed"), std::wstring::npos);
    EXPECT_EQ(textAt(bytes, 56), L"");
    EXPECT_EQ(at<uint32_t>(bytes, 64), 1200u);
    EXPECT_EQ(at<uint32_t>(bytes, 68), 0x00020000u);
    EXPECT_EQ(at<uint32_t>(bytes, 72), 0x00020000u);
    EXPECT_EQ(at<uint32_t>(bytes, 76), 0u);
    EXPECT_EQ(at<uint32_t>(bytes, 80), 10u);
    EXPECT_EQ(at<uint32_t>(bytes, 84), 0u);
    EXPECT_EQ(at<uint64_t>(bytes, 88), 0u);
    std::wstring guid = textAt(bytes, 96);
    ASSERT_EQ(guid.size(), 38u);
    EXPECT_EQ(guid.front(), L'{');
    EXPECT_EQ(guid.back(), L'}');
    CLSID parsed;
    EXPECT_EQ(CLSIDFromString(guid.c_str(), &parsed), NOERROR) << "not a GUID in registry form";
    for (size_t offset = 104; offset < 128; ++offset)
        EXPECT_EQ(bytes[offset], 0) << offset;
}

TEST(PluginInfo, DllCarriesItsPictureAndIcons)
{
    PluginLibrary dll;
    ASSERT_NE(dll.module(), nullptr);
    HRSRC png = FindResourceW(dll.module(), MAKEINTRESOURCEW(107), L"PNG");
    ASSERT_NE(png, nullptr);
    auto data = static_cast<const uint8_t*>(LockResource(LoadResource(dll.module(), png)));
    ASSERT_GT(SizeofResource(dll.module(), png), 24u);
    EXPECT_EQ(memcmp(data, "\x89PNG\r\n\x1a\n", 8), 0);
    EXPECT_EQ(at<uint32_t>(data, 16), 0x10000000u); // width 16, big-endian
    EXPECT_EQ(at<uint32_t>(data, 20), 0x10000000u); // height 16
    for (int id : {104, 105, 108}) {
        HICON icon = static_cast<HICON>(LoadImageW(dll.module(), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
        ASSERT_NE(icon, nullptr) << id;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap{};
        GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, 16) << id;
        EXPECT_EQ(bitmap.bmHeight, 16) << id;
        EXPECT_EQ(bitmap.bmBitsPixel, 32) << id;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST(PluginInfo, DllHasVersionResource)
{
    std::wstring path = dllPath();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_GE(HIWORD(fixed->dwFileVersionMS), 1);
}

} // namespace

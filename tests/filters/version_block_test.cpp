// The module's version block, as Explorer and the filter tools read it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filter_test_support.h"

using namespace filtertest;

namespace {

TEST(VersionBlock, StringTable040904e4) {
    const wchar_t* path = FilterModule::instance().path();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
    const struct {
        const wchar_t* name;
        const wchar_t* value;
    } entries[] = {
        {L"ActiveMovie", L"Filter dll"},    {L"FileDescription", L"Nerro VRenderer v1"},
        {L"FileVersion", L"1.00"},          {L"ProductVersion", L"1.00"},
        {L"InternalName", L"nerrorend.ax"}, {L"OriginalFilename", L"nerrorend.ax"},
        {L"OLESelfRegister", L"AM20"},      {L"ProductName", L"Nerro Video Renderer"},
    };
    for (const auto& entry : entries) {
        std::wstring query = std::wstring(L"\\StringFileInfo\\040904e4\\") + entry.name;
        wchar_t* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(
            VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
            << std::string(query.begin(), query.end());
        EXPECT_STREQ(value, entry.value);
    }
}

} // namespace

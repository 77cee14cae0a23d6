#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "rtl/codepage.h"
#include "support/process.h"
#include "win/kernel.h"

TEST(GetFullPathNameA, ResolvesAgainstTheCurrentFolderOnTheTextAlone) {
    testproc::TempDir dir;
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::create_directory(dir.path / "表");
    ASSERT_EQ(SetCurrentDirectoryA(Utf8ToAnsi((dir.path / "表").string()).c_str()), TRUE);
    const std::string here = (dir.path / "表").string();
    struct Case { const char* name; std::string full; } cases[] = {
        {"a.htm", here + "/a.htm"},
        {"doc/../b.htm", here + "/b.htm"},
        {"./c/d.txt", here + "/c/d.txt"},
        {"../x.htm", dir.path.string() + "/x.htm"},
        {"/abs/./y.htm", "/abs/y.htm"},
        {"missing/z.htm", here + "/missing/z.htm"},  // nothing needs to exist
    };
    for (const Case& c : cases) {
        char buffer[260];
        char* filePart = nullptr;
        DWORD n = GetFullPathNameA(Utf8ToAnsi(c.name).c_str(), sizeof buffer, buffer, &filePart);
        EXPECT_EQ(AnsiToUtf8(AnsiString(buffer, static_cast<int>(n))), c.full) << c.name;
        EXPECT_STREQ(filePart, std::filesystem::path(c.full).filename().c_str()) << c.name;
    }
    char tiny[4];
    EXPECT_GT(GetFullPathNameA("a.htm", sizeof tiny, tiny, nullptr), sizeof tiny);  // the size needed
    EXPECT_EQ(GetFullPathNameA("", sizeof tiny, tiny, nullptr), 0u);
    std::filesystem::current_path(before);
}

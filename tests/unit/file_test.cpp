// CopyFileA and CreateFileA: a copy never leaves a torn or half-made target, refuses what
// Windows refuses, and nothing waits on a pipe.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/process.h"
#include "win/file.h"

namespace fs = std::filesystem;

namespace {

class FileTest : public ::testing::Test {
protected:
    fs::path Make(const std::string& name, const std::string& bytes, mode_t mode = 0644) {
        fs::path path = tmp.path / name;
        testproc::WriteFile(path, bytes);
        chmod(path.c_str(), mode);
        return path;
    }
    mode_t Mode(const fs::path& path) {
        struct stat st {};
        stat(path.c_str(), &st);
        return st.st_mode & 07777;
    }
    // The folder holds exactly these names (no temporary file left behind).
    std::size_t Entries() {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(tmp.path), fs::directory_iterator()));
    }
    testproc::TempDir tmp;
};

TEST_F(FileTest, CopyCreatesOrReplacesWithTheSourcesPermissions) {
    fs::path src = Make("prog", "#!/bin/sh\n", 0755);
    fs::path dst = tmp.path / "copy";
    ASSERT_TRUE(CopyFileA(src.c_str(), dst.c_str(), FALSE));
    EXPECT_EQ(testproc::ReadFile(dst), "#!/bin/sh\n");
    EXPECT_EQ(Mode(dst), 0755u);
    Make("old", "an older and longer text", 0600);
    ASSERT_TRUE(CopyFileA(src.c_str(), (tmp.path / "old").c_str(), FALSE));
    EXPECT_EQ(testproc::ReadFile(tmp.path / "old"), "#!/bin/sh\n");
    EXPECT_EQ(Mode(tmp.path / "old"), 0755u);  // a launcher copied over a plain file can run
    EXPECT_EQ(Entries(), 3u);
    // A copy onto itself keeps the content.
    ASSERT_TRUE(CopyFileA(src.c_str(), src.c_str(), FALSE));
    EXPECT_EQ(testproc::ReadFile(src), "#!/bin/sh\n");
}

TEST_F(FileTest, RefusedCopiesLeaveTheTargetAsItWas) {
    fs::path src = Make("src", "new");
    fs::create_directories(tmp.path / "folder");
    mkfifo((tmp.path / "pipe").c_str(), 0600);
    Make("kept", "old");
    Make("readonly", "old", 0444);
    const struct {
        fs::path From, To;
        BOOL FailIfExists;
        DWORD Error;
    } cases[] = {
        {src, tmp.path / "kept", TRUE, ERROR_FILE_EXISTS},
        {src, tmp.path / "readonly", FALSE, ERROR_ACCESS_DENIED},
        {src, tmp.path / "folder", FALSE, ERROR_ACCESS_DENIED},
        {tmp.path / "missing", tmp.path / "kept", FALSE, ERROR_FILE_NOT_FOUND},
        {tmp.path / "folder", tmp.path / "kept", FALSE, ERROR_ACCESS_DENIED},
        {tmp.path / "pipe", tmp.path / "kept", FALSE, ERROR_ACCESS_DENIED},  // never waited on
    };
    const std::size_t entries = Entries();
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(CopyFileA(c.From.c_str(), c.To.c_str(), c.FailIfExists)) << c.From << " " << c.To;
        EXPECT_EQ(GetLastError(), c.Error) << c.From << " " << c.To;
    }
    EXPECT_FALSE(CopyFileA(src.c_str(), (tmp.path / "missing/x").c_str(), FALSE));
    EXPECT_EQ(testproc::ReadFile(tmp.path / "kept"), "old");
    EXPECT_EQ(testproc::ReadFile(tmp.path / "readonly"), "old");
    EXPECT_EQ(Entries(), entries);
}

TEST_F(FileTest, ALinkedTargetHasItsFileReplaced) {
    fs::path src = Make("src", "new");
    fs::path real = Make("real", "old");
    fs::create_symlink(real, tmp.path / "link");
    ASSERT_TRUE(CopyFileA(src.c_str(), (tmp.path / "link").c_str(), FALSE));
    EXPECT_TRUE(fs::is_symlink(tmp.path / "link"));
    EXPECT_EQ(testproc::ReadFile(real), "new");
}

// A dangling link gets the file that it names made, as opening it for writing does, and stays a
// link; a loop of links is refused and stays as it was.
TEST_F(FileTest, ADanglingLinkedTargetGetsItsFileMadeAndALoopIsRefused) {
    fs::path src = Make("src", "new");
    fs::create_directories(tmp.path / "elsewhere");
    fs::create_symlink(tmp.path / "elsewhere" / "copy", tmp.path / "link");
    ASSERT_TRUE(CopyFileA(src.c_str(), (tmp.path / "link").c_str(), FALSE));
    EXPECT_TRUE(fs::is_symlink(tmp.path / "link"));
    EXPECT_EQ(testproc::ReadFile(tmp.path / "elsewhere" / "copy"), "new");

    fs::create_symlink("loop2", tmp.path / "loop1");
    fs::create_symlink("loop1", tmp.path / "loop2");
    SetLastError(0);
    EXPECT_FALSE(CopyFileA(src.c_str(), (tmp.path / "loop1").c_str(), FALSE));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_TRUE(fs::is_symlink(tmp.path / "loop1"));
    EXPECT_EQ(Entries(), 5u);
}

TEST_F(FileTest, OnlyRegularFilesOpen) {
    mkfifo((tmp.path / "pipe").c_str(), 0600);
    fs::create_directories(tmp.path / "folder");
    for (const char* name : {"pipe", "folder", "missing"}) {
        const std::string path = (tmp.path / name).string();
        EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr),
                  INVALID_HANDLE_VALUE) << name;
        if (std::string(name) != "missing") {
            EXPECT_EQ(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
                      INVALID_HANDLE_VALUE) << name;
        }
    }
    HANDLE file = CreateFileA((tmp.path / "new").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD n = 0, high = 7;
    EXPECT_TRUE(WriteFile(file, "abc", 3, &n, nullptr));
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(GetFileSize(file, &high), 3u);
    EXPECT_EQ(high, 0u);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
}

}  // namespace

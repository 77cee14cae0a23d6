// The shell's file operation beyond what Stdfiles asks of it: wildcards, the refusals, and
// deletion for good without undo.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "rtl/codepage.h"
#include "support/process.h"
#include "win/shellapi.h"

namespace fs = std::filesystem;

namespace {

class FileOperationTest : public ::testing::Test {
protected:
    int Run(UINT func, const std::string& from, const std::string& to = "", WORD flags = FOF_ALLOWUNDO) {
        std::string f = Utf8ToAnsi(from).str() + std::string(2, '\0');
        std::string t = Utf8ToAnsi(to).str() + std::string(2, '\0');
        SHFILEOPSTRUCTA op{};
        op.wFunc = func;
        op.pFrom = f.c_str();
        op.pTo = to.empty() ? nullptr : t.c_str();
        op.fFlags = flags;
        return SHFileOperationA(&op);
    }
    fs::path Make(const std::string& name, const std::string& bytes = "x") {
        fs::path path = tmp.path / name;
        fs::create_directories(path.parent_path());
        testproc::WriteFile(path, bytes);
        return path;
    }
    testproc::TempDir tmp;
};

TEST_F(FileOperationTest, WildcardsInTheLastPartExpand) {
    Make("src/a.txt");
    Make("src/b.txt");
    Make("src/.h.txt");
    Make("src/c.dat");
    fs::create_directories(tmp.path / "dst");
    EXPECT_EQ(Run(FO_COPY, (tmp.path / "src/*.txt").string(), (tmp.path / "dst").string()), 0);
    EXPECT_TRUE(fs::exists(tmp.path / "dst/a.txt"));
    EXPECT_TRUE(fs::exists(tmp.path / "dst/b.txt"));
    EXPECT_TRUE(fs::exists(tmp.path / "dst/.h.txt"));  // hidden files are matched too
    EXPECT_FALSE(fs::exists(tmp.path / "dst/c.dat"));
    EXPECT_EQ(Run(FO_COPY, (tmp.path / "src/*.none").string(), (tmp.path / "dst").string()), 2);
}

TEST_F(FileOperationTest, Refusals) {
    Make("dir/a.txt");
    Make("file");
    EXPECT_EQ(Run(FO_COPY, (tmp.path / "dir/a.txt").string(), (tmp.path / "dir/a.txt").string()), DE_SAMEFILE);
    EXPECT_EQ(Run(FO_COPY, (tmp.path / "dir").string(), (tmp.path / "dir/inner").string()), DE_DESTSUBTREE);
    EXPECT_FALSE(fs::exists(tmp.path / "dir/inner"));
    std::string two = (tmp.path / "dir/a.txt").string() + std::string(1, '\0') + (tmp.path / "file").string();
    EXPECT_EQ(Run(FO_COPY, two, (tmp.path / "file").string()), DE_FLDDESTISFILE);
    EXPECT_EQ(Run(FO_RENAME, two, (tmp.path / "x").string()), DE_MANYSRC1DEST);
    EXPECT_EQ(Run(FO_DELETE, "/"), DE_ROOTDIR);
    EXPECT_EQ(Run(FO_COPY, ""), DE_INVALIDFILES);
    EXPECT_EQ(Run(FO_COPY, (tmp.path / "file").string()), DE_INVALIDFILES);  // no target
    EXPECT_NE(SHFileOperationA(nullptr), 0);
}

TEST_F(FileOperationTest, DeleteWithoutUndoRemovesForGood) {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string old = data ? data : "";
    setenv("XDG_DATA_HOME", (tmp.path / "data").c_str(), 1);
    Make("tree/a/b.txt");
    int r = Run(FO_DELETE, (tmp.path / "tree").string(), "", 0);
    if (data) setenv("XDG_DATA_HOME", old.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(r, 0);
    EXPECT_FALSE(fs::exists(tmp.path / "tree"));
    EXPECT_FALSE(fs::exists(tmp.path / "data/Trash/files/tree"));
}

}  // namespace

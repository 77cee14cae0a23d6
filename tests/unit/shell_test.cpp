// ShellExecuteA, SetCurrentDirectoryA and the Windows argument rules, with a recording stand-in
// for the desktop's opener first on PATH.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/fake_xdg_open.h"
#include "rtl/codepage.h"
#include "support/process.h"
#include "win/cmdline.h"
#include "win/kernel.h"
#include "win/shell.h"

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

namespace {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakeopen::Install(tmp.path / "bin");
        fs::create_directories(docs);
        oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        setenv("PATH", ((tmp.path / "bin").string() + ":" + oldPath).c_str(), 1);
        setenv("FAKE_XDG_OPEN_LOG", log.c_str(), 1);
        oldCwd = fs::current_path();
        fs::current_path(docs);
    }
    void TearDown() override {
        fs::current_path(oldCwd);
        setenv("PATH", oldPath.c_str(), 1);
        unsetenv("FAKE_XDG_OPEN_LOG");
    }

    // Creates a file under docs from a UTF-8 name; returns its absolute path.
    fs::path MakeFile(const std::string& name, const std::string& bytes = "text", bool exec = false) {
        fs::path path = docs / name;
        testproc::WriteFile(path, bytes);
        if (exec) fs::permissions(path, fs::perms::owner_exec, fs::perm_options::add);
        return path;
    }
    HINSTANCE Open(const std::string& utf8Name, const char* verb = nullptr,
                   const char* parameters = nullptr, const char* directory = nullptr) {
        return ShellExecuteA(nullptr, verb, Utf8ToAnsi(utf8Name).c_str(), parameters, directory,
                             SW_SHOWNORMAL);
    }
    bool AnythingPwned() {
        for (auto& e : fs::recursive_directory_iterator(tmp.path))
            if (e.path().filename().string().find("pwned") == 0) return true;
        return fs::exists(oldCwd / "pwned");
    }

    testproc::TempDir tmp;
    fs::path docs = tmp.path / "docs";
    fs::path log = tmp.path / "open.log";
    std::string oldPath;
    fs::path oldCwd;
};

TEST_F(ShellTest, ADocumentGoesToTheOpenerAsOneAbsoluteArgument) {
    const Strings names = {"a b.txt",   "q\"uote.txt", "semi;colon.txt", "$(touch pwned).txt",
                           "amp&.txt",  "-n.txt",      "`touch pwned2`", "表ソ.txt"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        fs::path path = MakeFile(names[i]);
        ASSERT_GT(Open(names[i]), 32) << names[i];
        auto records = fakeopen::WaitForRecords(log, i + 1);
        ASSERT_EQ(records.size(), i + 1) << names[i];
        const auto& r = records.back();
        EXPECT_EQ(r.prog, (tmp.path / "bin/xdg-open").string());
        EXPECT_EQ(r.args, Strings{path.string()}) << names[i];
        EXPECT_EQ(r.cwd, docs.string());
        EXPECT_EQ(r.stdinTarget, "/dev/null");
        EXPECT_NE(r.ppid, getpid()) << "the opener must not be our child";
    }
    EXPECT_FALSE(AnythingPwned());
    // The intermediate process is reaped at once: no child of ours is left.
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(ShellTest, ARelativeNameIsTakenFromTheGivenFolderWhichTheOpenerRunsIn) {
    fs::create_directories(tmp.path / "root/sub");
    testproc::WriteFile(tmp.path / "root/sub/page.html", "<html>");
    std::string root = (tmp.path / "root").string();
    ASSERT_GT(Open("sub/page.html", "open", nullptr, root.c_str()), 32);
    auto records = fakeopen::WaitForRecords(log, 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].args, Strings{root + "/sub/page.html"});
    EXPECT_EQ(records[0].cwd, root);
}

TEST_F(ShellTest, AScriptWithExecuteBitIsStartedDirectlyWithItsParameters) {
    fs::path prog = docs / "my prog.sh";
    fakeopen::CopyScript(prog);  // a "#!" script that records how it was started
    ASSERT_GT(Open("my prog.sh", nullptr, "one \"two three\" $(touch pwned) a\\\"b"), 32);
    auto records = fakeopen::WaitForRecords(log, 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].prog, prog.string());
    EXPECT_EQ(records[0].args, (Strings{"one", "two three", "$(touch", "pwned)", "a\"b"}));
    EXPECT_FALSE(AnythingPwned());
}

TEST_F(ShellTest, AnElfProgramIsStartedDirectlyInTheGivenFolder) {
    fs::create_directories(tmp.path / "tools");
    fs::copy_file("/usr/bin/touch", tmp.path / "tools/my touch");
    std::string folder = tmp.path.string();
    ASSERT_GT(Open("tools/my touch", "open", "made.txt", folder.c_str()), 32);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(tmp.path / "made.txt") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(fs::exists(tmp.path / "made.txt"));
}

TEST_F(ShellTest, AnExecuteBitAloneDoesNotMakeAProgram) {
    fs::path path = MakeFile("readme.txt", "echo pwned > pwned\n", /*exec=*/true);
    ASSERT_GT(Open("readme.txt"), 32);
    auto records = fakeopen::WaitForRecords(log, 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].prog, (tmp.path / "bin/xdg-open").string());
    EXPECT_EQ(records[0].args, Strings{path.string()});
    EXPECT_FALSE(AnythingPwned());
}

TEST_F(ShellTest, FailuresStartNothing) {
    const testproc::OrphanAdoption adoption;  // every opener started becomes ours once it runs
    ASSERT_TRUE(adoption.On());
    MakeFile("there.txt");
    fs::create_directories(tmp.path / "empty");
    struct Case {
        const char* what;
        std::string file;
        const char* verb;
        bool openerOnPath;
        HINSTANCE expected;
    } cases[] = {
        {"missing file", "missing.txt", nullptr, true, SE_ERR_FNF},
        {"missing file, open", "missing.txt", "open", true, SE_ERR_FNF},
        {"empty name", "", nullptr, true, SE_ERR_FNF},
        {"verb without action", "there.txt", "print", true, SE_ERR_NOASSOC},
        {"no opener on PATH", "there.txt", nullptr, false, SE_ERR_NOASSOC},
    };
    for (auto& c : cases) {
        std::string path = c.openerOnPath ? std::getenv("PATH") : (tmp.path / "empty").string();
        std::string saved = std::getenv("PATH");
        setenv("PATH", path.c_str(), 1);
        EXPECT_EQ(Open(c.file, c.verb), c.expected) << c.what;
        setenv("PATH", saved.c_str(), 1);
    }
    // A start after them is the only one recorded, once every opener started has ended.
    ASSERT_GT(Open("there.txt"), 32);
    ASSERT_TRUE(testproc::WaitForNoChildren());
    auto records = fakeopen::ReadRecords(log);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].args, Strings{(docs / "there.txt").string()});
}

TEST_F(ShellTest, SetCurrentDirectoryTakesCodePage932Paths) {
    // "ソ" is 0x83 0x5C in code page 932: its second byte is a backslash.
    fs::path japanese = tmp.path / "表ソ";
    fs::create_directories(japanese);
    EXPECT_TRUE(SetCurrentDirectoryA(Utf8ToAnsi(japanese.string()).c_str()));
    EXPECT_EQ(fs::current_path(), japanese);
    EXPECT_FALSE(SetCurrentDirectoryA(Utf8ToAnsi((tmp.path / "missing").string()).c_str()));
    EXPECT_EQ(fs::current_path(), japanese);
}

TEST(CommandLineTest, SplitsByTheWindowsRules) {
    struct Case { const char* text; Strings args; } cases[] = {
        {"", {}},
        {"  a \t b  ", {"a", "b"}},
        {"\"a b\" c", {"a b", "c"}},
        {"x\"a b\"y", {"xa by"}},
        {"\"\"", {""}},
        {"a\\b c\\\\d", {"a\\b", "c\\\\d"}},          // backslashes before no quote are literal
        {"a\\\"b", {"a\"b"}},                          // 2n+1 backslashes: a literal quote
        {"\"a\\\\\" b", {"a\\", "b"}},                 // 2n backslashes: the quote closes
        {"\"a\"\"b\" c", {"a\"b", "c"}},               // "" inside quotes: one quote
        {"\"open to the end", {"open to the end"}},
        {"表ソ\"x y\"", {"表ソx y"}},
    };
    for (auto& c : cases) EXPECT_EQ(SplitCommandLineArguments(c.text), c.args) << c.text;
}

}  // namespace

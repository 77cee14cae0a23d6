// ShellExecuteA, SetCurrentDirectoryA and the Windows argument rules, with a recording stand-in
// for the desktop's opener first on PATH, and the help through the desktop's real opener.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "e2e/fake_xdg_open.h"
#include "rtl/codepage.h"
#include "support/process.h"
#include "win/cmdline.h"
#include "win/kernel.h"
#include "win/programs.h"
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
        {"address, verb without action", "https://example.org/", "print", true, SE_ERR_NOASSOC},
        {"address, no opener on PATH", "https://example.org/", nullptr, false, SE_ERR_NOASSOC},
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

TEST_F(ShellTest, AnAddressGoesToTheOpenerUnchanged) {
    fs::create_directories(tmp.path / "root");
    const std::string root = (tmp.path / "root").string();
    const struct {
        std::string address;  // UTF-8 here, code page 932 to the call
        const char* verb;
        const char* directory;
    } cases[] = {
        {"https://example.org/start.html", nullptr, nullptr},
        {"HTTP://Example.org/a%20b?q=1&r=$(touch pwned)#top", "open", nullptr},
        {"mailto:author@example.org?subject=ディスクの案内", "OPEN", nullptr},
        {"File:///srv/disc/readme.txt", nullptr, nullptr},
        {"x-help+2.0:topic", nullptr, nullptr},             // any scheme of letters, digits, "+-."
        {"ab:cd", nullptr, nullptr},                        // two letters already make a scheme
        {"https://example.org/", nullptr, root.c_str()},   // the folder is where the opener runs
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        ASSERT_GT(Open(c.address, c.verb, "ignored parameters", c.directory), 32) << c.address;
        auto records = fakeopen::WaitForRecords(log, i + 1);
        ASSERT_EQ(records.size(), i + 1) << c.address;
        const auto& r = records.back();
        EXPECT_EQ(r.prog, (tmp.path / "bin/xdg-open").string()) << c.address;
        EXPECT_EQ(r.args, Strings{c.address});
        EXPECT_EQ(r.cwd, c.directory ? root : docs.string()) << c.address;
        EXPECT_EQ(r.stdinTarget, "/dev/null");
        EXPECT_NE(r.ppid, getpid()) << "the opener must not be our child";
    }
    EXPECT_FALSE(AnythingPwned());
}

// A program that happens to lie where an address would lead as a relative path is not started.
TEST_F(ShellTest, AnAddressNeverStartsAProgram) {
    fs::create_directories(docs / "https:/example.org");
    fakeopen::CopyScript(docs / "https:/example.org/start.html");
    fakeopen::CopyScript(docs / "setup:run.sh");
    const Strings addresses = {"https://example.org/start.html", "setup:run.sh"};
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        ASSERT_GT(Open(addresses[i]), 32) << addresses[i];
        auto records = fakeopen::WaitForRecords(log, i + 1);
        ASSERT_EQ(records.size(), i + 1) << addresses[i];
        EXPECT_EQ(records.back().prog, (tmp.path / "bin/xdg-open").string()) << addresses[i];
        EXPECT_EQ(records.back().args, Strings{addresses[i]});
    }
}

// Names without a scheme are files, as before: one letter before ":" is a drive on Windows,
// and a scheme begins with a letter and holds no other signs.
TEST_F(ShellTest, ANameWithoutASchemeIsAFile) {
    const Strings names = {"c:readme.txt", "C:\\readme.txt", "1ab:c.txt", "a_b:c.txt", ":x.txt",
                           "表:x.txt"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(Open(names[i]), SE_ERR_FNF) << names[i] << " while it is missing";
        fs::path path = MakeFile(names[i]);
        ASSERT_GT(Open(names[i]), 32) << names[i];
        auto records = fakeopen::WaitForRecords(log, i + 1);
        ASSERT_EQ(records.size(), i + 1) << names[i];
        EXPECT_EQ(records.back().args, Strings{path.string()});
    }
}

const std::string kHelpPage =
    "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\"><title>取扱説明書</title>"
    "</head><body><p>取扱説明書</p></body></html>\n";

// Linux viewers type a file by its name, and know no Windows help file: a help written as a
// web page goes to the opener as its copy beside it named for what it is.
TEST_F(ShellTest, AHelpWrittenAsAWebPageOpensAsItsWebPageCopy) {
    const struct {
        const char* what;
        std::string name, content;
        bool withCopy;  // name + ".html" beside it
        std::string opened;
    } cases[] = {
        {"the help and its copy", "Varnith2.hlp", kHelpPage, true, "Varnith2.hlp.html"},
        {"suffix in capitals, a byte-order mark and blanks first", "HELP.HLP",
         "\xEF\xBB\xBF \r\n<HTML><body>x</body></HTML>", true, "HELP.HLP.html"},
        {"no copy beside it", "alone.hlp", kHelpPage, false, "alone.hlp"},
        {"a Windows help file", "win.hlp", std::string("\x3F\x5F\x03\x00\x10\x01\x00\x00", 8), true,
         "win.hlp"},
        {"plain text", "text.hlp", "help\n", true, "text.hlp"},
        {"an empty file", "empty.hlp", "", true, "empty.hlp"},
        {"a web page of another suffix", "page.htm", kHelpPage, true, "page.htm"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        MakeFile(c.name, c.content);
        if (c.withCopy) MakeFile(c.name + ".html", kHelpPage);
        ASSERT_GT(Open(c.name, "open"), 32) << c.what;
        auto records = fakeopen::WaitForRecords(log, i + 1);
        ASSERT_EQ(records.size(), i + 1) << c.what;
        EXPECT_EQ(records.back().args, Strings{(docs / c.opened).string()}) << c.what;
    }
}

// Puts variables into this process's environment (for the processes it starts) while it lives.
class TScopedEnvironment {
public:
    explicit TScopedEnvironment(const std::map<std::string, std::string>& vars) {
        for (const auto& [name, value] : vars) {
            const char* old = std::getenv(name.c_str());
            FOld.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            setenv(name.c_str(), value.c_str(), 1);
        }
    }
    ~TScopedEnvironment() {
        for (const auto& [name, value] : FOld) {
            if (value) setenv(name.c_str(), value->c_str(), 1);
            else unsetenv(name.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> FOld;
};

// The shipped help, opened with "open" as the editor's help command does, through the real
// xdg-open: on GNOME and Xfce it hands the file to gio, which types it by its name first, and
// without a desktop it asks the MIME database itself. Each must reach the default viewer of
// web pages.
TEST(DesktopOpenerTest, TheShippedHelpReachesTheDesktopsViewerOfWebPages) {
    if (!FindOnPath("xdg-open") || !FindOnPath("gio"))
        GTEST_SKIP() << "xdg-open (xdg-utils) or gio (libglib2.0-bin) is not installed";
    for (const char* desktop : {"GNOME", "XFCE", ""}) {
        SCOPED_TRACE(std::string("desktop \"") + desktop + "\"");
        testproc::TempDir tmp;
        const fs::path folder = tmp.path / "editor", log = tmp.path / "viewed.log";
        fs::create_directories(folder);
        // The help beside the editor as the build ships it: under its own name and as a web page.
        const fs::path help = fs::path(VARNITH_SOURCE_DIR) / "resources/Varnith2.hlp";
        fs::copy_file(help, folder / "Varnith2.hlp");
        fs::copy_file(help, folder / "Varnith2.hlp.html");

        std::map<std::string, std::string> vars = fakeopen::DesktopWithViewer(tmp.path, "text/html", log);
        vars["XDG_CURRENT_DESKTOP"] = desktop;
        // No X display to look at for signs of a desktop; the opener without a desktop asks for
        // the default application only when there is some display, which nothing here uses.
        vars["DISPLAY"] = "";
        vars["WAYLAND_DISPLAY"] = "varnith-test-unused";
        TScopedEnvironment environment(vars);

        const std::string path = (folder / "Varnith2.hlp").string();
        ASSERT_GT(ShellExecuteA(nullptr, "open", Utf8ToAnsi(path).c_str(), nullptr, nullptr, SW_SHOW), 32);
        auto records = fakeopen::WaitForRecords(log, 1, std::chrono::seconds(20));
        ASSERT_EQ(records.size(), 1u) << "the viewer was not started";
        EXPECT_EQ(records[0].prog, (tmp.path / "bin/viewer").string());
        EXPECT_EQ(records[0].args, Strings{(folder / "Varnith2.hlp.html").string()});
    }
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

// The Stdfiles unit: text files byte for byte, file sizes, the size split, file enumeration, and
// the process, search, registry, folder and file-operation helpers, all in temporary folders
// (the XDG folders and HOME point there, so the user's own are never touched).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Stdfiles.h"
#include "e2e/fake_xdg_open.h"
#include "rtl/codepage.h"
#include "rtl/consts.h"
#include "rtl/findfile.h"
#include "rtl/registry.h"
#include "rtl/sysutils.h"
#include "support/pipe.h"
#include "support/process.h"
#include "support/writers.h"
#include "vcl/forms.h"
#include "vcl/loop.h"
#include "vcl/timers.h"
#include "win/kernel.h"

namespace fs = std::filesystem;
using namespace Stdfiles;

namespace {

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
}

AnsiString Ansi(const fs::path& path) { return Utf8ToAnsi(path.string()); }

// Sets environment variables for the test's life and puts the old values back.
class ScopedEnv {
public:
    void Set(const char* name, const std::string& value) {
        Save(name);
        setenv(name, value.c_str(), 1);
    }
    void Unset(const char* name) {
        Save(name);
        unsetenv(name);
    }
    ~ScopedEnv() {
        for (auto& [name, value] : FOld) {
            if (value) setenv(name.c_str(), value->c_str(), 1);
            else unsetenv(name.c_str());
        }
    }

private:
    void Save(const char* name) {
        if (FOld.count(name)) return;
        const char* v = std::getenv(name);
        FOld[name] = v ? std::optional<std::string>(v) : std::nullopt;
    }
    std::map<std::string, std::optional<std::string>> FOld;
};

class StdfilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Nothing of the user's: home, configuration (the registry store), data (the Trash).
        env.Set("HOME", (tmp.path / "home").string());
        env.Set("XDG_CONFIG_HOME", (tmp.path / "config").string());
        env.Set("XDG_DATA_HOME", (tmp.path / "data").string());
        fs::create_directories(dir);
        oldCwd = fs::current_path();
        fs::current_path(dir);
    }
    void TearDown() override { fs::current_path(oldCwd); }

    fs::path Make(const std::string& name, const std::string& bytes = "x") {
        fs::path path = dir / name;
        fs::create_directories(path.parent_path());
        testproc::WriteFile(path, bytes);
        return path;
    }

    testproc::TempDir tmp;
    ScopedEnv env;
    fs::path dir = tmp.path / "work";
    fs::path oldCwd;
};

// ---- 8-bit text files ---------------------------------------------------------------------------

struct TLines {
    std::string In, Out;
};

const TLines kLines[] = {
    {"a\nb", "a\r\nb\r\n"},
    {"", ""},
    {"a\r\nb\r\n", "a\r\nb\r\n"},
    {"a\rb", "a\r\nb\r\n"},
    {"a\r\r\nb", "a\r\n\r\nb\r\n"},
    {"a\n\nb", "a\r\n\r\nb\r\n"},
    {"\r\n", "\r\n"},
    {std::string("a\0b\n", 4), "a\r\n"},  // a NUL ends the text
    {"\x95\x5C\n", "\x95\x5C\r\n"},         // a double-byte character is kept as it stands
};

TEST_F(StdfilesTest, SaveToFiletxtEndsEveryLineWithCrLf) {
    for (const TLines& c : kLines) {
        fs::path path = dir / "out.txt";
        Make("out.txt", "old content that must go");
        EXPECT_TRUE(SaveToFiletxt(Ansi(path), AnsiString(c.In))) << c.In;
        EXPECT_EQ(testproc::ReadFile(path), c.Out) << c.In;
    }
}

TEST_F(StdfilesTest, LoadFromFiletxtGivesEveryLineWithCrLf) {
    for (const TLines& c : kLines) {
        fs::path path = Make("in.txt", c.In);
        EXPECT_EQ(LoadFromFiletxt(Ansi(path)).str(), c.Out) << c.In;
    }
}

TEST_F(StdfilesTest, SaveToFiletxtReportsFailureWithoutRaising) {
    fs::create_directories(dir / "folder");
    for (const fs::path& target : {dir / "missing" / "x.txt", dir / "folder"}) {
        bool result = true;
        EXPECT_NO_THROW(result = SaveToFiletxt(Ansi(target), "text"));
        EXPECT_FALSE(result) << target;
    }
}

// A write that fails part-way (here at the file-size limit of a child process) leaves the old file
// whole and nothing beside it; a write that succeeds keeps the old file's permission bits.
TEST_F(StdfilesTest, TextFileWritersKeepTheOldFileWholeWhenTheWriteFails) {
    const fs::path path = Make("keep.txt", "the old content\r\n");
    fs::permissions(path, fs::perms(0640));
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        const AnsiString text(std::string(1000, 'x'));
        const bool saved = SaveToFiletxt(Ansi(path), text);
        bool raised = false;
        TStringList list;
        list.SetText(text);
        try {
            list.SaveToFile(Ansi(path));
        } catch (const EFCreateError&) {
            raised = true;
        }
        _exit(!saved && raised ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a failed write was reported as done";
    EXPECT_EQ(testproc::ReadFile(path), "the old content\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    EXPECT_TRUE(SaveToFiletxt(Ansi(path), "new"));
    EXPECT_EQ(testproc::ReadFile(path), "new\r\n");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
}

// Where SaveToFiletxt writes, as a user to whom permission bits apply: "open" is a folder that
// takes new files, "shut" one that takes none, "other" a folder elsewhere. A file is replaced in one
// step (a new file takes the old one's name) wherever its folder takes a new file; a writable file
// in a folder that takes none is emptied and written where it stands; a symbolic link is written
// through to its file, which a dangling link makes, and stays a link.
class SaveToFiletxtTest : public StdfilesTest {
protected:
    enum THow { Replaced, InPlace, Made, Failed };

    void SetUp() override {
        StdfilesTest::SetUp();
        for (const char* folder : {"open", "shut", "other"}) fs::create_directories(dir / folder);
        for (const char* file : {"open/plain.txt", "shut/shared.txt", "shut/near.txt", "shut/locked.txt",
                                 "other/linked.txt", "other/fromshut.txt"})
            Make(file, kOld);
        const std::pair<const char*, const char*> links[] = {
            {"open/link.txt", "../other/linked.txt"},  {"open/dangling.txt", "../other/new.txt"},
            {"shut/link.txt", "../other/fromshut.txt"}, {"shut/tonear.txt", "near.txt"},
            {"open/intoshut.txt", "../shut/gone.txt"},  {"open/loop1.txt", "loop2.txt"},
            {"open/loop2.txt", "loop1.txt"},
        };
        for (const auto& [link, to] : links) fs::create_symlink(to, dir / link);
        fs::permissions(dir / "shut/locked.txt", fs::perms(0444));
        fs::permissions(dir / "shut", fs::perms(0555));
        // A root's permission bits do not count: the writes are made by an unprivileged user,
        // who then owns the files.
        if (::geteuid() == 0) {
            ASSERT_EQ(::lchown(tmp.path.c_str(), kUser, kUser), 0);
            for (const auto& entry : fs::recursive_directory_iterator(tmp.path)) {
                ASSERT_EQ(::lchown(entry.path().c_str(), kUser, kUser), 0);
            }
        }
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir / "shut", fs::perms(0755), ec);
        StdfilesTest::TearDown();
    }

    // Runs fn in a child, as an unprivileged user when we are root: its exit code.
    static int AsAUser(const std::function<bool()>& fn) {
        return testproc::InChild([&] {
            if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kUser) != 0 || ::setuid(kUser) != 0))
                ::_exit(2);
            return fn();
        });
    }

    static constexpr uid_t kUser = 65534;
    const std::string kOld = "the old content, longer than the new\r\n";
};

TEST_F(SaveToFiletxtTest, WritesWhereTheFileIsAndKeepsLinksLinks) {
    if (AsAUser([&] { return ::open((dir / "shut/probe").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600) >= 0; }) != 1)
        GTEST_SKIP() << "a folder without write permission takes new files here: no user to whom permission bits apply";
    const struct {
        const char* Name;
        std::string Given, Holder;  // the name saved to; the file that holds the text afterwards
        THow How;
    } cases[] = {
        {"a plain file", "open/plain.txt", "open/plain.txt", Replaced},
        {"a writable file in a read-only folder", "shut/shared.txt", "shut/shared.txt", InPlace},
        {"a link to a file in another folder", "open/link.txt", "other/linked.txt", Replaced},
        {"a dangling link", "open/dangling.txt", "other/new.txt", Made},
        {"a link in a read-only folder", "shut/link.txt", "other/fromshut.txt", Replaced},
        {"a link in a read-only folder to a file beside it", "shut/tonear.txt", "shut/near.txt", InPlace},
        {"a new file in a read-only folder", "shut/new.txt", "shut/new.txt", Failed},
        {"a read-only file in a read-only folder", "shut/locked.txt", "shut/locked.txt", Failed},
        {"a dangling link into a read-only folder", "open/intoshut.txt", "shut/gone.txt", Failed},
        {"a loop of links", "open/loop1.txt", "open/loop1.txt", Failed},
    };
    std::map<std::string, std::set<std::string>> entries;
    for (const char* folder : {"open", "shut", "other"}) entries[folder] = testproc::Entries(dir / folder);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const fs::path given = dir / c.Given, holder = dir / c.Holder;
        const bool link = fs::is_symlink(given);
        struct stat before {};
        const bool existed = ::stat(holder.c_str(), &before) == 0;
        // 0: saved; 1: false, and the string list's own save raises the create error.
        const int end = AsAUser([&] {
            if (SaveToFiletxt(Ansi(given), "new\nline")) return true;
            TStringList list;
            list.SetText("new\nline");
            try {
                list.SaveToFile(Ansi(given));
            } catch (const EFCreateError& e) {
                return e.Message != Format(SFCreateError, {Ansi(given)});
            }
            return true;
        });
        EXPECT_EQ(end, c.How == Failed ? 1 : 0);
        EXPECT_EQ(fs::is_symlink(given), link);
        struct stat after {};
        if (c.How == Failed) {
            if (existed) {
                EXPECT_EQ(testproc::ReadFile(holder), kOld);
            } else {
                EXPECT_FALSE(fs::is_regular_file(fs::symlink_status(holder)));
            }
            continue;
        }
        EXPECT_EQ(testproc::ReadFile(holder), "new\r\nline\r\n");
        if (::stat(holder.c_str(), &after) != 0) {
            ADD_FAILURE() << "no file holds the text";
            continue;
        }
        switch (c.How) {
        case Replaced: EXPECT_NE(after.st_ino, before.st_ino) << "not replaced in one step"; break;
        case InPlace: EXPECT_EQ(after.st_ino, before.st_ino) << "not written where it stands"; break;
        case Made: EXPECT_FALSE(existed); break;
        case Failed: break;
        }
    }
    // Nothing else beside the files: no temporary, no link made a file.
    entries["other"].insert("new.txt");
    for (const auto& [folder, names] : entries) EXPECT_EQ(testproc::Entries(dir / folder), names) << folder;
}

// A named pipe given as a text file is refused at once with each routine's own report, and stays a
// pipe.
TEST_F(StdfilesTest, APipeIsNoTextFileAndIsNeverWaitedOn) {
    const fs::path path = dir / "pipe.txt";
    testproc::WatchedPipe pipe(path);
    ASSERT_TRUE(pipe.Made());
    const AnsiString name = Ansi(path);
    auto report = [](const std::function<void()>& call) -> std::string {
        try {
            call();
        } catch (const EFOpenError& e) {
            return "EFOpenError " + e.Message.str();
        } catch (const EFCreateError& e) {
            return "EFCreateError " + e.Message.str();
        }
        return "no error";
    };
    bool ok = true, saved = true;
    const struct {
        const char* What;
        std::function<void()> Call;
        std::string Report;
    } cases[] = {
        {"LoadFromFiletxt", [&] { LoadFromFiletxt(name); }, "EFOpenError " + Format(SFOpenError, {name}).str()},
        {"UNCLoadFromFiletxt", [&] { UNCLoadFromFiletxt(name, ok); }, "EFOpenError " + Format(SFOpenError, {name}).str()},
        {"GetFileSize", [&] { GetFileSize(name); }, "EFOpenError " + SFileOpenFailed.str()},
        {"SaveToFiletxt", [&] { saved = SaveToFiletxt(name, "text"); }, "no error"},
        {"UNCSaveToFiletxt", [&] { UNCSaveToFiletxt(name, WideString(u"text")); },
         "EFCreateError " + Format(SFCreateError, {name}).str()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(report(c.Call), c.Report) << c.What;
        EXPECT_TRUE(fs::is_fifo(path)) << c.What;
    }
    EXPECT_FALSE(ok);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(pipe.WaitedOn());
}

TEST_F(StdfilesTest, LoadFromFiletxtLetsTheOpenErrorPass) {
    const AnsiString name = Ansi(dir / "missing.txt");
    try {
        LoadFromFiletxt(name);
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message, Format(SFOpenError, {name}));
    }
}

// ---- UTF-16 text files --------------------------------------------------------------------------

TEST_F(StdfilesTest, UNCSaveToFiletxtWritesTheMarkAndTheUnitsLeastSignificantFirst) {
    const struct {
        std::u16string Text;
        std::string Bytes;
    } cases[] = {
        {u"", Bytes({0xFF, 0xFE})},
        {u"A", Bytes({0xFF, 0xFE, 0x41, 0x00})},
        {u"\u8868\n", Bytes({0xFF, 0xFE, 0x68, 0x88, 0x0A, 0x00})},   // no CR added
        {u"\xD800", Bytes({0xFF, 0xFE, 0x00, 0xD8})},                // exactly as held
        {std::u16string(u"a\0b", 3), Bytes({0xFF, 0xFE, 0x61, 0, 0, 0, 0x62, 0})},
    };
    for (const auto& c : cases) {
        fs::path path = Make("u.txt", "older and longer content");
        EXPECT_TRUE(UNCSaveToFiletxt(Ansi(path), WideString(c.Text)));
        EXPECT_EQ(testproc::ReadFile(path), c.Bytes);
    }
}

TEST_F(StdfilesTest, UNCSaveToFiletxtLetsTheCreateErrorPass) {
    const AnsiString name = Ansi(dir / "missing" / "u.txt");
    try {
        UNCSaveToFiletxt(name, WideString(u"x"));
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message, Format(SFCreateError, {name}));
    }
}

TEST_F(StdfilesTest, UNCLoadFromFiletxtReadsBackWhatUNCSaveToFiletxtWrote) {
    for (const std::u16string& text : {std::u16string(u"A"), std::u16string(u"表示\r\nline"), std::u16string(u"x")}) {
        fs::path path = dir / "u.txt";
        UNCSaveToFiletxt(Ansi(path), WideString(text));
        bool ok = false;
        EXPECT_EQ(UNCLoadFromFiletxt(Ansi(path), ok), Utf16ToAnsi(text));
        EXPECT_TRUE(ok);
    }
}

TEST_F(StdfilesTest, UNCLoadFromFiletxtByFileContent) {
    const struct {
        const char* Why;
        std::string Bytes;
        AnsiString Text;
        bool Ok;
    } cases[] = {
        {"empty file", "", "", false},
        {"one byte", Bytes({0xFF}), "", false},
        {"the mark alone", Bytes({0xFF, 0xFE}), "", false},
        {"ends at the first NUL unit", Bytes({0xFF, 0xFE, 0x41, 0, 0, 0, 0x42, 0}), "A", true},
        {"odd size", Bytes({0xFF, 0xFE, 0x41, 0, 0x42}), "AB", true},
        {"most significant byte first", Bytes({0xFE, 0xFF, 0, 0x41, 0, 0x42}), "AB", true},
        {"most significant first, odd size", Bytes({0xFE, 0xFF, 0, 0x41, 0}), "A", true},
        {"double-byte text", Bytes({0xFF, 0xFE, 0x68, 0x88}), "表"_cp932, true},
        {"a character code page 932 lacks", Bytes({0xFF, 0xFE, 0xAC, 0x20}), "?", true},
        {"no mark: read as 8-bit text", "abc\nd", "abc\r\nd\r\n", false},
    };
    for (const auto& c : cases) {
        fs::path path = Make("u.txt", c.Bytes);
        bool ok = !c.Ok;
        EXPECT_EQ(UNCLoadFromFiletxt(Ansi(path), ok), c.Text) << c.Why;
        EXPECT_EQ(ok, c.Ok) << c.Why;
    }
}

TEST_F(StdfilesTest, UNCLoadFromFiletxtLetsTheOpenErrorPass) {
    const AnsiString name = Ansi(dir / "missing.txt");
    bool ok = true;
    try {
        UNCLoadFromFiletxt(name, ok);
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message, Format(SFOpenError, {name}));
    }
    EXPECT_FALSE(ok);
}

// ---- File sizes ---------------------------------------------------------------------------------

TEST_F(StdfilesTest, GetFileSizeCountsBeyondThirtyTwoBits) {
    EXPECT_EQ(GetFileSize(Ansi(Make("empty", ""))), 0);
    EXPECT_EQ(GetFileSize(Ansi(Make("five", "12345"))), 5);
    // A sparse file: its size without its blocks.
    fs::path big = dir / "big";
    int fd = open(big.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 5000000000LL), 0);
    close(fd);
    EXPECT_EQ(GetFileSize(Ansi(big)), 5000000000LL);
}

TEST_F(StdfilesTest, GetFileSizeRaisesFileOpenErrorWithoutTheName) {
    fs::create_directories(dir / "folder");
    for (const fs::path& path : {dir / "missing", dir / "folder"}) {
        try {
            GetFileSize(Ansi(path));
            ADD_FAILURE() << "no error for " << path;
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.Message, "ファイルが開けません"_cp932);
        }
    }
}

TEST(ByteToMK, SplitsIntoUnitsOf1024) {
    const struct {
        std::int64_t Size;
        std::uint16_t G, M, K, Rest;
    } cases[] = {
        {1234567890, 1, 153, 384, 722},
        {5000000000LL, 4, 672, 380, 512},
        {1073741824, 1, 0, 0, 0},
        {1023, 0, 0, 0, 1023},
        {1024, 0, 0, 1, 0},
        {0, 0, 0, 0, 0},
        {(std::int64_t{1} << 46) - 1, 65535, 1023, 1023, 1023},  // the largest that fits
        {std::int64_t{1} << 46, 65535, 1023, 1023, 1023},        // saturates
        {-1, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        std::uint16_t g = 9, m = 9, k = 9;
        EXPECT_EQ(ByteToMK(c.Size, g, m, k), c.Rest) << c.Size;
        EXPECT_EQ(g, c.G) << c.Size;
        EXPECT_EQ(m, c.M) << c.Size;
        EXPECT_EQ(k, c.K) << c.Size;
    }
}

// ---- Enumeration --------------------------------------------------------------------------------

class EnumFileTest : public StdfilesTest {
protected:
    void SetUp() override {
        StdfilesTest::SetUp();
        for (const char* name : {"readme.txt", "a.b.c", ".profile", "Makefile"}) Make(name);
        Make("表.txt");
        fs::create_directories(dir / "sub");
        fs::create_directories(dir / ".cache");
    }
    // The names appended after "keep", sorted (the system's order is its own).
    std::vector<std::string> Enum(const std::string& mask, int attr, bool extOff, bool* result = nullptr) {
        TStringList list;
        list.Add("keep");
        bool r = EnumFile(Ansi(dir) + "/" + Utf8ToAnsi(mask), attr, &list, extOff);
        if (result) *result = r;
        EXPECT_EQ(list[0], "keep");
        std::vector<std::string> names;
        for (int i = 1; i < list.Count(); ++i) names.push_back(AnsiToUtf8(list[i]));
        std::sort(names.begin(), names.end());
        return names;
    }
    using Names = std::vector<std::string>;
};

TEST_F(EnumFileTest, AttributesAdmitKindsBesideOrdinaryFiles) {
    const struct {
        int Attr;
        Names Expected;
    } cases[] = {
        {0, {"Makefile", "a.b.c", "readme.txt", "表.txt"}},
        {faReadOnly | faArchive, {"Makefile", "a.b.c", "readme.txt", "表.txt"}},
        {faHidden, {".profile", "Makefile", "a.b.c", "readme.txt", "表.txt"}},
        {faDirectory, {".", "..", "Makefile", "a.b.c", "readme.txt", "sub", "表.txt"}},
        {faDirectory | faHidden, {".", "..", ".cache", ".profile", "Makefile", "a.b.c", "readme.txt", "sub", "表.txt"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Enum("*", c.Attr, false), c.Expected) << c.Attr;
}

TEST_F(EnumFileTest, SuffixOffDropsFromTheLastFullStop) {
    EXPECT_EQ(Enum("*", faHidden, true), (Names{"", "Makefile", "a.b", "readme", "表"}));
}

TEST_F(EnumFileTest, MasksMatchCharactersInExactCase) {
    const struct {
        const char* Mask;
        Names Expected;
    } cases[] = {
        {"*.txt", {"readme.txt", "表.txt"}},
        {"?.txt", {"表.txt"}},  // a double-byte character is one character
        {"?akefile", {"Makefile"}},
        {"a.*", {"a.b.c"}},
        {"*.*", {"Makefile", "a.b.c", "readme.txt", "表.txt"}},
        {"README.TXT", {}},
        {"readme.txt", {"readme.txt"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Enum(c.Mask, 0, false), c.Expected) << c.Mask;
}

TEST_F(EnumFileTest, NoMatchGivesFalseAndLeavesTheList) {
    bool result = true;
    EXPECT_EQ(Enum("*.none", faAnyFile, false, &result), Names{});
    EXPECT_FALSE(result);
    EXPECT_EQ(Enum("missing/*", faAnyFile, false, &result), Names{});
    EXPECT_FALSE(result);
    EXPECT_EQ(Enum("*.txt", 0, false, &result).size(), 2u);
    EXPECT_TRUE(result);
}

// ---- Processes --------------------------------------------------------------------------------

// What the long wait's callback saw, call by call.
struct TCall {
    std::string CmdLine;
    DWORD Elapsed;
    DWORD Pid;
    bool Ended;
};
std::vector<TCall> gCalls;
int gCancelAt = 0;        // the call that cancels (0: none)
int gReleaseAt = 0;       // the call that lets the started program end (0: none)
fs::path gFifo;
bool* gPostedRan = nullptr;
std::vector<bool> gPostedSeen;

void Record(const AnsiString& CmdLine, const DWORD Elapsed, PROCESS_INFORMATION& Info, bool& Cancel) {
    gCalls.push_back({CmdLine.str(), Elapsed, Info.dwProcessId,
                      WaitForSingleObject(Info.hProcess, 0) == WAIT_OBJECT_0});
    if (gPostedRan) gPostedSeen.push_back(*gPostedRan);
    const int n = static_cast<int>(gCalls.size());
    if (n == gReleaseAt) {
        // The program reads the pipe until its writer goes: open it and close it again.
        int fd = open(gFifo.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd >= 0) close(fd);
    }
    if (n == gCancelAt) Cancel = true;
}

// The children of this process that still run, from /proc (a thread that ends meanwhile has none).
std::vector<pid_t> Children() {
    std::vector<pid_t> pids;
    std::error_code ec;
    for (const auto& task : fs::directory_iterator("/proc/self/task", ec)) {
        std::istringstream in(testproc::ReadProc(task.path() / "children").value_or(""));
        pid_t pid;
        while (in >> pid) pids.push_back(pid);
    }
    return pids;
}

// Waits for the started program's own sign of life: "cat" opening the pipe to read it, which it
// does only once it runs with its arguments in place. The writing end is given back open (-1
// past a generous deadline), so the program keeps waiting until it is closed.
int OpenWhenRead() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
        int fd = open(gFifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);  // ENXIO: no reader yet
        if (fd >= 0 || errno != ENXIO || std::chrono::steady_clock::now() > deadline) return fd;
        usleep(1000);
    }
}

std::string CommandOf(pid_t pid) {
    std::string text = testproc::ReadProc("/proc/" + std::to_string(pid) + "/cmdline").value_or("");
    return text.substr(0, text.find('\0'));
}

class RunAsTest : public StdfilesTest {
protected:
    void SetUp() override {
        StdfilesTest::SetUp();
        gCalls.clear();
        gCancelAt = gReleaseAt = 0;
        gPostedRan = nullptr;
        gPostedSeen.clear();
        gFifo = tmp.path / "fifo";
        ASSERT_EQ(mkfifo(gFifo.c_str(), 0600), 0);
        fs::create_directories(progs);
        fakeopen::CopyScript(recorder);
        env.Set("FAKE_XDG_OPEN_LOG", log.string());
    }
    void TearDown() override {
        for (int held : started) {
            testproc::KillHeld(held);
            close(held);
        }
        StdfilesTest::TearDown();
    }
    // Holds a started program while it certainly runs, so that the fixture's end kills it and never
    // a later process given its pid.
    void Hold(pid_t pid) { started.push_back(testproc::HoldProcess(pid)); }
    // A program that runs until the callback lets it end.
    AnsiString Blocked() { return Ansi("/bin/cat " + gFifo.string()); }
    std::vector<fakeopen::Record> Records() { return fakeopen::ReadRecords(log); }

    fs::path progs = tmp.path / "my progs";
    fs::path recorder = progs / "rec";
    fs::path log = tmp.path / "log";
    std::vector<int> started;  // held programs, ended by the fixture if a test leaves them running
};

TEST_F(RunAsTest, TheCommandLineIsTheFileAndTheParametersAfterOneBlank) {
    const AnsiString file = Ansi(recorder);  // a path with a blank, unquoted
    gCancelAt = 0;
    ASSERT_TRUE(RunAs(file, "", SW_SHOW, wfWaitLong, Record));
    ASSERT_TRUE(RunAs(file, "a \"b c\"", SW_SHOW, wfWaitLong, Record));
    ASSERT_EQ(gCalls.size(), 2u);
    EXPECT_EQ(gCalls[0].CmdLine, recorder.string());
    EXPECT_EQ(gCalls[1].CmdLine, recorder.string() + " a \"b c\"");
    auto records = Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].prog, recorder.string());
    EXPECT_EQ(records[0].args, std::vector<std::string>{});
    EXPECT_EQ(records[1].args, (std::vector<std::string>{"a", "b c"}));
}

TEST_F(RunAsTest, WaitFullReturnsOnceTheProgramHasEnded) {
    ASSERT_TRUE(RunAs(Ansi(recorder), "x", SW_SHOW, wfWaitFull, nullptr));
    EXPECT_EQ(Records().size(), 1u);  // written just before it ended
    ASSERT_TRUE(RunAs(Ansi(recorder), "y", SW_SHOW, wfWaitLong, nullptr));
    EXPECT_EQ(Records().size(), 2u);
}

TEST_F(RunAsTest, NoWaitAndInputWaitLeaveTheProgramRunning) {
    for (TExecuteWaitFlag flag : {wfNone, wfWaitInput}) {
        // A pipe of its own, which the program ended before cannot hold open any more.
        gFifo = tmp.path / ("fifo" + std::to_string(flag));
        ASSERT_EQ(mkfifo(gFifo.c_str(), 0600), 0);
        std::vector<pid_t> before = Children();
        ASSERT_TRUE(RunAs(Blocked(), "", SW_SHOW, flag, Record));
        EXPECT_TRUE(gCalls.empty());
        const int writer = OpenWhenRead();
        ASSERT_GE(writer, 0) << flag;
        std::vector<pid_t> now = Children();
        std::vector<pid_t> fresh;
        for (pid_t pid : now)
            if (std::find(before.begin(), before.end(), pid) == before.end()) fresh.push_back(pid);
        ASSERT_EQ(fresh.size(), 1u) << flag;
        EXPECT_EQ(CommandOf(fresh[0]), "/bin/cat");
        Hold(fresh[0]);  // it reads the pipe we hold open: it still runs
        testproc::KillHeld(started.back());
        close(writer);
    }
}

TEST_F(RunAsTest, LongWaitCancelledOnTheFirstCallLeavesTheProgramRunning) {
    gCancelAt = 1;
    ASSERT_TRUE(RunAs(Blocked(), "", SW_SHOW, wfWaitLong, Record));
    ASSERT_EQ(gCalls.size(), 1u);  // not called again
    EXPECT_GE(gCalls[0].Elapsed, 1000u);
    EXPECT_FALSE(gCalls[0].Ended);
    Hold(static_cast<pid_t>(gCalls[0].Pid));  // it cannot end before the pipe is opened
    const int writer = OpenWhenRead();
    ASSERT_GE(writer, 0);
    EXPECT_EQ(CommandOf(static_cast<pid_t>(gCalls[0].Pid)), "/bin/cat");  // still there
    close(writer);
}

TEST_F(RunAsTest, LongWaitCallsBackAfterEveryWaitAndOnceAfterTheEnd) {
    gReleaseAt = 2;
    ASSERT_TRUE(RunAs(Blocked(), "", SW_SHOW, wfWaitLong, Record));
    ASSERT_EQ(gCalls.size(), 3u);
    EXPECT_FALSE(gCalls[0].Ended);
    EXPECT_FALSE(gCalls[1].Ended);
    EXPECT_TRUE(gCalls[2].Ended);
    EXPECT_GE(gCalls[0].Elapsed, 1000u);
    EXPECT_GE(gCalls[1].Elapsed, 2000u);
    EXPECT_GE(gCalls[2].Elapsed, gCalls[1].Elapsed);
    EXPECT_EQ(gCalls[2].CmdLine, Blocked().str());
}

TEST_F(RunAsTest, LongWaitServesTheMessagesBetweenWaits) {
    TVirtualLoop loop;
    bool ran = false;
    gPostedRan = &ran;
    MessageLoop().Post([&ran] { ran = true; });
    gReleaseAt = 2;
    ASSERT_TRUE(RunAs(Blocked(), "", SW_SHOW, wfWaitLong, Record));
    EXPECT_EQ(gPostedSeen, (std::vector<bool>{false, true, true}));
}

TEST_F(RunAsTest, AProgramThatCannotStartGivesFalse) {
    EXPECT_FALSE(RunAs(Ansi(dir / "missing"), "", SW_SHOW, wfWaitLong, Record));
    EXPECT_TRUE(gCalls.empty());
}

TEST_F(RunAsTest, ShellWaitsOrNot) {
    fakeopen::Install(tmp.path / "bin");
    env.Set("PATH", (tmp.path / "bin").string() + ":" + std::getenv("PATH"));
    Make("doc.txt", "a document");
    EXPECT_EQ(Shell(Ansi(recorder), SW_SHOW, true), 1);
    EXPECT_EQ(Records().size(), 1u);
    EXPECT_EQ(Shell("doc.txt", SW_SHOW, true), 0);  // a document is no program
    EXPECT_EQ(Shell(Ansi(dir / "missing"), SW_SHOW, true), 0);
    EXPECT_GT(Shell("doc.txt", SW_SHOWNORMAL, false), 32);
    EXPECT_EQ(fakeopen::WaitForRecords(log, 2).size(), 2u);
    EXPECT_LE(Shell("missing.txt", SW_SHOWNORMAL, false), 32);
}

TEST_F(RunAsTest, FindExecutableStoresOnlyAnExistingProgram) {
    fakeopen::Install(tmp.path / "bin");
    Make("doc.txt");
    const std::string oldPath = std::getenv("PATH");
    AnsiString program = "keep";
    env.Set("PATH", (tmp.path / "bin").string() + ":" + oldPath);
    EXPECT_GT(FindExecutable(program, "doc.txt"), 32);
    EXPECT_EQ(program, Ansi(tmp.path / "bin/xdg-open"));
    EXPECT_GT(FindExecutable(program, Ansi(recorder)), 32);
    EXPECT_EQ(program, Ansi(recorder));  // a program opens itself
    program = "keep";
    EXPECT_LE(FindExecutable(program, "missing.txt"), 32);
    EXPECT_EQ(program, "keep");
    env.Set("PATH", (tmp.path / "empty").string());  // no opener: no associated program
    EXPECT_LE(FindExecutable(program, "doc.txt"), 32);
    EXPECT_EQ(program, "keep");
}

// ---- Registry and search ------------------------------------------------------------------------

class SearchNearTest : public StdfilesTest {
protected:
    void SetUp() override {
        StdfilesTest::SetUp();
        fs::create_directories(tmp.path / "Apps/Tool");
        Application->SetExeNameForTests(Ansi(tmp.path / "Apps/Tool/prog"));
    }
    void TearDown() override {
        Application->SetExeNameForTests("");
        StdfilesTest::TearDown();
    }
    fs::path Store() { return tmp.path / "config/varnith/registry"; }
};

TEST_F(SearchNearTest, RegisteringNeedsAnExistingFile) {
    fs::create_directories(dir / "folder");
    RegFileName("a", Ansi(dir / "missing"));
    RegFileName("b", Ansi(dir / "folder"));
    EXPECT_FALSE(fs::exists(Store()));  // no key was made
    const AnsiString file = Ansi(Make("data.dat"));
    RegFileName("data.dat", file);
    EXPECT_EQ(RegFileName("DATA.DAT"), file);
    EXPECT_EQ(RegFileName("other"), "");
}

TEST_F(SearchNearTest, LookingUpMakesTheEmptyKeyAndPassesStaleEntriesOver) {
    EXPECT_EQ(RegFileName("x"), "");
    TRegistry reg;
    EXPECT_TRUE(reg.OpenKey("Software\\Common\\Path", false));
    const fs::path file = Make("gone.dat");
    RegFileName("gone.dat", Ansi(file));
    fs::remove(file);
    EXPECT_EQ(RegFileName("gone.dat"), "");
    EXPECT_EQ(reg.ReadString("gone.dat"), Ansi(file));  // passed over, never deleted
}

TEST_F(SearchNearTest, TheRegistrysTypeErrorPasses) {
    fs::create_directories(Store().parent_path());
    testproc::WriteFile(Store(), "key \"Software\\Common\\Path\"\nvalue \"n\" 4 \"%01%00%00%00\"\n");
    EXPECT_THROW(RegFileName("n"), ERegistryException);
    EXPECT_THROW(SearchNear("n", false), ERegistryException);
}

TEST_F(SearchNearTest, CandidatesInOrder) {
    const AnsiString above = Ansi(tmp.path / "Apps/data.dat");
    const AnsiString below = Ansi(tmp.path / "Apps/Tool/data/data.dat");
    const AnsiString registered = Ansi(tmp.path / "elsewhere/data.dat");
    const AnsiString inCwd = Ansi(dir / "data.dat");
    for (const AnsiString& f : {above, below, registered, inCwd}) {
        fs::create_directories(fs::path(AnsiToUtf8(f)).parent_path());
        testproc::WriteFile(AnsiToUtf8(f), "x");
    }
    RegFileName("data.dat", registered);
    EXPECT_EQ(SearchNear("data.dat", false), registered);
    EXPECT_EQ(SearchNear("data.dat", true), inCwd);  // the system's search only
    fs::remove(AnsiToUtf8(registered));
    EXPECT_EQ(SearchNear("data.dat", false), above);
    fs::remove(AnsiToUtf8(above));
    EXPECT_EQ(SearchNear("data.dat", false), below);
    fs::remove(AnsiToUtf8(below));
    EXPECT_EQ(SearchNear("data.dat", false), inCwd);
    fs::remove(AnsiToUtf8(inCwd));
    EXPECT_EQ(SearchNear("data.dat", false), "");
}

TEST_F(SearchNearTest, PathOnlyReadsNoRegistry) {
    Make("data.dat");
    EXPECT_EQ(SearchNear("data.dat", true), Ansi(dir / "data.dat"));
    EXPECT_FALSE(fs::exists(Store()));
    EXPECT_EQ(SearchNear("nothing.dat", true), "");
}

// ---- Waiting ------------------------------------------------------------------------------------

// A clock that moves on by 1 ms at every reading, so a spinning wait ends without waiting.
class TTickingClock : public TClock {
public:
    explicit TTickingClock(std::uint64_t start) : FNow(start) {}
    std::uint64_t NowMs() override { return FNow++; }
    void SleepMs(std::uint32_t ms) override { FNow += ms; }

private:
    std::uint64_t FNow;
};

TEST(Wait, ServesMessagesAtLeastOnceAndEndsPastTheTime) {
    for (std::uint64_t start : {std::uint64_t{1000}, std::uint64_t{0xFFFFFFFFu} - 100}) {  // also across the wrap
        for (DWORD time : {0u, 1u, 500u}) {
            TVirtualLoop loop;
            TTickingClock clock(start);
            SetClock(&clock);
            int served = 0;
            MessageLoop().Post([&served] { ++served; });
            DWORD passed = Stdfiles::Wait(time);
            SetClock(nullptr);
            EXPECT_EQ(served, 1) << time;
            EXPECT_GT(passed, time) << start;
            EXPECT_LE(passed, time + 3) << start;
        }
    }
}

// ---- Special folders ----------------------------------------------------------------------------

TEST_F(StdfilesTest, SpecialFoldersFromTheXdgFolders) {
    const std::string home = (tmp.path / "home").string(), config = (tmp.path / "config").string(),
                      data = (tmp.path / "data").string();
    fs::create_directories(config);
    testproc::WriteFile(config + "/user-dirs.dirs",
                        "# written by xdg-user-dirs-update\n"
                        "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n"
                        "XDG_DOCUMENTS_DIR=\"/srv/docs/\"\n"
                        "XDG_TEMPLATES_DIR=\"$HOME/Temp \\\"lates\\\"\"\n");
    const struct {
        TCSIDLList Folder;
        std::string Path;
    } cases[] = {
        {csidlPrograms, data + "/applications/"},
        {csidlPersonal, "/srv/docs/"},  // exactly one final delimiter
        {csidlFavorites, ""},
        {csidlStartUp, config + "/autostart/"},
        {csidlRecent, ""},
        {csidlSendTo, ""},
        {csidlStartMenu, data + "/applications/"},
        {csidlDeskTop, home + "/デスクトップ/"},
        {csidlTemplates, home + "/Temp \"lates\"/"},
        {csidlAppData, config + "/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnsiToUtf8(GetSpecialDirPath(c.Folder)), c.Path) << int(c.Folder);
        EXPECT_EQ(GetSpecialDirPath(CSIDLList[c.Folder]), GetSpecialDirPath(c.Folder));
    }
    EXPECT_EQ(CSIDLList[csidlDeskTop], 16u);
    EXPECT_EQ(GetSpecialDirPath(DWORD{4}), "");   // a virtual folder: no path, never the root
    EXPECT_EQ(GetSpecialDirPath(DWORD{99}), "");  // unknown here
}

TEST_F(StdfilesTest, SpecialFoldersWithoutUserDirectoriesOrWithRelativeBaseFolders) {
    const std::string home = (tmp.path / "home").string();
    env.Set("XDG_CONFIG_HOME", "relative/config");  // not absolute: ignored
    env.Unset("XDG_DATA_HOME");
    EXPECT_EQ(AnsiToUtf8(GetSpecialDirPath(csidlDeskTop)), home + "/Desktop/");
    EXPECT_EQ(AnsiToUtf8(GetSpecialDirPath(csidlPersonal)), home + "/");
    EXPECT_EQ(AnsiToUtf8(GetSpecialDirPath(csidlAppData)), home + "/.config/");
    EXPECT_EQ(AnsiToUtf8(GetSpecialDirPath(csidlPrograms)), home + "/.local/share/applications/");
}

// However the base folders, the home folder or the user directories are spelt (delimiters
// doubled or trailing, the root itself), each path ends in exactly one delimiter and holds no
// empty folder name; relative base folders are ignored.
TEST_F(StdfilesTest, SpecialFoldersEndInExactlyOneDelimiter) {
    const std::string home = (tmp.path / "home").string();
    const struct {
        const char* Name;
        std::optional<std::string> Base;  // XDG_CONFIG_HOME and XDG_DATA_HOME; nullopt: unset
        std::string Home;                 // HOME
        std::string Config, Data;         // the base folders as the folders below them see them
    } cases[] = {
        {"doubled end", "/x//", home, "/x", "/x"},
        {"root", "/", home, "", ""},
        {"doubled root", "//", home, "", ""},
        {"trailing", "/x/", home, "/x", "/x"},
        {"plain", "/x", home, "/x", "/x"},
        {"doubled inside", "/x//y", home, "/x/y", "/x/y"},
        {"relative", "x", home, home + "/.config", home + "/.local/share"},
        {"relative, trailing", "x/", home, home + "/.config", home + "/.local/share"},
        {"dot", "./x", home, home + "/.config", home + "/.local/share"},
        {"empty", "", home, home + "/.config", home + "/.local/share"},
        {"unset", std::nullopt, home, home + "/.config", home + "/.local/share"},
        {"home trailing", std::nullopt, home + "//", home + "/.config", home + "/.local/share"},
        {"home is the root", std::nullopt, "/", "/.config", "/.local/share"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            c.Base ? env.Set(variable, *c.Base) : env.Unset(variable);
        env.Set("HOME", c.Home);
        EXPECT_EQ(AnsiToUtf8(GetSpecialDirPath(csidlAppData)), c.Config + "/");
        EXPECT_EQ(AnsiToUtf8(GetSpecialDirPath(csidlStartUp)), c.Config + "/autostart/");
        EXPECT_EQ(AnsiToUtf8(GetSpecialDirPath(csidlPrograms)), c.Data + "/applications/");
        EXPECT_EQ(AnsiToUtf8(GetSpecialDirPath(csidlStartMenu)), c.Data + "/applications/");
    }

    // The user directories as user-dirs.dirs spells them.
    const std::string config = (tmp.path / "config").string();
    env.Set("XDG_CONFIG_HOME", config);
    env.Set("HOME", home + "/");
    fs::create_directories(config);
    testproc::WriteFile(config + "/user-dirs.dirs",
                        "XDG_DESKTOP_DIR=\"$HOME//Desktop/\"\n"
                        "XDG_DOCUMENTS_DIR=\"/srv//docs//\"\n"
                        "XDG_TEMPLATES_DIR=\"$HOME/\"\n");
    EXPECT_EQ(AnsiToUtf8(GetSpecialDirPath(csidlDeskTop)), home + "/Desktop/");
    EXPECT_EQ(AnsiToUtf8(GetSpecialDirPath(csidlPersonal)), "/srv/docs/");
    EXPECT_EQ(AnsiToUtf8(GetSpecialDirPath(csidlTemplates)), home + "/");
    testproc::WriteFile(config + "/user-dirs.dirs", "XDG_DESKTOP_DIR=\"/\"\n");
    EXPECT_EQ(AnsiToUtf8(GetSpecialDirPath(csidlDeskTop)), "/");
}

// ---- Shell file operations ----------------------------------------------------------------------

class ShellFileTest : public StdfilesTest {
protected:
    fs::path Trash() { return tmp.path / "data/Trash"; }
    // Several names in one source text, separated by single NULs.
    static AnsiString List(std::initializer_list<fs::path> paths) {
        std::string text;
        for (const fs::path& p : paths) text += (text.empty() ? "" : std::string(1, '\0')) + p.string();
        return Utf8ToAnsi(text);
    }
};

TEST_F(ShellFileTest, CopyAndMoveIntoAFolderOrToANewName) {
    fs::create_directories(dir / "into");
    Make("a.txt", "A");
    Make("b.txt", "B");
    Make("tree/sub/c.txt", "C");
    EXPECT_EQ(SH_Copy(0, Ansi(dir / "a.txt"), Ansi(dir / "into")), 0);
    EXPECT_EQ(SH_Copy(0, "a.txt", "copy.txt"), 0);
    EXPECT_EQ(SH_Copy(0, List({dir / "a.txt", dir / "b.txt"}), Ansi(dir / "both")), 0);
    EXPECT_EQ(SH_Copy(0, "tree", "tree2"), 0);
    EXPECT_EQ(testproc::ReadFile(dir / "into/a.txt"), "A");
    EXPECT_EQ(testproc::ReadFile(dir / "copy.txt"), "A");
    EXPECT_EQ(testproc::ReadFile(dir / "both/a.txt"), "A");
    EXPECT_EQ(testproc::ReadFile(dir / "both/b.txt"), "B");
    EXPECT_EQ(testproc::ReadFile(dir / "tree2/sub/c.txt"), "C");
    EXPECT_TRUE(fs::exists(dir / "a.txt"));

    fs::create_directories(dir / "moved");
    EXPECT_EQ(SH_Move(0, List({dir / "a.txt", dir / "b.txt"}), Ansi(dir / "moved")), 0);
    EXPECT_FALSE(fs::exists(dir / "a.txt"));
    EXPECT_FALSE(fs::exists(dir / "b.txt"));
    EXPECT_EQ(testproc::ReadFile(dir / "moved/a.txt"), "A");
    EXPECT_EQ(testproc::ReadFile(dir / "moved/b.txt"), "B");
}

TEST_F(ShellFileTest, AnExistingTargetIsNeverReplaced) {
    Make("a.txt", "new");
    Make("into/a.txt", "old");
    EXPECT_NE(SH_Copy(0, "a.txt", "into"), 0);
    EXPECT_NE(SH_Move(0, "a.txt", "into/a.txt"), 0);
    EXPECT_EQ(testproc::ReadFile(dir / "into/a.txt"), "old");
    EXPECT_EQ(testproc::ReadFile(dir / "a.txt"), "new");
    EXPECT_NE(SH_Copy(0, "missing.txt", "into"), 0);
}

TEST_F(ShellFileTest, RenameStaysInTheSourcesFolder) {
    Make("Data/a.txt", "A");
    EXPECT_EQ(SH_Rename(0, Ansi(dir / "Data/a.txt"), "b.txt"), 0);
    EXPECT_EQ(testproc::ReadFile(dir / "Data/b.txt"), "A");
    EXPECT_FALSE(fs::exists(dir / "Data/a.txt"));
    // The new name is joined to the folder, so a name with a folder of its own is refused.
    fs::create_directories(dir / "Data/sub");
    EXPECT_EQ(SH_Rename(0, Ansi(dir / "Data/b.txt"), "sub/c.txt"), DE_DIFFDIR);
    EXPECT_TRUE(fs::exists(dir / "Data/b.txt"));
    // A bare name is renamed in the current folder, never in the root.
    Make("bare.txt");
    EXPECT_EQ(SH_Rename(0, "bare.txt", "renamed.txt"), 0);
    EXPECT_TRUE(fs::exists(dir / "renamed.txt"));
    EXPECT_FALSE(fs::exists("/renamed.txt"));
    Make("other.txt");
    EXPECT_NE(SH_Rename(0, "other.txt", "renamed.txt"), 0);  // never over an existing file
    EXPECT_TRUE(fs::exists(dir / "other.txt"));
}

TEST_F(ShellFileTest, DeleteGoesToTheTrashWithItsRecord) {
    const fs::path a = Make("a b表.txt", "first");
    ASSERT_EQ(SH_Delete(0, Ansi(a)), 0);
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(testproc::ReadFile(Trash() / "files/a b表.txt"), "first");
    const std::string info = testproc::ReadFile(Trash() / "info/a b表.txt.trashinfo");
    EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + (dir / "a%20b%E8%A1%A8.txt").string() + "\nDeletionDate=", 0), 0u) << info;
    EXPECT_EQ(info.size(), std::string("[Trash Info]\nPath=\nDeletionDate=2024-01-01T00:00:00\n").size() +
                               (dir / "a%20b%E8%A1%A8.txt").string().size());

    // The same name again keeps both; several names go in one call, folders too.
    Make("a b表.txt", "second");
    Make("c.txt");
    Make("folder/inner.txt");
    ASSERT_EQ(SH_Delete(0, List({a, dir / "c.txt", dir / "folder"})), 0);
    EXPECT_EQ(testproc::ReadFile(Trash() / "files/a b表.txt"), "first");
    EXPECT_EQ(testproc::ReadFile(Trash() / "files/a b表.txt.2"), "second");
    EXPECT_TRUE(fs::exists(Trash() / "info/a b表.txt.2.trashinfo"));
    EXPECT_TRUE(fs::exists(Trash() / "files/folder/inner.txt"));
    EXPECT_FALSE(fs::exists(dir / "folder"));

    EXPECT_NE(SH_Delete(0, "missing.txt"), 0);
}

// "*" and "?" may be part of a name here: a name that exists is itself, a pattern only otherwise.
TEST_F(ShellFileTest, ANameWithWildcardsIsItselfWhenItExists) {
    const struct {
        const char* Op;
        std::string Source;                // in the case's folder
        std::vector<std::string> Present;  // files made there first
        std::vector<std::string> Gone;     // no longer there afterwards
        std::vector<std::string> Arrived;  // in its folder "to" afterwards
    } cases[] = {
        {"delete", "a*b", {"a*b", "axb"}, {"a*b"}, {}},
        {"delete", "a?b", {"a?b", "acb"}, {"a?b"}, {}},
        {"delete", "p*q", {"pXq", "pYq"}, {"pXq", "pYq"}, {}},  // no such name: a pattern
        {"move", "m*n", {"m*n", "mXn"}, {"m*n"}, {"m*n"}},
        {"move", "m?n", {"mXn", "mYn"}, {"mXn", "mYn"}, {"mXn", "mYn"}},
        {"copy", "c*d", {"c*d", "cXd"}, {}, {"c*d"}},
        {"copy", "c?d", {"cXd"}, {}, {"cXd"}},
        {"rename", "r*s", {"r*s", "rXs"}, {"r*s"}, {}},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string op = c.Op;
        SCOPED_TRACE(op + " " + c.Source);
        const fs::path here = dir / std::to_string(++n);
        fs::create_directories(here / "to");
        for (const std::string& name : c.Present) testproc::WriteFile(here / name, name);
        const AnsiString source = Ansi(here / c.Source), to = Ansi(here / "to");
        const int result = op == "delete" ? SH_Delete(0, source)
                           : op == "move" ? SH_Move(0, source, to)
                           : op == "copy" ? SH_Copy(0, source, to)
                                          : SH_Rename(0, source, "renamed");
        EXPECT_EQ(result, 0);
        for (const std::string& name : c.Present) {
            const bool gone = std::find(c.Gone.begin(), c.Gone.end(), name) != c.Gone.end();
            EXPECT_EQ(fs::exists(here / name), !gone) << name;
            const bool arrived = std::find(c.Arrived.begin(), c.Arrived.end(), name) != c.Arrived.end();
            EXPECT_EQ(fs::exists(here / "to" / name), arrived) << name;
        }
        if (op == "rename") {
            EXPECT_EQ(testproc::ReadFile(here / "renamed"), c.Source);
        }
    }
}

}  // namespace

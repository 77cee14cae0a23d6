// CreateProcessA, WaitForSingleObject, WinExec and SearchPathA: the Windows command-line rules,
// no shell, the waits, and no child left behind as a zombie. The started programs are the
// recording script of tests/e2e (it writes its arguments, folder and input to a log) and
// programs of the system given by full path.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e/fake_xdg_open.h"
#include "rtl/codepage.h"
#include "support/process.h"
#include "win/handle.h"
#include "win/process.h"

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

namespace {

// A process as /proc shows it: its state letter, and its start time, which tells it from a later
// process given the same pid.
struct TSeen {
    char State = 0;
    std::string Started;
};

// Nothing once the process is gone (collected), even when it goes while it is being read.
std::optional<TSeen> Seen(DWORD pid) {
    std::optional<std::string> text = testproc::ReadProc("/proc/" + std::to_string(pid) + "/stat");
    std::size_t close = text ? text->rfind(')') : std::string::npos;
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(text->substr(close + 1));  // from the state, the third field
    TSeen seen;
    fields >> seen.State;
    std::string skipped;
    for (int field = 4; field < 22; ++field) fields >> skipped;
    fields >> seen.Started;
    if (!fields) return std::nullopt;
    return seen;
}

// Whether the process first seen as first is still there (a zombie is: it is not collected).
bool StillThere(DWORD pid, const TSeen& first) {
    std::optional<TSeen> now = Seen(pid);
    return now && now->Started == first.Started;
}

// Waits (for the process to go, not for a timer) until it is gone, a minute at most.
bool GoneWithinAMinute(DWORD pid, const TSeen& first) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (StillThere(pid, first)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(progs);
        fakeopen::CopyScript(recorder);
        setenv("FAKE_XDG_OPEN_LOG", log.c_str(), 1);
        oldCwd = fs::current_path();
        fs::current_path(tmp.path);
    }
    void TearDown() override {
        fs::current_path(oldCwd);
        unsetenv("FAKE_XDG_OPEN_LOG");
    }

    // Starts the command line (code page 932 from UTF-8) and waits for its end.
    BOOL Run(const std::string& utf8Line, const char* folder = nullptr) {
        std::string line = Utf8ToAnsi(utf8Line).str();
        STARTUPINFOA si;
        GetStartupInfoA(&si);
        PROCESS_INFORMATION pi{};
        BOOL ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &si, &pi);
        if (ok) {
            EXPECT_EQ(WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
        return ok;
    }
    fakeopen::Record LastRecord() {
        auto records = fakeopen::ReadRecords(log);
        return records.empty() ? fakeopen::Record{} : records.back();
    }

    testproc::TempDir tmp;
    fs::path progs = tmp.path / "my progs";
    fs::path recorder = progs / "rec";
    fs::path log = tmp.path / "log";
    fs::path oldCwd;
};

TEST_F(ProcessTest, CommandLinesSplitByTheWindowsRules) {
    const struct {
        std::string Line;
        Strings Args;
    } cases[] = {
        // An unquoted program path with blanks is found as Windows finds it.
        {recorder.string(), {}},
        {recorder.string() + " a b", {"a", "b"}},
        {"\"" + recorder.string() + "\" \"x y\" z", {"x y", "z"}},
        {recorder.string() + " \"q\\\"uote\" back\\slash", {"q\"uote", "back\\slash"}},
        // Nothing of a shell: every character reaches the program as it stands.
        {recorder.string() + " $(touch pwned) `touch pwned2` ; touch pwned3 | x > y",
         {"$(touch", "pwned)", "`touch", "pwned2`", ";", "touch", "pwned3", "|", "x", ">", "y"}},
        {recorder.string() + " 表示", {"表示"}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Run(c.Line)) << c.Line;
        fakeopen::Record r = LastRecord();
        EXPECT_EQ(r.prog, recorder.string()) << c.Line;
        EXPECT_EQ(r.args, c.Args) << c.Line;
        EXPECT_EQ(r.stdinTarget, "/dev/null");
        EXPECT_EQ(r.cwd, tmp.path.string());
    }
    for (const char* name : {"pwned", "pwned2", "pwned3", "y"}) EXPECT_FALSE(fs::exists(tmp.path / name)) << name;
}

TEST_F(ProcessTest, TheShortestRunOfWordsThatNamesAProgramWins) {
    // "my" as a data file is no program and is passed over; as a program it wins.
    testproc::WriteFile(tmp.path / "my", "data");
    ASSERT_TRUE(Run(recorder.string() + " arg"));
    EXPECT_EQ(LastRecord().prog, recorder.string());
    fakeopen::CopyScript(tmp.path / "my");
    ASSERT_TRUE(Run(recorder.string() + " arg"));
    EXPECT_EQ(LastRecord().prog, (tmp.path / "my").string());
    EXPECT_EQ(LastRecord().args, (Strings{"progs/rec", "arg"}));
}

TEST_F(ProcessTest, BareNamesAreSearchedAndTheFolderIsTheGivenOne) {
    fs::create_directories(tmp.path / "run here");
    const std::string oldPath = std::getenv("PATH");
    setenv("PATH", ("/nonexistent:" + progs.string() + ":" + oldPath).c_str(), 1);
    BOOL ok = Run("rec one", Utf8ToAnsi((tmp.path / "run here").string()).c_str());
    setenv("PATH", oldPath.c_str(), 1);
    ASSERT_TRUE(ok);
    EXPECT_EQ(LastRecord().prog, recorder.string());
    EXPECT_EQ(LastRecord().args, Strings{"one"});
    EXPECT_EQ(LastRecord().cwd, (tmp.path / "run here").string());
}

TEST_F(ProcessTest, FailedStartsSayWhy) {
    testproc::WriteFile(tmp.path / "text.exe", "no program");
    chmod((tmp.path / "text.exe").c_str(), 0755);
    testproc::WriteFile(tmp.path / "plain.txt", "no program");
    const struct {
        std::string Line;
        DWORD Error;
        UINT WinExecValue;
    } cases[] = {
        {(tmp.path / "missing").string(), ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND},
        {"no-such-program-anywhere", ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND},
        {(tmp.path / "text.exe").string(), ERROR_BAD_EXE_FORMAT, ERROR_BAD_FORMAT},
        {(tmp.path / "plain.txt").string(), ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED},
        {"", ERROR_PATH_NOT_FOUND, ERROR_PATH_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(Run(c.Line)) << c.Line;
        EXPECT_EQ(GetLastError(), c.Error) << c.Line;
        EXPECT_EQ(WinExec(c.Line.c_str(), SW_SHOW), c.WinExecValue) << c.Line;
    }
    // A folder that does not exist.
    EXPECT_FALSE(Run("/bin/true", (tmp.path / "missing").c_str()));
}

TEST_F(ProcessTest, WaitsTimeOutOrSeeTheEnd) {
    std::string line = "/bin/sleep 30";
    STARTUPINFOA si;
    GetStartupInfoA(&si);
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    EXPECT_GT(pi.dwProcessId, 0u);
    const std::optional<TSeen> first = Seen(pi.dwProcessId);
    ASSERT_TRUE(first);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForInputIdle(pi.hProcess, INFINITE), 0u);
    kill(static_cast<pid_t>(pi.dwProcessId), SIGKILL);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
    // Ended stays ended, for the thread too; the child is collected at once.
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(pi.hThread, 0), WAIT_OBJECT_0);
    EXPECT_FALSE(StillThere(pi.dwProcessId, *first));
    EXPECT_TRUE(CloseHandle(pi.hThread));
    EXPECT_TRUE(CloseHandle(pi.hProcess));
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForInputIdle(nullptr, 0), WAIT_FAILED);
}

TEST_F(ProcessTest, AChildWhoseHandlesAreClosedIsNeverLeftAZombie) {
    // A child that runs until it is killed, so that it certainly outlives its handles.
    std::string line = "/bin/sleep 60";
    STARTUPINFOA si;
    GetStartupInfoA(&si);
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    // Seen and held while its handles make it certainly ours.
    const std::optional<TSeen> first = Seen(pi.dwProcessId);
    const int held = testproc::HoldProcess(static_cast<pid_t>(pi.dwProcessId));
    ASSERT_TRUE(first);
    ASSERT_GE(held, 0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_TRUE(StillThere(pi.dwProcessId, *first));  // still running on its own
    testproc::KillHeld(held);
    close(held);
    EXPECT_TRUE(GoneWithinAMinute(pi.dwProcessId, *first));
}

TEST_F(ProcessTest, WinExecStartsWithoutWaiting) {
    UINT result = WinExec(Utf8ToAnsi(recorder.string() + " x").c_str(), SW_SHOW);
    EXPECT_GT(result, 31u);
    auto records = fakeopen::WaitForRecords(log, 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].args, Strings{"x"});
}

TEST_F(ProcessTest, ExplorerOpensTheFolderWithTheDesktopsOpener) {
    fakeopen::Install(tmp.path / "bin");
    fs::path folder = tmp.path / "disc root";
    fs::create_directories(folder);
    const std::string oldPath = std::getenv("PATH");
    setenv("PATH", ((tmp.path / "bin").string() + ":" + oldPath).c_str(), 1);
    UINT result = WinExec(Utf8ToAnsi("EXPLORER.EXE " + folder.string() + "/").c_str(), SW_SHOW);
    UINT relative = WinExec("explorer \"disc root\"", SW_SHOW);
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_GT(result, 31u);
    EXPECT_GT(relative, 31u);
    auto records = fakeopen::WaitForRecords(log, 2);
    ASSERT_EQ(records.size(), 2u);
    std::sort(records.begin(), records.end(), [](auto& a, auto& b) { return a.args < b.args; });
    EXPECT_EQ(records[0].prog, (tmp.path / "bin/xdg-open").string());
    EXPECT_EQ(records[0].args, Strings{folder.string()});
    EXPECT_EQ(records[1].args, Strings{folder.string() + "/"});
}

TEST_F(ProcessTest, SearchPathFindsFilesInTheStandardOrder) {
    testproc::WriteFile(tmp.path / "data.txt", "x");
    char buffer[260] = "untouched";
    char* filePart = nullptr;
    const std::string expected = (tmp.path / "data.txt").string();

    DWORD n = SearchPathA(nullptr, "data.txt", nullptr, sizeof buffer, buffer, &filePart);
    EXPECT_EQ(n, expected.size());
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_STREQ(filePart, "data.txt");
    // The default suffix, for a name without one.
    EXPECT_EQ(SearchPathA(nullptr, "data", ".txt", sizeof buffer, buffer, nullptr), expected.size());
    // A buffer too small is left alone; the size needed counts the NUL.
    char small[4] = "abc";
    EXPECT_EQ(SearchPathA(nullptr, "data.txt", nullptr, sizeof small, small, nullptr), expected.size() + 1);
    EXPECT_STREQ(small, "abc");
    EXPECT_EQ(SearchPathA(nullptr, "missing.txt", nullptr, sizeof buffer, buffer, nullptr), 0u);
    // A folder is no file.
    fs::create_directories(tmp.path / "folder");
    EXPECT_EQ(SearchPathA(nullptr, "folder", nullptr, sizeof buffer, buffer, nullptr), 0u);
    // PATH is searched; a path of folders replaces the standard order.
    n = SearchPathA(nullptr, "sh", nullptr, sizeof buffer, buffer, nullptr);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(fs::path(buffer).filename(), "sh");
    EXPECT_EQ(SearchPathA(progs.c_str(), "rec", nullptr, sizeof buffer, buffer, nullptr), recorder.string().size());
    EXPECT_EQ(SearchPathA(progs.c_str(), "data.txt", nullptr, sizeof buffer, buffer, nullptr), 0u);
}

}  // namespace

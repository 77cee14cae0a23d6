// The built launcher on a private X server, with an "Icon" that names a named pipe: the picture
// error is reported in a message box before the splash, and once it is answered the splash
// closes on its built-in ten seconds. Every wait has a generous deadline, so a launcher that
// waits on the pipe fails the test instead of hanging it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "e2e/fake_xdg_open.h"
#include "rtl/codepage.h"
#include "support/process.h"
#include "support/x11.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The first visible window named "Trellan 2" (the message box and the splash both are), with its
// size; nothing before the deadline.
struct Window {
    std::string id;
    int width = 0, height = 0;
};

std::optional<Window> FirstVisible(const std::string& display, std::chrono::seconds limit) {
    for (auto deadline = testproc::Clock::now() + limit; testproc::Clock::now() < deadline;
         std::this_thread::sleep_for(50ms)) {
        auto ids = x11test::Output({"xdotool", "search", "--onlyvisible", "--name", "^Trellan 2$"},
                                   {{"DISPLAY", display}});
        if (!ids || ids->empty()) continue;
        Window w;
        std::istringstream(*ids) >> w.id;
        auto shape = x11test::Output({"xdotool", "getwindowgeometry", "--shell", w.id}, {{"DISPLAY", display}});
        if (!shape) continue;
        std::istringstream lines(*shape);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("WIDTH=", 0) == 0) w.width = std::atoi(line.c_str() + 6);
            if (line.rfind("HEIGHT=", 0) == 0) w.height = std::atoi(line.c_str() + 7);
        }
        return w;
    }
    return std::nullopt;
}

TEST(PipeIcon, IsReportedAsABrokenPictureAndTheLauncherEnds) {
    if (!x11test::Xvfb::Installed() || !x11test::Which("xdotool"))
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    x11test::Xvfb server;
    ASSERT_TRUE(server.Start(1024, 768)) << "the X server did not start";

    testproc::TempDir tmp;
    const fs::path root = tmp.path / "disc";
    fs::create_directories(root);
    fs::copy_file(fs::path(VARNITH_BIN_DIR) / "Varnith2.exe", root / "Varnith2.exe");
    ASSERT_EQ(::mkfifo((root / "pipe.ico").c_str(), 0600), 0);  // nobody ever writes to it
    fakeopen::Install(tmp.path / "bin");
    fs::create_directory(tmp.path / "runtime");
    fs::permissions(tmp.path / "runtime", fs::perms::owner_all);
    testproc::WriteFile(root / "readme.txt", "the document\n");
    std::string settings;
    for (const char* line : {"[KEY]", "PNAME=Trellan2", "VER=2.10", "Copyright=2004,PURUNE-SHA", "[Option]",
                             "Icon=pipe.ico", "RunFile=readme.txt", "Timer=1"})
        settings += std::string(line) + "\r\n";
    testproc::WriteFile(root / "Varnith2.ini", Utf8ToAnsi(settings).str());

    const fs::path log = tmp.path / "opened.log";
    testproc::Child launcher = testproc::Start(
        {(root / "Varnith2.exe").string()}, tmp.path,
        {{"DISPLAY", server.Display()},
         {"QT_QPA_PLATFORM", "xcb"},
         {"PATH", (tmp.path / "bin").string() + ":" + std::getenv("PATH")},
         {"FAKE_XDG_OPEN_LOG", log.string()},
         {"XDG_RUNTIME_DIR", (tmp.path / "runtime").string()}});
    ASSERT_GT(launcher.pid, 0);

    // The report comes first, before the splash (364 x 53) is shown.
    std::optional<Window> box = FirstVisible(server.Display(), 60s);
    if (!box) testproc::Wait(launcher, 0ms);  // ends it
    ASSERT_TRUE(box.has_value()) << "no window within a minute: the launcher waits on the pipe";
    EXPECT_FALSE(box->width == 364 && box->height == 53) << "the splash came before the report";

    // Answered with the Return key, as a person would.
    x11test::Output({"xdotool", "windowfocus", "--sync", box->id}, {{"DISPLAY", server.Display()}});
    x11test::Output({"xdotool", "key", "Return"}, {{"DISPLAY", server.Display()}});

    // Nothing after the icon is applied: the built-in ten seconds close the splash, and nothing
    // is opened.
    testproc::Clock::time_point ended;
    const std::optional<int> code = testproc::Wait(launcher, 60s, &ended);
    ASSERT_TRUE(code.has_value()) << "the launcher did not end within 60 s";
    EXPECT_EQ(*code, 0);
    EXPECT_GE(ended - launcher.started, 10s);
    EXPECT_TRUE(fakeopen::ReadRecords(log).empty());
}

}  // namespace

// The built settings editor on a private X server, driven only by X keyboard and mouse input
// (xdotool) as an author uses it: a disc root prepared from end to end, then its launcher run.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "e2e/fake_xdg_open.h"
#include "rtl/codepage.h"
#include "support/process.h"
#include "support/x11.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A control's place on the main form: left, top, width and height in the client area, as the
// form resource lays it out (controls of the group box offset by the box's own place).
struct Place {
    int left, top, width, height;
};
constexpr int kGroupLeft = 8, kGroupTop = 96;  // GroupBox1
constexpr Place kRootBrowse{392, 24, 49, 20};  // Button1, "参照" beside the root
constexpr Place kRunFile{8, 64, 225, 20};      // LabeledEdit4
constexpr Place kUserId{344, 64, 97, 20};      // LabeledEdit5
constexpr Place kMessage{kGroupLeft + 72, kGroupTop + 120, 345, 20};  // LabeledEdit2
constexpr Place kDisplayTime{kGroupLeft + 376, kGroupTop + 144, 41, 21};  // CSpinEdit1
constexpr int kMenuBarHeight = 20;  // the form's one-line menu bar above its client area

const std::string kMainTitle = "^Trellan2 GUI 設定$";
const std::string kBrowserTitle = "CD-ROMのルートとなるフォルダを選択して下さい。";

// xdotool on one display. Every wait is for a sign of the program (a window mapped or gone),
// with a generous limit only against hangs.
class Xdo {
public:
    explicit Xdo(std::string display) : FDisplay(std::move(display)) {}

    std::optional<std::string> Run(std::vector<std::string> args,
                                   std::chrono::milliseconds limit = 60s) const {
        args.insert(args.begin(), "xdotool");
        return x11test::Output(args, {{"DISPLAY", FDisplay}}, limit);
    }

    // The first viewable window whose title matches, once it is mapped.
    std::optional<std::string> WaitForWindow(const std::string& title) const {
        std::optional<std::string> ids = Run({"search", "--sync", "--onlyvisible", "--name", title});
        if (!ids || ids->empty()) return std::nullopt;
        return ids->substr(0, ids->find('\n'));
    }

    bool WaitUntilGone(const std::string& title) const {
        return Until([&] { return !Run({"search", "--onlyvisible", "--name", title}); });
    }

    // Opens a menu with its keys and, once it is on screen, picks an item with its letter, as a
    // person does: a letter pressed before the menu is there goes to the form instead. The menu
    // is a window of the program's own beside its main window; true once it has gone again.
    bool ChooseFromMenu(pid_t program, const std::string& mainWindow, const std::string& menuKeys,
                        const std::string& letter) const {
        auto menuShown = [&] { return OthersShown(program, mainWindow); };
        return Keys({menuKeys}) && Until(menuShown) && Keys({letter}) && Until([&] { return !menuShown(); });
    }

    // The window's top-left corner on the screen.
    std::optional<std::pair<int, int>> Origin(const std::string& window) const {
        std::optional<std::string> shell = Run({"getwindowgeometry", "--shell", window});
        if (!shell) return std::nullopt;
        std::map<std::string, int> values;
        std::istringstream lines(*shell);
        for (std::string line; std::getline(lines, line);)
            if (auto eq = line.find('='); eq != std::string::npos)
                values[line.substr(0, eq)] = std::atoi(line.c_str() + eq + 1);
        if (!values.count("X") || !values.count("Y")) return std::nullopt;
        return std::pair{values["X"], values["Y"]};
    }

    bool Focus(const std::string& window) const { return Run({"windowfocus", "--sync", window}).has_value(); }
    bool Keys(std::vector<std::string> keys) const {
        keys.insert(keys.begin(), "key");
        return Run(keys).has_value();
    }
    bool Type(const std::string& text) const { return Run({"type", text}).has_value(); }
    bool Click(int x, int y) const {
        return Run({"mousemove", "--sync", std::to_string(x), std::to_string(y), "click", "1"}).has_value();
    }

private:
    // Polls a sign until it shows; the minute is only a safety net.
    template <class TSign>
    static bool Until(TSign sign) {
        for (auto deadline = testproc::Clock::now() + 60s; testproc::Clock::now() < deadline;
             std::this_thread::sleep_for(20ms))
            if (sign()) return true;
        return false;
    }

    // Whether the program shows a window other than the given one.
    bool OthersShown(pid_t program, const std::string& window) const {
        std::optional<std::string> ids = Run({"search", "--onlyvisible", "--pid", std::to_string(program)});
        std::istringstream list(ids.value_or(""));
        for (std::string id; list >> id;)
            if (id != window) return true;
        return false;
    }

    std::string FDisplay;
};

// A started program, ended by the test's end if a failed step left it running.
struct Running {
    testproc::Child child;
    bool waited = false;

    std::optional<int> Wait(std::chrono::milliseconds limit) {
        waited = true;
        return testproc::Wait(child, limit);
    }
    ~Running() {
        if (!waited && child.pid > 0) testproc::Wait(child, 0ms);
    }
};

TEST(EditorByXInput, PreparesDiscRootWhoseLauncherOpensTheDocument) {
    if (!x11test::Xvfb::Installed() || !x11test::Which("xdotool"))
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    x11test::Xvfb server;
    ASSERT_TRUE(server.Start(1024, 768)) << "the X server did not start";
    const Xdo xdo(server.Display());

    testproc::TempDir tmp;
    const fs::path root = fs::canonical(tmp.path) / "disc";
    const fs::path bin = tmp.path / "bin", log = tmp.path / "opened.log";
    fs::create_directories(root);
    fs::create_directories(tmp.path / "runtime");
    fs::permissions(tmp.path / "runtime", fs::perms::owner_all);
    fakeopen::Install(bin);
    const std::map<std::string, std::string> env = {
        {"DISPLAY", server.Display()},
        {"QT_QPA_PLATFORM", "xcb"},
        {"XDG_RUNTIME_DIR", (tmp.path / "runtime").string()},
        {"XDG_CONFIG_HOME", (tmp.path / "config").string()},  // the file dialog's own settings
        {"PATH", bin.string() + ":" + std::getenv("PATH")},
        {"FAKE_XDG_OPEN_LOG", log.string()},
    };

    // The editor from the build's bin folder, its own folder with the launcher and the icon.
    Running editor{testproc::Start({(fs::path(VARNITH_BIN_DIR) / "VarnithGui").string()}, tmp.path, env)};
    ASSERT_GT(editor.child.pid, 0);
    const std::optional<std::string> main = xdo.WaitForWindow(kMainTitle);
    ASSERT_TRUE(main) << "the editor's window was not mapped";
    const std::optional<std::pair<int, int>> origin = xdo.Origin(*main);
    ASSERT_TRUE(origin);
    const int clientX = origin->first, clientY = origin->second + kMenuBarHeight;
    // A click near the left end of the control's text, where the caret goes.
    auto clickInto = [&](const Place& p) {
        return xdo.Click(clientX + p.left + 8, clientY + p.top + p.height / 2);
    };

    ASSERT_TRUE(xdo.Focus(*main));
    ASSERT_TRUE(clickInto(kMessage) && xdo.Keys({"ctrl+a"}) && xdo.Type("Welcome to the disc"));
    ASSERT_TRUE(clickInto(kUserId) && xdo.Type("author-7"));
    ASSERT_TRUE(clickInto(kRunFile) && xdo.Type("readme.txt"));
    // Typed, then stepped twice: the stepped value is the one written.
    ASSERT_TRUE(clickInto(kDisplayTime) && xdo.Keys({"ctrl+a"}) && xdo.Type("0") &&
                xdo.Keys({"Up", "Up"}));

    // The folder browser, answered by typing the folder into it. The trailing "/" leaves the
    // path's completion list empty, so Enter goes to the dialog's own button.
    ASSERT_TRUE(clickInto(kRootBrowse));
    const std::optional<std::string> browser = xdo.WaitForWindow(kBrowserTitle);
    ASSERT_TRUE(browser) << "the folder browser did not open";
    ASSERT_TRUE(xdo.Focus(*browser) && xdo.Type(root.string() + "/") && xdo.Keys({"Return"}));
    ASSERT_TRUE(xdo.WaitUntilGone(kBrowserTitle)) << "the folder browser did not close";

    // The document the launcher is to open: the author puts it into the root.
    testproc::WriteFile(root / "readme.txt", "the document\n");

    // "ファイル(&F)" → "設定ファイルを書き出す(&W)", then "終了する(&X)": once the editor has
    // ended, the write is complete.
    ASSERT_TRUE(xdo.Focus(*main));
    ASSERT_TRUE(xdo.ChooseFromMenu(editor.child.pid, *main, "alt+f", "w"));
    ASSERT_TRUE(xdo.ChooseFromMenu(editor.child.pid, *main, "alt+f", "x"));
    const std::optional<int> editorExit = editor.Wait(60s);
    ASSERT_TRUE(editorExit) << "the editor did not end on its exit command";
    EXPECT_EQ(*editorExit, 0);

    EXPECT_EQ(testproc::Entries(root), (std::set<std::string>{"Varnith2.ini", "Autorun.inf", "Varnith2.exe",
                                                   "Varnith2.ico", "readme.txt"}));
    EXPECT_EQ(testproc::ReadFile(root / "Varnith2.ini"),
              Utf8ToAnsi("[KEY]\r\nPNAME=Trellan2\r\nVER=2.10\r\nCopyright=2004,PURUNE-SHA\r\n"
                         "User=author-7\r\n[Option]\r\nStayTop=NO\r\nIcon=\r\nFrmLTColor=clWhite\r\n"
                         "FrmLBColor=clWhite\r\nFrmRTColor=clBlue\r\nFrmRBColor=clBlue\r\n"
                         "Message=Welcome to the disc\r\nMColor=clBlack\r\nMBold=0\r\nMItalic=0\r\n"
                         "MFont=ゴシック\r\nRunFile=readme.txt\r\nTimer=2\r\n")
                  .str());
    EXPECT_EQ(testproc::ReadFile(root / "Autorun.inf"), "[autorun]\r\nOPEN=Varnith2.exe\r\nICON=Varnith2.ico\r\n");
    for (const char* name : {"Varnith2.exe", "Varnith2.ico"})
        EXPECT_EQ(testproc::ReadFile(root / name), testproc::ReadFile(fs::path(VARNITH_BIN_DIR) / name))
            << name << " is not the copy of the editor's own";

    // The written root's launcher, started from elsewhere: it opens the document from its own
    // folder and closes after the written display time.
    Running launcher{testproc::Start({(root / "Varnith2.exe").string()}, tmp.path, env)};
    ASSERT_GT(launcher.child.pid, 0);
    const std::vector<fakeopen::Record> opened = fakeopen::WaitForRecords(log, 1);
    const std::optional<int> launcherExit = launcher.Wait(60s);
    ASSERT_EQ(opened.size(), 1u) << "the launcher opened nothing";
    EXPECT_EQ(opened[0].prog, (bin / "xdg-open").string());
    EXPECT_EQ(opened[0].args, std::vector<std::string>{(root / "readme.txt").string()});
    EXPECT_EQ(opened[0].cwd, root.string());
    ASSERT_TRUE(launcherExit) << "the launcher did not close within a minute";
    EXPECT_EQ(*launcherExit, 0);
}

// "ヘルプ(&H)" → "取扱説明書(&C)" on a GNOME desktop: the real opener, with gio behind it, shows
// the help from the editor's own folder in the desktop's viewer of web pages.
TEST(EditorByXInput, TheHelpOpensInTheDesktopsViewerOfWebPages) {
    if (!x11test::Xvfb::Installed() || !x11test::Which("xdotool"))
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    if (!x11test::Which("xdg-open") || !x11test::Which("gio"))
        GTEST_SKIP() << "xdg-open (xdg-utils) or gio (libglib2.0-bin) is not installed";
    x11test::Xvfb server;
    ASSERT_TRUE(server.Start(1024, 768)) << "no free display in :90..:99";
    const Xdo xdo(server.Display());

    testproc::TempDir tmp;
    const fs::path log = tmp.path / "viewed.log";
    fs::create_directories(tmp.path / "runtime");
    fs::permissions(tmp.path / "runtime", fs::perms::owner_all);
    std::map<std::string, std::string> env = fakeopen::DesktopWithViewer(tmp.path, "text/html", log);
    env["XDG_CURRENT_DESKTOP"] = "GNOME";
    env["DISPLAY"] = server.Display();
    env["QT_QPA_PLATFORM"] = "xcb";
    env["XDG_RUNTIME_DIR"] = (tmp.path / "runtime").string();

    Running editor{testproc::Start({(fs::path(VARNITH_BIN_DIR) / "VarnithGui").string()}, tmp.path, env)};
    ASSERT_GT(editor.child.pid, 0);
    const std::optional<std::string> main = xdo.WaitForWindow(kMainTitle);
    ASSERT_TRUE(main) << "the editor's window was not mapped";
    ASSERT_TRUE(xdo.Focus(*main) && xdo.Keys({"alt+h"}) && xdo.Keys({"c"}));

    const std::vector<fakeopen::Record> viewed = fakeopen::WaitForRecords(log, 1, 20s);
    ASSERT_EQ(viewed.size(), 1u) << "the desktop's viewer was not started";
    const fs::path page = fs::canonical(VARNITH_BIN_DIR) / "Varnith2.hlp.html";
    EXPECT_EQ(viewed[0].prog, (tmp.path / "bin/viewer").string());
    EXPECT_EQ(viewed[0].args, std::vector<std::string>{page.string()});
    EXPECT_EQ(testproc::ReadFile(page),
              testproc::ReadFile(fs::path(VARNITH_SOURCE_DIR) / "resources/Varnith2.hlp"));

    ASSERT_TRUE(xdo.Focus(*main) && xdo.Keys({"alt+f"}) && xdo.Keys({"x"}));
    const std::optional<int> editorExit = editor.Wait(20s);
    ASSERT_TRUE(editorExit) << "the editor did not end on its exit command";
    EXPECT_EQ(*editorExit, 0);
}

}  // namespace

// The built launcher as a process: copied into a disc root in a temporary folder, started from
// another current folder, with the recording opener first on PATH and no display.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "e2e/fake_xdg_open.h"
#include "rtl/codepage.h"
#include "support/process.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using std::chrono::duration_cast;
using std::chrono::milliseconds;

// One line of a settings file: "[section]" alone, or key and value (UTF-8 here, code page 932
// on disk).
struct Line {
    std::string key, value;
};

// The file as the editor writes it: every entry, in its order.
std::vector<Line> EditorSettings(const std::string& runFile) {
    return {
        {"[KEY]", ""},
        {"PNAME", "Trellan2"},
        {"VER", "2.10"},
        {"Copyright", "2004,PURUNE-SHA"},
        {"User", "tester"},
        {"[Option]", ""},
        {"StayTop", "NO"},
        {"Icon", "Varnith2.ico"},
        {"FrmLTColor", "clWhite"},
        {"FrmLBColor", "$00FFE0C0"},
        {"FrmRTColor", "clSkyBlue"},
        {"FrmRBColor", "clNavy"},
        {"Message", "ディスクを起動しています・・・"},
        {"MColor", "clNavy"},
        {"MBold", "1"},
        {"MItalic", "0"},
        {"MFont", "明朝"},
        {"RunFile", runFile},
        {"Timer", "1"},
    };
}

std::vector<Line> With(std::vector<Line> lines, const std::string& key, const std::string& value) {
    for (Line& l : lines)
        if (l.key == key) l.value = value;
    return lines;
}

// A disc root with the built launcher and its icon, a folder to start it from, and the opener.
struct Disc {
    testproc::TempDir tmp;
    fs::path root = tmp.path / "disc";
    fs::path elsewhere = tmp.path / "elsewhere";
    fs::path bin = tmp.path / "bin";
    fs::path log = tmp.path / "opened.log";
    fs::path runtime = tmp.path / "runtime";  // Qt's per-user runtime folder

    Disc() {
        fs::create_directories(root);
        fs::create_directory(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
        fs::create_directories(elsewhere);
        for (const char* name : {"Varnith2.exe", "Varnith2.ico"})
            fs::copy_file(fs::path(VARNITH_BIN_DIR) / name, root / name);
        fakeopen::Install(bin);
        root = fs::canonical(root);
    }

    void WriteSettings(const std::vector<Line>& lines) const {
        std::string text;
        for (const Line& l : lines)
            text += (l.key.front() == '[' ? l.key : l.key + "=" + l.value) + "\r\n";
        testproc::WriteFile(root / "Varnith2.ini", Utf8ToAnsi(text).str());
    }

    // A file the launcher is to open, under the root; the name is UTF-8 as on disk.
    void AddFile(const std::string& relative, const std::string& content) const {
        fs::create_directories((root / relative).parent_path());
        testproc::WriteFile(root / relative, content);
    }
};

// One run of the launcher, from its start to its end.
struct LaunchRun {
    long long startNs = 0;  // wall clock at the start, to compare with the opener's record
    std::optional<int> exitCode;
    milliseconds lifetime{0};
    std::vector<fakeopen::Record> opened;

    long long OpenedAfterMs() const { return (opened.at(0).timeNs - startNs) / 1000000; }
};

LaunchRun RunLauncher(const Disc& disc, std::chrono::milliseconds limit) {
    LaunchRun run;
    run.startNs = duration_cast<std::chrono::nanoseconds>(
                      std::chrono::system_clock::now().time_since_epoch()).count();
    testproc::Child child = testproc::Start(
        {(disc.root / "Varnith2.exe").string()}, disc.elsewhere,
        {{"PATH", disc.bin.string() + ":" + std::getenv("PATH")},
         {"FAKE_XDG_OPEN_LOG", disc.log.string()},
         {"QT_QPA_PLATFORM", "offscreen"},
         {"XDG_RUNTIME_DIR", disc.runtime.string()}});
    if (child.pid < 0) return run;
    testproc::Clock::time_point ended;
    run.exitCode = testproc::Wait(child, limit, &ended);
    run.lifetime = duration_cast<milliseconds>(ended - child.started);
    return run;
}

// Runs every disc's launcher at the same time, each on its own thread, so that the cases'
// waits overlap; what each had opened is read once every opener has ended too (the openers,
// started detached, are adopted meanwhile).
std::vector<LaunchRun> RunAll(const std::vector<const Disc*>& discs, std::chrono::milliseconds limit) {
    const testproc::OrphanAdoption adoption;
    EXPECT_TRUE(adoption.On());
    std::vector<LaunchRun> runs(discs.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < discs.size(); ++i)
        threads.emplace_back([&, i] { runs[i] = RunLauncher(*discs[i], limit); });
    for (std::thread& t : threads) t.join();
    EXPECT_TRUE(testproc::WaitForNoChildren()) << "an opener is still running";
    for (std::size_t i = 0; i < discs.size(); ++i) runs[i].opened = fakeopen::ReadRecords(discs[i]->log);
    return runs;
}

bool AnyFileNamed(const fs::path& folder, const std::string& name) {
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.path().filename() == name) return true;
    return false;
}

struct LaunchCase {
    const char* what;
    std::string runFile;                          // as the settings file holds it (UTF-8 here)
    std::string onDisk;                           // the file's place under the root; none for an address
    bool program;                                 // a "#!" program with its execute bit
};

// A settings file as the editor writes it, with "Timer" 1: the file is opened from the
// launcher's folder about 100 ms after the set-up, and the launcher ends about 1 s after it. The
// times are checked against what no load can change: nothing before its timer, and the end
// before the built-in ten seconds could have run out.
TEST(Launcher, OpensRunFileFromItsOwnFolderAndEndsAfterDisplayTime) {
    const std::vector<LaunchCase> cases = {
        {"a document beside the launcher", "readme.txt", "readme.txt", false},
        {"a document in a Japanese-named subfolder", "資料/説明書.txt", "資料/説明書.txt", false},
        {"a name a shell would take apart", R"(-n a "b" 'c'; $(touch pwned) & `touch pwned` |d.txt)",
         R"(-n a "b" 'c'; $(touch pwned) & `touch pwned` |d.txt)", false},
        {"a program, started directly", "setup.sh", "setup.sh", true},
        {"a web address, unchanged", "https://example.org/start.html", "", false},
    };
    std::vector<std::unique_ptr<Disc>> discs;
    std::vector<const Disc*> order;
    for (const LaunchCase& c : cases) {
        auto disc = std::make_unique<Disc>();
        disc->WriteSettings(EditorSettings(c.runFile));
        if (c.program)
            fakeopen::CopyScript(disc->root / c.onDisk);
        else if (!c.onDisk.empty())
            disc->AddFile(c.onDisk, "the document\n");
        order.push_back(disc.get());
        discs.push_back(std::move(disc));
    }

    const std::vector<LaunchRun> runs = RunAll(order, 60s);

    for (std::size_t i = 0; i < cases.size(); ++i) {
        const LaunchCase& c = cases[i];
        const Disc& disc = *discs[i];
        const LaunchRun& run = runs[i];
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(run.exitCode.has_value()) << "the launcher did not end within a minute";
        EXPECT_EQ(*run.exitCode, 0);
        EXPECT_GE(run.lifetime, 1000ms);
        EXPECT_LT(run.lifetime, 10000ms) << "closed on the built-in ten seconds, not the display time";

        ASSERT_EQ(run.opened.size(), 1u) << "exactly one start";
        const fakeopen::Record& r = run.opened[0];
        const std::string target = c.onDisk.empty() ? c.runFile : (disc.root / c.onDisk).string();
        if (c.program) {
            EXPECT_EQ(r.prog, target);
            EXPECT_TRUE(r.args.empty());
        } else {
            EXPECT_EQ(r.prog, (disc.bin / "xdg-open").string());
            EXPECT_EQ(r.args, std::vector<std::string>{target}) << "one argument, absolute for a file";
        }
        EXPECT_EQ(r.cwd, disc.root.string());
        // The launch timer's 100 ms run from the set-up, which follows the start.
        EXPECT_GE(run.OpenedAfterMs(), 100);
        EXPECT_LT(run.OpenedAfterMs(), 10000);
        EXPECT_FALSE(AnyFileNamed(disc.tmp.path, "pwned")) << "a shell ran the name";

        std::cout << "[ measured ] " << c.what << ": opened " << run.OpenedAfterMs()
                  << " ms after the start, ended after " << run.lifetime.count() << " ms\n";
    }
}

// Without a valid settings file nothing is opened, and the splash closes 10 s after the start:
// on the built-in timer's first tick, before a second one could come.
TEST(Launcher, RefusedSettingsOpenNothingAndEndAfterTenSeconds) {
    struct RefusedCase {
        const char* what;
        std::function<void(const Disc&)> prepare;
    };
    const std::vector<RefusedCase> cases = {
        {"PNAME in another letter case",
         [](const Disc& d) { d.WriteSettings(With(EditorSettings("readme.txt"), "PNAME", "trellan2")); }},
        {"Copyright with one character more",
         [](const Disc& d) {
             d.WriteSettings(With(EditorSettings("readme.txt"), "Copyright", "2004,PURUNE-SHA."));
         }},
        {"no settings file", [](const Disc&) {}},
    };
    std::vector<std::unique_ptr<Disc>> discs;
    std::vector<const Disc*> order;
    for (const RefusedCase& c : cases) {
        auto disc = std::make_unique<Disc>();
        disc->AddFile("readme.txt", "the document\n");
        c.prepare(*disc);
        order.push_back(disc.get());
        discs.push_back(std::move(disc));
    }

    const std::vector<LaunchRun> runs = RunAll(order, 60s);

    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        const LaunchRun& run = runs[i];
        ASSERT_TRUE(run.exitCode.has_value()) << "the launcher did not end within a minute";
        EXPECT_EQ(*run.exitCode, 0);
        EXPECT_GE(run.lifetime, 10000ms);
        EXPECT_LT(run.lifetime, 20000ms);
        EXPECT_TRUE(run.opened.empty()) << "opened " << run.opened.size() << " time(s)";
        std::cout << "[ measured ] " << cases[i].what << ": ended after " << run.lifetime.count()
                  << " ms\n";
    }
}

}  // namespace

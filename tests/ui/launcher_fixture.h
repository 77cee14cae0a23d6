// Test support for the launcher's splash form run in-process: a disc root in a temporary folder
// with the launcher's program path in it, settings files written as the editor writes them, the
// exception report recorded instead of shown, the desktop's opener replaced by the recording one,
// and the message loop on the virtual clock.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <concepts>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Unit1.h"
#include "e2e/fake_xdg_open.h"
#include "rtl/codepage.h"
#include "support/process.h"
#include "vcl/dialogs.h"
#include "vcl/forms.h"
#include "vcl/loop.h"
#include "vcl/testing.h"

namespace launchertest {

namespace fs = std::filesystem;

inline std::string U(const AnsiString& s) { return AnsiToUtf8(s); }

// The exception report's message boxes, answered with OK.
class TRecordingDialogs : public TDialogs {
public:
    struct TBox {
        std::string Text, Caption;  // UTF-8
        UINT Flags;
        bool SplashVisible;  // whether the splash was on screen when the box came up
    };
    std::vector<TBox> Boxes;

    int MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags) override {
        Boxes.push_back({U(text), U(caption), flags, Form1 && Form1->Visible()});
        return IDOK;
    }
};

// A settings file: its entries in file order (UTF-8 here, code page 932 on disc).
class TSettings {
public:
    struct TEntry { std::string Section, Key, Value; };

    // The marker entries alone: every option takes the launcher's default.
    static TSettings Marker() {
        TSettings s;
        s.FEntries = {{"KEY", "PNAME", "Trellan2"}, {"KEY", "VER", "2.10"},
                      {"KEY", "Copyright", "2004,PURUNE-SHA"}};
        return s;
    }
    // All seventeen entries as the editor writes them, every option away from its default.
    static TSettings Editor() {
        TSettings s = Marker();
        s.FEntries.insert(s.FEntries.end(), {
            {"KEY", "User", "tester"},
            {"Option", "StayTop", "YES"},
            {"Option", "Icon", ""},
            {"Option", "FrmLTColor", "clRed"},
            {"Option", "FrmLBColor", "clLime"},
            {"Option", "FrmRTColor", "clYellow"},
            {"Option", "FrmRBColor", "$00123456"},
            {"Option", "Message", "ようこそ"},
            {"Option", "MColor", "clMaroon"},
            {"Option", "MBold", "1"},
            {"Option", "MItalic", "1"},
            {"Option", "MFont", "明朝"},
            {"Option", "RunFile", "doc.txt"},
            {"Option", "Timer", "3"},
        });
        return s;
    }

    // Replaces the value where the key stands, else appends the entry to its section.
    TSettings& Set(const std::string& key, const std::string& value) {
        for (TEntry& e : FEntries)
            if (e.Key == key) {
                e.Value = value;
                return *this;
            }
        static const char* const keyEntries[] = {"PNAME", "VER", "Copyright", "User"};
        std::string section = "Option";
        for (const char* k : keyEntries)
            if (key == k) section = "KEY";
        FEntries.push_back({section, key, value});
        return *this;
    }
    TSettings& Drop(const std::string& key) {
        std::erase_if(FEntries, [&](const TEntry& e) { return e.Key == key; });
        return *this;
    }

    // INI text: each section once, its entries in the order given, lines ended by CR LF.
    std::string Text() const {
        std::string text;
        std::vector<std::string> sections;
        for (const TEntry& e : FEntries)
            if (std::find(sections.begin(), sections.end(), e.Section) == sections.end())
                sections.push_back(e.Section);
        for (const std::string& section : sections) {
            text += "[" + section + "]\r\n";
            for (const TEntry& e : FEntries)
                if (e.Section == section) text += e.Key + "=" + e.Value + "\r\n";
        }
        return text;
    }

private:
    std::vector<TEntry> FEntries;
};

// Each test: a disc root with "doc.txt" in it and the launcher's path Varnith2.exe there; the
// test process started from another folder; the recording opener first on PATH, its processes
// adopted by the test; a virtual loop.
class LauncherTest : public ::testing::Test {
protected:
    const testproc::OrphanAdoption Adoption;
    fs::path Base, Root, Elsewhere, OpenLog;
    TVirtualLoop Loop;
    TRecordingDialogs Boxes;

    void SetUp() override {
        ASSERT_TRUE(Adoption.On());
        InitVclForTests();
        char pattern[] = "/tmp/launcher_ui_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        Base = fs::canonical(pattern);
        Root = Base / "disc";
        Elsewhere = Base / "elsewhere";
        OpenLog = Base / "open.log";
        fs::create_directories(Root);
        fs::create_directories(Elsewhere);
        WriteFile(Root / "doc.txt", "a document\n");
        fakeopen::Install(Base / "bin");

        FSavedFolder = fs::current_path();
        fs::current_path(Elsewhere);
        if (const char* path = std::getenv("PATH")) FSavedPath = path;
        setenv("PATH", ((Base / "bin").string() + ":" + FSavedPath.value_or("")).c_str(), 1);
        setenv("FAKE_XDG_OPEN_LOG", OpenLog.c_str(), 1);

        SetDialogs(&Boxes);
        Application->Initialize();
        Application->SetTitle("Trellan 2");
        Application->SetExeNameForTests(Utf8ToAnsi((Root / "Varnith2.exe").string()));
    }

    void TearDown() override {
        Application->DestroyForms();
        Form1 = nullptr;
        SetDialogs(nullptr);
        fs::current_path(FSavedFolder);
        if (FSavedPath)
            setenv("PATH", FSavedPath->c_str(), 1);
        else
            unsetenv("PATH");
        unsetenv("FAKE_XDG_OPEN_LOG");
        std::error_code ec;
        fs::remove_all(Base, ec);
    }

    static void WriteFile(const fs::path& path, const std::string& bytes) { testproc::WriteFile(path, bytes); }
    void WriteSettings(const TSettings& settings) {
        WriteFile(Root / "Varnith2.ini", Utf8ToAnsi(settings.Text()).str());
    }

    // The program entry's creation of the splash: built, then set up by its creation handler.
    void Start(const TSettings& settings) {
        WriteSettings(settings);
        Application->CreateForm(Form1);
    }

    void AdvanceTo(std::uint64_t ms) {
        ASSERT_GE(ms, Loop.Now());
        Loop.Advance(ms - Loop.Now());
    }
    // Runs the message loop as the program does; the virtual clock's time when it ended.
    std::uint64_t RunUntilClosed() {
        Application->Run();
        EXPECT_TRUE(Application->Terminated());
        return Loop.Now();
    }

    static fs::path CurrentFolder() { return fs::current_path(); }

    // What the opener was asked to open, once it has recorded that many opens.
    std::vector<std::string> Opened(std::size_t count) {
        std::vector<std::string> files;
        for (const fakeopen::Record& r : fakeopen::WaitForRecords(OpenLog, count))
            for (const std::string& a : r.args) files.push_back(a);
        return files;
    }
    // What the launcher had the opener open before now: read once every opener started has
    // ended (each is adopted by the test, so its end can be waited for).
    std::vector<std::string> OpenedBeforeNow() {
        EXPECT_TRUE(testproc::WaitForNoChildren()) << "an opener is still running";
        std::vector<std::string> files;
        for (const fakeopen::Record& r : fakeopen::ReadRecords(OpenLog))
            for (const std::string& a : r.args) files.push_back(a);
        return files;
    }

private:
    fs::path FSavedFolder;
    std::optional<std::string> FSavedPath;
};

// Names a value-parameterised case by its row's Name.
template <class TRow>
std::string RowName(const ::testing::TestParamInfo<TRow>& info) {
    return info.param.Name;
}

// A row of cases prints as its Name in failure messages.
template <class TRow>
    requires requires(const TRow& row) { { row.Name } -> std::convertible_to<std::string>; }
void PrintTo(const TRow& row, std::ostream* os) {
    *os << row.Name;
}

}  // namespace launchertest
